#include "dataentry/TableExchange.h"

#include <QBuffer>
#include <QIODevice>

#include "dataentry/NumberText.h"
#include "util/Codepage.h"

ExchangeLocale ExchangeLocale::System()
{
    return Of(QLocale::system());
}

ExchangeLocale ExchangeLocale::Of(const QLocale& locale)
{
    ExchangeLocale out;
    out.decimal = locale.decimalPoint();
    if (out.decimal.isEmpty())
        out.decimal = QStringLiteral(".");
    out.list = out.decimal == QLatin1String(",") ? QStringLiteral(";") : QStringLiteral(",");
    return out;
}

QString LocaliseCell(const QString& cell, const ExchangeLocale& locale)
{
    const qsizetype dot = cell.indexOf(u'.');
    if (dot < 0 || locale.decimal == QLatin1String("."))
        return cell;
    qsizetype start = 0;
    while (start < cell.size() && (cell[start] == u' ' || cell[start] == u'\t'))
        ++start;
    const QByteArray rest = cell.mid(start).toUtf8();
    double v = 0;
    qsizetype used = 0;
    if (!ParseDoublePrefix(rest, &v, &used) || used != rest.size())
        return cell;
    QString out = cell;
    out.replace(dot, 1, locale.decimal);
    return out;
}

QString DelocaliseToken(const QString& token, const ExchangeLocale& locale)
{
    if (locale.decimal.isEmpty() || locale.decimal == QLatin1String("."))
        return token;
    const qsizetype at = token.indexOf(locale.decimal);
    if (at < 0)
        return token;
    QString out = token;
    out.replace(at, locale.decimal.size(), QStringLiteral("."));
    return out;
}

CStagingBuffer::CStagingBuffer(QIODevice* sink) : m_sink(sink)
{
    m_buffer.reserve(kCapacity);
}

void CStagingBuffer::Append(const QByteArray& piece)
{
    if (m_buffer.size() + piece.size() > kCapacity)
        Flush();
    if (piece.size() > kCapacity) {
        // A piece larger than the whole buffer goes straight to the sink.
        ++m_sinkWrites;
        if (m_sink->write(piece) != piece.size())
            m_failed = true;
        return;
    }
    m_buffer.append(piece);
}

void CStagingBuffer::Flush()
{
    if (m_buffer.isEmpty())
        return;
    ++m_sinkWrites;
    if (m_sink->write(m_buffer) != m_buffer.size())
        m_failed = true;
    m_buffer.clear();
}

bool CStagingBuffer::Finish()
{
    Flush();
    return !m_failed;
}

namespace {

QByteArray RenderWith(const CellTable& table, bool (*write)(const CellTable&, QIODevice*, const ExchangeLocale&),
                      const ExchangeLocale& locale)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!write(table, &buffer, locale))
        return {};
    return bytes;
}

bool WriteText(const CellTable& table, QIODevice* sink, const ExchangeLocale& locale)
{
    CStagingBuffer out(sink);
    const QByteArray list = ToCp1252(locale.list);
    for (const QStringList& row : table) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                out.Append(list);
            out.Append(ToCp1252(LocaliseCell(row[c], locale)));
        }
        out.Append(QByteArrayLiteral("\r\n"));
    }
    out.Append(QByteArray(1, '\0'));
    return out.Finish();
}

void DifHeaderItem(CStagingBuffer& out, const char* topic, const QByteArray& number)
{
    out.Append(QByteArray(topic) + "\r\n0," + number + "\r\n\"\"\r\n");
}

bool WriteDif(const CellTable& table, QIODevice* sink, const ExchangeLocale& locale)
{
    CStagingBuffer out(sink);
    qsizetype longest = 0;
    for (const QStringList& row : table)
        longest = std::max(longest, row.size());
    DifHeaderItem(out, "TABLE", "1");
    DifHeaderItem(out, "VECTORS", QByteArray::number(qulonglong(longest)));
    DifHeaderItem(out, "TUPLES", QByteArray::number(qulonglong(table.size() + 1)));
    DifHeaderItem(out, "DATA", "0");
    for (const QStringList& row : table) {
        out.Append(QByteArrayLiteral("-1,0\r\nBOT\r\n"));
        for (const QString& cell : row) {
            QString text = LocaliseCell(cell, locale);
            text.replace(u'"', u'\'');
            out.Append(QByteArrayLiteral("1,0\r\n\"") + ToCp850(text) + QByteArrayLiteral("\"\r\n"));
        }
    }
    out.Append(QByteArrayLiteral("-1,0\r\nEOD\r\n"));
    return out.Finish();
}

}  // namespace

bool CTableTextWriter::Write(const CellTable& table, QIODevice* sink)
{
    return WriteText(table, sink, m_locale);
}

QByteArray CTableTextWriter::Render(const CellTable& table)
{
    return RenderWith(table, WriteText, m_locale);
}

bool CTableDifWriter::Write(const CellTable& table, QIODevice* sink)
{
    return WriteDif(table, sink, m_locale);
}

QByteArray CTableDifWriter::Render(const CellTable& table)
{
    return RenderWith(table, WriteDif, m_locale);
}

QString DifMimeType()
{
    return QStringLiteral("application/x-openoffice-dif;windows_formatname=\"DIF\"");
}
