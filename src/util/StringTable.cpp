#include "util/StringTable.h"

#include <QFile>
#include <QHash>

namespace {

struct BuiltInText {
    int id;
    const char* text;
};

// Each folder keeps the texts it shows in its own Strings.inc.
constexpr BuiltInText kBuiltIn[] = {
#include "util/Strings.inc"
#include "document/Strings.inc"
#include "colors/Strings.inc"
#include "mapping/Strings.inc"
#include "render/Strings.inc"
#include "print/Strings.inc"
#include "dataentry/Strings.inc"
#include "image/Strings.inc"
#include "app/Strings.inc"
#include "cli/Strings.inc"
};

QHash<int, QString>& Table()
{
    static QHash<int, QString> table = [] {
        QHash<int, QString> t;
        for (const BuiltInText& e : kBuiltIn)
            t.insert(e.id, QString::fromUtf8(e.text));
        return t;
    }();
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
    for (const BuiltInText& e : kBuiltIn)
        table.insert(e.id, QString::fromUtf8(e.text));
}
