#include <QApplication>
#include <QFileInfo>

#include <cstdio>

#include "AppOptions.h"
#include "FileUtils.h"
#include "ToolFolders.h"
#include "XMLParser.h"
#include "SettingsFile.h"
#include "Vetra_Tivane_PeloToolApp.h"

int main(int argc, char* argv[])
{
    // The options are read before the application object exists, so that --help and a
    // mistyped option answer on a machine without a display as well.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const QString programName = argc > 0 ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName()
                                         : QStringLiteral("TivanePeloTool");
    AppOptionsResult options = ParseAppOptions(arguments);
    if (!options) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(programName), qPrintable(options.error()));
        return 2;
    }
    if (options->help) {
        std::fputs(qPrintable(AppOptionsHelpText(programName)), stdout);
        return 0;
    }
    QApplication application(argc, argv);
    const ToolFolders folders = ResolveToolFolders(CurrentFolderEnvironment());
    if (folders.perUser) {
        // The user's folders may not exist yet; the settings are saved there at the end.
        const std::string settingsFolder = folders.settingsPath.substr(0, folders.settingsPath.rfind('/'));
        RecursiveCreateDirectoryA(settingsFolder.c_str());
    }
    XMLParser document;
    CSettingsFile settings(document, folders.settingsPath);
    CVetra_Tivane_PeloToolApp app(settings, options.take(), folders);
    return app.InitInstance();
}
