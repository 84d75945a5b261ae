#pragma once
// Measurement tables on their way to and from other programs: the table of cell texts that Copy
// builds, its plain-text and Data Interchange Format (DIF) renderings, and the locale's number
// separators that both use.
//
// Plain text: cells joined by the list separator, each row ended by CR LF, one NUL byte after the
// last row (the clipboard's text form ends with one), in the ANSI code page (Windows-1252).
// DIF: the header items TABLE, VECTORS (longest row), TUPLES (rows + 1) and DATA, then per row
// "-1,0" BOT and per cell "1,0" with the cell as a quoted string, then "-1,0" EOD; every cell is
// a string value, double quotes inside become apostrophes, the text is in OEM code page 850.
// In both, a cell that is a complete number gets the locale's decimal separator for its first ".".
//
// Rendering goes through a staging buffer of 16000 bytes, so that the sink is written in large
// pieces.

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <vector>

class QIODevice;

// Rows of cell texts; rows may differ in length.
using CellTable = std::vector<QStringList>;

// The decimal and list separators of a locale.
struct ExchangeLocale {
    QString decimal = QStringLiteral(".");
    QString list = QStringLiteral(",");

    // The separators of the user's locale, read anew each time.
    static ExchangeLocale System();
    // The separators of `locale`: its decimal point; ";" as list separator when the decimal
    // separator is ",", else ",".
    static ExchangeLocale Of(const QLocale& locale);
    friend bool operator==(const ExchangeLocale&, const ExchangeLocale&) = default;
};

// The first "." of a cell that is a complete number replaced by the decimal separator.
QString LocaliseCell(const QString& cell, const ExchangeLocale& locale);
// The first decimal separator of a token replaced by ".".
QString DelocaliseToken(const QString& token, const ExchangeLocale& locale);

// Collects pieces in a staging buffer and writes it to the sink whenever the next piece would
// pass its capacity, and at the end.
class CStagingBuffer {
public:
    static constexpr qsizetype kCapacity = 16000;
    explicit CStagingBuffer(QIODevice* sink);
    void Append(const QByteArray& piece);
    // Writes what is left; false when any write to the sink failed.
    bool Finish();
    int SinkWrites() const { return m_sinkWrites; }

private:
    void Flush();
    QIODevice* m_sink;
    QByteArray m_buffer;
    bool m_failed = false;
    int m_sinkWrites = 0;
};

class CTableTextWriter {
public:
    explicit CTableTextWriter(const ExchangeLocale& locale) : m_locale(locale) {}
    // Renders `table` into `sink`; false when writing failed.
    bool Write(const CellTable& table, QIODevice* sink);
    QByteArray Render(const CellTable& table);

private:
    ExchangeLocale m_locale;
};

class CTableDifWriter {
public:
    explicit CTableDifWriter(const ExchangeLocale& locale) : m_locale(locale) {}
    bool Write(const CellTable& table, QIODevice* sink);
    QByteArray Render(const CellTable& table);

private:
    ExchangeLocale m_locale;
};

// The MIME type under which the DIF rendering goes to the clipboard.
QString DifMimeType();
