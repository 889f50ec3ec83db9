#pragma once
#include "ParseResult.h"
#include "UiLanguage.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

class StringTable;
using StringTableResult = ParseResult<StringTable>;

// The localised texts of the user interface, each under a numeric id in English and Chinese.
// The application's table is res/strings.tsv, compiled into the resources; its format is
// described there and in res/README.md.
class StringTable {
public:
    // Text of id in the language chosen at start-up; empty when the table has no such id.
    // Safe from any thread once start-up has set the language.
    static QString load(int id);
    // Chooses the language of load(); start-up calls this once, before any window exists.
    static void setLanguage(UiLanguage language);
    static UiLanguage language();
    // The application's table, read from the resources on first use. A damaged table is
    // reported once as a warning and behaves as an empty table.
    static const StringTable& application();

    static StringTableResult parse(const QByteArray& data);
    static StringTableResult fromFile(const QString& path);

    // Text of id in language; empty when the table has no such id.
    QString text(int id, UiLanguage language) const;
    bool contains(int id) const { return m_entries.contains(id); }
    // Every id of the table in ascending order.
    QList<int> ids() const;

private:
    struct Entry {
        QString english;
        QString chinese;
    };
    QHash<int, Entry> m_entries;
};
