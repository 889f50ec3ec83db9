#pragma once
#include <string>

class QImage;

// Saves picture as a PNG at path the way every whole file is written: aside, then
// renamed, never over a device, a FIFO or a link. False with error saying why. Any
// thread that may use QImage.
bool SavePngAside(const QImage& picture, const std::string& path, std::string& error);
