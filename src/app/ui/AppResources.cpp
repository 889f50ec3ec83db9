#include "AppResources.h"

#include <QFile>

#include <mutex>

// Defined by the resource compiler for res/resources.qrc; Q_INIT_RESOURCE needs the global namespace.
static void registerAppResources()
{
    Q_INIT_RESOURCE(app_ui_resources);
}

void InitAppResources()
{
    static std::once_flag once;
    std::call_once(once, registerAppResources);
}

QString AppResourcePath(const QString& type, int id, UiLanguage language)
{
    InitAppResources();
    if (language == UiLanguage::Chinese) {
        const QString chinese = QStringLiteral(":/res/zh/%1/%2").arg(type).arg(id);
        if (QFile::exists(chinese))
            return chinese;
    }
    return QStringLiteral(":/res/%1/%2").arg(type).arg(id);
}
