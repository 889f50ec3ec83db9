#include "AppOptions.h"

#include "ToolFolders.h"

namespace {

// The longest run the tool accepts: a day, far beyond any demonstration, and safely
// within a timer's range in milliseconds.
constexpr int kMaxSeconds = 24 * 60 * 60;

// Takes the value of option at index i + 1; false when there is none.
bool TakeValue(const QStringList& arguments, qsizetype& i, QString& value)
{
    if (i + 1 >= arguments.size())
        return false;
    value = arguments.at(++i);
    return true;
}

}  // namespace

AppOptionsResult ParseAppOptions(const QStringList& arguments)
{
    AppOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments.at(i);
        QString value;
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            options.help = true;
        } else if (option == QLatin1String("--simulate")) {
            options.simulate = true;
        } else if (option == QLatin1String("--start")) {
            options.start = true;
        } else if (option == QLatin1String("--connect")) {
            options.connect = true;
        } else if (option == QLatin1String("--port")) {
            if (!TakeValue(arguments, i, value) || value.isEmpty())
                return AppOptionsResult::failure(QStringLiteral("--port needs a serial device path"));
            options.portPath = value;
        } else if (option == QLatin1String("--seconds")) {
            if (!TakeValue(arguments, i, value))
                return AppOptionsResult::failure(QStringLiteral("--seconds needs a number of seconds"));
            bool ok = false;
            const int seconds = value.toInt(&ok);
            if (!ok || seconds < 0 || seconds > kMaxSeconds)
                return AppOptionsResult::failure(
                    QStringLiteral("--seconds: \"%1\" is not a whole number from 0 to %2").arg(value).arg(kMaxSeconds));
            options.seconds = seconds;
        } else if (option == QLatin1String("--screenshot")) {
            if (!TakeValue(arguments, i, value) || value.isEmpty())
                return AppOptionsResult::failure(QStringLiteral("--screenshot needs a file name"));
            options.screenshotPath = value;
        } else if (option == QLatin1String("--replay")) {
            if (!TakeValue(arguments, i, value) || value.isEmpty())
                return AppOptionsResult::failure(QStringLiteral("--replay needs a recording (.dat)"));
            options.replayPath = value;
        } else if (option == QLatin1String("--lang")) {
            if (!TakeValue(arguments, i, value))
                return AppOptionsResult::failure(QStringLiteral("--lang needs en or zh"));
            if (value == QLatin1String("en"))
                options.language = UiLanguage::English;
            else if (value == QLatin1String("zh"))
                options.language = UiLanguage::Chinese;
            else
                return AppOptionsResult::failure(QStringLiteral("--lang: \"%1\" is neither en nor zh").arg(value));
        } else {
            return AppOptionsResult::failure(QStringLiteral("unknown option \"%1\" (see --help)").arg(option));
        }
    }
    if (!options.replayPath.isEmpty() && (options.start || options.connect))
        return AppOptionsResult::failure(QStringLiteral("--replay shows a recording: it cannot be combined with --start or --connect"));
    if (options.simulate && !options.portPath.isEmpty())
        return AppOptionsResult::failure(QStringLiteral("--port and --simulate each choose the port: give one of them"));
    return options;
}

QString AppOptionsHelpText(const QString& programName)
{
    return QStringLiteral(
               "Usage: %1 [options]\n"
               "\n"
               "Without options the tool starts as usual: the settings come from appConfig.xml\n"
               "beside the program, and nothing is connected until the operator asks.\n"
               "\n"
               "  --port PATH        list the serial device PATH as well and select it\n"
               "  --simulate         select the built-in simulated module\n"
               "  --start            connect to the selected port and start acquisition\n"
               "                     once the window is up\n"
               "  --connect          connect to the selected port, without starting acquisition\n"
               "  --seconds N        close the window normally after N seconds\n"
               "  --screenshot FILE  save a PNG of the whole window just before it closes\n"
               "  --replay FILE      replay the recording FILE (.dat) once the window is up\n"
               "  --lang en|zh       English or Chinese for this run (appConfig.xml is not changed)\n"
               "  --help             show this text\n"
               "\n")
               .arg(programName) +
           QString::fromStdString(ToolFoldersHelpText());
}
