#pragma once
// Readable failure messages for the Qt value types the control tests compare.
#include <QColor>
#include <QRect>
#include <QSize>

#include <ostream>

inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}

inline void PrintTo(const QSize& s, std::ostream* os)
{
    *os << "QSize(" << s.width() << " x " << s.height() << ")";
}

inline void PrintTo(const QColor& c, std::ostream* os)
{
    *os << c.name(QColor::HexArgb).toStdString();
}
