#pragma once
#include <QString>

#include "ConnectionDoctor.h"
#include "SerialPortEntry.h"

// What the port list shows on hovering an item: maker, USB id and serial number, the
// lines the system knows; empty for a device it knows nothing more of.
QString PortToolTip(const SerialPortEntry& entry);

// The reason a connection failed and its fix, in the interface language, for the
// second line of the error box; empty when nothing explains it.
QString ConnectionFailureAdvice(const OpenFailureDiagnosis& diagnosis, const QString& path);
