#pragma once
#include <string>

// What radarcli says when a port did not open: the cause the machine shows, with the fix
// ("cannot open /dev/ttyUSB0: permission denied: join the group dialout ...").
std::string OpenFailureMessage(const std::string& port);

class CModuleLink;
// Opens link on port ("sim" for the simulated module); false with error saying why and
// what to check when it does not open.
bool OpenModuleLink(CModuleLink& link, const std::string& port, int baud, std::string& error);
