#include "PlotPicture.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <memory>

#include "AppResources.h"
#include "CaptureHeader.h"
#include "FileUtils.h"
#include "LanguageChoice.h"
#include "PictureFile.h"
#include "RecordingOverview.h"
#include "ReplayTimeline.h"
#include "ReportTiming.h"
#include "StringTable.h"
#include "UtcTime.h"
#include "XMLParser.h"

namespace {

// The language the window would take from appConfig.xml beside this program.
UiLanguage WindowLanguage()
{
    const std::string path = (QCoreApplication::applicationDirPath() + QStringLiteral("/appConfig.xml")).toStdString();
    std::size_t size = 0;
    // ReadFileDataA opens regular files only: a FIFO in its place must not hold the plot up.
    std::uint8_t* data = ReadFileDataA(path.c_str(), &size);
    XMLParser settings;
    settings.LoadFromBuffer(data, std::int64_t(size));
    ReleaseFileData(data);
    return UiLanguageFromCode(LanguageCodeFromSettings(settings));
}

}  // namespace

bool WritePlotPicture(const ReplayOptions& options, const LoadedRecording& loaded, DecodedRecording decoded,
                      std::string* error)
{
    // A command line has no display to speak of: without one, draw off-screen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY") &&
        !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "radarcli";
    char* argv[] = {name, nullptr};
    // Qt's notes on the platform (no runtime folder, no session bus) are no concern of
    // a command that reports its own outcome.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "radarcli: %s\n", qPrintable(message));
    });
    QApplication app(argc, argv);
    InitAppResources();
    StringTable::setLanguage(options.language == "en"   ? UiLanguage::English
                             : options.language == "zh" ? UiLanguage::Chinese
                                                        : WindowLanguage());
    const CReplayTimeline& timeline = *loaded.timeline;
    const std::optional<CaptureHeader>& header = timeline.Header();
    QDateTime timeBase;
    if (header) {
        if (const std::optional<std::int64_t> startedMs = ParseUtcTimestampMs(header->startedUtc))
            timeBase = QDateTime::fromMSecsSinceEpoch(*startedMs);
    }
    const std::int64_t intervalMs = ReportIntervalMs(header ? header->reportTimeMs : 0, 0);

    CRecordingOverview overview;
    overview.resize(options.plotWidth, options.plotHeight);
    overview.SetRecording(std::make_shared<const std::vector<DecodedReport>>(std::move(decoded.reports)),
                          loaded.labels, timeBase, intervalMs,
                          QFileInfo(QString::fromStdString(options.file)).fileName());
    const QImage picture = overview.Picture(QSize(options.plotWidth, options.plotHeight));
    // Written aside and renamed over the target: a failed write leaves an existing
    // picture as it was, and a target that is not a regular file is refused.
    return SavePngAside(picture, options.plotPath, *error);
}
