#include "StringTable.h"

#include "AppResources.h"

#include <QFile>
#include <QStringDecoder>
#include <QtDebug>

#include <algorithm>
#include <atomic>

namespace {

constexpr int kMaxStringId = 0xFFFF;
constexpr auto kTablePath = ":/res/strings.tsv";

std::atomic<UiLanguage> g_language{UiLanguage::Chinese};

// Decimal id from 1 to kMaxStringId; anything else gives 0.
int parseId(QStringView field)
{
    bool ok = false;
    const int id = field.toInt(&ok, 10);
    const bool digitsOnly = std::all_of(field.begin(), field.end(), [](QChar c) { return c.isDigit(); });
    return ok && digitsOnly && id >= 1 && id <= kMaxStringId ? id : 0;
}

}  // namespace

QString StringTable::load(int id)
{
    return application().text(id, language());
}

void StringTable::setLanguage(UiLanguage language)
{
    g_language.store(language);
}

UiLanguage StringTable::language()
{
    return g_language.load();
}

const StringTable& StringTable::application()
{
    static const StringTable table = [] {
        InitAppResources();
        StringTableResult result = fromFile(QString::fromLatin1(kTablePath));
        if (!result) {
            qWarning("String table unusable, texts stay empty: %s", qPrintable(result.error()));
            return StringTable();
        }
        return result.take();
    }();
    return table;
}

StringTableResult StringTable::parse(const QByteArray& data)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(data);
    if (decoder.hasError())
        return StringTableResult::failure(QStringLiteral("the table is not valid UTF-8 text"));

    StringTable table;
    QHash<int, int> firstLineOf;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int index = 0; index < lines.size(); ++index) {
        QStringView line = lines.at(index);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;

        const int lineNumber = index + 1;
        const auto fail = [lineNumber](const QString& why) {
            return StringTableResult::failure(QStringLiteral("line %1: %2").arg(lineNumber).arg(why));
        };
        const QList<QStringView> fields = line.split(QLatin1Char('\t'));
        if (fields.size() != 3)
            return fail(QStringLiteral("expected id, English and Chinese separated by tabs, found %1 field(s)")
                            .arg(fields.size()));
        const int id = parseId(fields.at(0));
        if (id == 0)
            return fail(QStringLiteral("\"%1\" is not an id from 1 to %2").arg(fields.at(0)).arg(kMaxStringId));
        if (firstLineOf.contains(id))
            return fail(QStringLiteral("id %1 was already given on line %2").arg(id).arg(firstLineOf.value(id)));
        if (fields.at(1).isEmpty() || fields.at(2).isEmpty())
            return fail(QStringLiteral("id %1 needs both an English and a Chinese text").arg(id));

        firstLineOf.insert(id, lineNumber);
        table.m_entries.insert(id, Entry{fields.at(1).toString(), fields.at(2).toString()});
    }
    return table;
}

StringTableResult StringTable::fromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return StringTableResult::failure(path + QStringLiteral(": ") + file.errorString());
    StringTableResult result = parse(file.readAll());
    if (!result)
        return StringTableResult::failure(path + QStringLiteral(", ") + result.error());
    return result;
}

QString StringTable::text(int id, UiLanguage language) const
{
    const auto entry = m_entries.constFind(id);
    if (entry == m_entries.constEnd())
        return {};
    return language == UiLanguage::English ? entry->english : entry->chinese;
}

QList<int> StringTable::ids() const
{
    QList<int> ids = m_entries.keys();
    std::sort(ids.begin(), ids.end());
    return ids;
}
