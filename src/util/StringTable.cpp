#include "util/StringTable.h"

#include <QFile>
#include <QHash>

#include <utility>
#include <vector>

namespace {

// The built-in English texts as each folder registered them, in registration order.
std::vector<std::pair<const TxBuiltInText*, size_t>>& BuiltInSections()
{
    static std::vector<std::pair<const TxBuiltInText*, size_t>> sections;
    return sections;
}

void InsertBuiltIn(QHash<int, QString>& table, const TxBuiltInText* texts, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        table.insert(texts[i].id, QString::fromUtf8(texts[i].text));
}

QHash<int, QString>& Table()
{
    static QHash<int, QString> table;
    return table;
}

QString Unescape(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\' && i + 1 < s.size()) {
            const QChar c = s[++i];
            out.append(c == u'n' ? QChar(u'\n') : c == u't' ? QChar(u'\t') : c);
        } else {
            out.append(s[i]);
        }
    }
    return out;
}

}  // namespace

QString TxString(int id)
{
    return Table().value(id);
}

QString TxFormat(int id, const QString& a1)
{
    return TxString(id).replace(QLatin1String("%1"), a1);
}

QString TxFormat(int id, const QString& a1, const QString& a2)
{
    return TxString(id).replace(QLatin1String("%1"), a1).replace(QLatin1String("%2"), a2);
}

bool TxLoadLanguageFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QString content = QString::fromUtf8(f.readAll());
    auto& table = Table();
    for (QStringView line : QStringView(content).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        bool ok = false;
        const int id = line.left(tab).toInt(&ok);
        if (ok)
            table.insert(id, Unescape(line.mid(tab + 1)));
    }
    return true;
}

void TxResetLanguage()
{
    auto& table = Table();
    table.clear();
    for (const auto& [texts, count] : BuiltInSections())
        InsertBuiltIn(table, texts, count);
}

QList<int> TxBuiltInDuplicates()
{
    QHash<int, int> seen;
    QList<int> duplicates;
    for (const auto& [texts, count] : BuiltInSections())
        for (size_t i = 0; i < count; ++i)
            if (seen[texts[i].id]++ == 1)
                duplicates.append(texts[i].id);
    return duplicates;
}

bool TxAddBuiltInTexts(const TxBuiltInText* texts, size_t count)
{
    BuiltInSections().emplace_back(texts, count);
    // A language file loaded before this section keeps its replacements.
    auto& table = Table();
    for (size_t i = 0; i < count; ++i)
        if (!table.contains(texts[i].id))
            table.insert(texts[i].id, QString::fromUtf8(texts[i].text));
    return true;
}
