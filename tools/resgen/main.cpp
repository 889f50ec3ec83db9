// Draws the pictures of res/: the presence pictures, the chart background in both
// languages and the application icon. Usage: resgen <res folder>
#include "AppIconPainter.h"
#include "ChartBackgroundPainter.h"
#include "PresencePicturePainter.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>

namespace {

bool save(const QImage& image, const QString& path)
{
    if (image.save(path, "PNG")) {
        std::printf("%s\n", qPrintable(QDir::toNativeSeparators(path)));
        return true;
    }
    std::fprintf(stderr, "resgen: cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Drawing needs fonts but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: resgen <res folder>\n");
        return 2;
    }
    const QDir res(QString::fromLocal8Bit(argv[1]));
    if (!res.mkpath(QStringLiteral("Image"))) {
        std::fprintf(stderr, "resgen: cannot create %s/Image\n", argv[1]);
        return 1;
    }

    // The captions are part of the artwork, drawn into the pictures once.
    using State = PresencePicturePainter::State;
    const struct {
        State state;
        const char* file;
        const char* english;
        const char* chinese;
    } pictures[] = {
        {State::Nobody, "HumanNobody", "Nobody", "无人"},
        {State::Moving, "HumanMotion", "Moving", "运动"},
        {State::Motionless, "HumanMotionLess", "Motionless", "微动"},
    };
    bool ok = true;
    const PresencePicturePainter presence;
    for (const auto& picture : pictures) {
        const QString base = res.filePath(QStringLiteral("Image/%1").arg(QLatin1String(picture.file)));
        ok &= save(presence.paint(picture.state, QString::fromUtf8(picture.english)), base + QStringLiteral("_EN.png"));
        ok &= save(presence.paint(picture.state, QString::fromUtf8(picture.chinese)), base + QStringLiteral(".png"));
    }

    const ChartBackgroundPainter chart;
    ok &= save(chart.paint(QStringLiteral("Range:cm"), QStringLiteral("Time:sec")),
               res.filePath(QStringLiteral("chart_background_en.png")));
    ok &= save(chart.paint(QStringLiteral("距离:厘米"), QStringLiteral("时间:秒")),
               res.filePath(QStringLiteral("chart_background_zh.png")));
    const QImage icon = AppIconPainter().paint();
    ok &= save(icon, res.filePath(QStringLiteral("icon_128.png")));
    // The sizes desktops look for in the icon theme, each drawn down from the full picture.
    for (int size : {48, 128, 256}) {
        const QString folder = QStringLiteral("icons/hicolor/%1x%1/apps").arg(size);
        ok &= res.mkpath(folder);
        ok &= save(icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                   res.filePath(folder + QStringLiteral("/tivanepelotool.png")));
    }
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
