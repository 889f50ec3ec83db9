#include "DialogTemplate.h"

#include "AppResources.h"
#include "DialogTemplateReader.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <utility>

namespace {

// 1-based line and column of a byte offset, for messages a person can follow in an editor.
QString positionOf(const QByteArray& data, int offset)
{
    const QByteArray before = data.left(offset);
    const int line = int(before.count('\n')) + 1;
    const int column = int(before.size() - before.lastIndexOf('\n'));
    return QStringLiteral("line %1, column %2").arg(line).arg(column);
}

}  // namespace

const ControlTemplate* DialogTemplate::control(int controlId) const
{
    for (const ControlTemplate& entry : controls) {
        if (entry.id == controlId && controlId != kNoControlId)
            return &entry;
    }
    return nullptr;
}

DialogTemplateResult DialogTemplate::parse(const QByteArray& data)
{
    QJsonParseError syntax{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &syntax);
    if (syntax.error != QJsonParseError::NoError)
        return DialogTemplateResult::failure(positionOf(data, syntax.offset) + QStringLiteral(": ")
                                             + syntax.errorString());
    if (!document.isObject())
        return DialogTemplateResult::failure(QStringLiteral("template: expected an object at the top"));

    DialogTemplate dialog;
    DialogTemplateReader reader;
    if (!reader.read(document.object(), &dialog))
        return DialogTemplateResult::failure(reader.error());
    return DialogTemplateResult(std::move(dialog));
}

DialogTemplateResult DialogTemplate::fromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return DialogTemplateResult::failure(path + QStringLiteral(": ") + file.errorString());
    DialogTemplateResult result = parse(file.readAll());
    if (!result)
        return DialogTemplateResult::failure(path + QStringLiteral(": ") + result.error());
    return result;
}

DialogTemplateResult DialogTemplate::fromResource(int dialogId)
{
    InitAppResources();
    return fromFile(AppResourcePath(QStringLiteral("DIALOG"), dialogId, UiLanguage::English));
}
