#include "PictureFile.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>

#include "WriteAside.h"

bool SavePngAside(const QImage& picture, const std::string& path, std::string& error)
{
    if (picture.isNull()) {
        error = "the picture could not be drawn";
        return false;
    }
    const auto fill = [&picture](const std::string& aside, std::string& why) {
        QImageWriter writer(QFile::decodeName(aside.c_str()), "png");
        if (writer.write(picture))
            return true;
        why = writer.errorString().toStdString();
        return false;
    };
    return WriteFileAside(path, fill, AsideMode::Replace, error) == AsideResult::Written;
}
