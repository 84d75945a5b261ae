#include "util/Archive.h"

#include <QtEndian>

#include <cstring>

#include "util/Codepage.h"

CTXArchive::CTXArchive(QByteArray* out) : m_out(out) {}

CTXArchive::CTXArchive(const char* data, qsizetype size) : m_data(data), m_size(size) {}

void CTXArchive::FailFormat(const char* what)
{
    throw CTXArchiveError(CTXArchiveError::BadFormat, what);
}

void CTXArchive::FailFormat(const char* what, const QString& userReason)
{
    throw CTXArchiveError(CTXArchiveError::BadFormat, what, userReason);
}

void CTXArchive::Require(qsizetype n) const
{
    if (n < 0 || n > m_size - m_pos)
        throw CTXArchiveError(CTXArchiveError::EndOfFile, "unexpected end of archive");
}

void CTXArchive::Write(const void* p, qsizetype n)
{
    m_out->append(static_cast<const char*>(p), n);
    m_pos += n;
}

void CTXArchive::Read(void* p, qsizetype n)
{
    Require(n);
    std::memcpy(p, m_data + m_pos, size_t(n));
    m_pos += n;
}

void CTXArchive::Int32(int32_t& v)
{
    if (IsStoring()) {
        const int32_t le = qToLittleEndian(v);
        Write(&le, 4);
    } else {
        int32_t le;
        Read(&le, 4);
        v = qFromLittleEndian(le);
    }
}

void CTXArchive::UInt32(uint32_t& v)
{
    if (IsStoring()) {
        const uint32_t le = qToLittleEndian(v);
        Write(&le, 4);
    } else {
        uint32_t le;
        Read(&le, 4);
        v = qFromLittleEndian(le);
    }
}

void CTXArchive::UInt16(uint16_t& v)
{
    if (IsStoring()) {
        const uint16_t le = qToLittleEndian(v);
        Write(&le, 2);
    } else {
        uint16_t le;
        Read(&le, 2);
        v = qFromLittleEndian(le);
    }
}

void CTXArchive::UInt8(uint8_t& v)
{
    if (IsStoring())
        Write(&v, 1);
    else
        Read(&v, 1);
}

void CTXArchive::Float(float& v)
{
    static_assert(sizeof(float) == 4);
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    UInt32(bits);
    if (IsLoading())
        std::memcpy(&v, &bits, 4);
}

void CTXArchive::Bytes(void* p, qsizetype n)
{
    if (IsStoring())
        Write(p, n);
    else
        Read(p, n);
}

int32_t CTXArchive::GetInt32()
{
    int32_t v = 0;
    Int32(v);
    return v;
}

float CTXArchive::GetFloat()
{
    float v = 0;
    Float(v);
    return v;
}

void CTXArchive::Floats(CTXFloatArray& a, int32_t count)
{
    if (count < 0)
        FailFormat("negative element count");
    if (IsStoring()) {
        for (int32_t i = 0; i < count; ++i)
            Float(a[size_t(i)]);
        return;
    }
    Require(qsizetype(count) * 4);
    a.resize(size_t(count));
    for (int32_t i = 0; i < count; ++i)
        Float(a[size_t(i)]);
}

void CTXArchive::Count(int32_t& n, qsizetype elementSize)
{
    Int32(n);
    if (IsLoading()) {
        if (n < 0)
            FailFormat("negative element count");
        if (elementSize > 0 && qsizetype(n) > Remaining() / elementSize)
            FailFormat("element count larger than the archive");
    }
}

void CTXArchive::WriteLengthPrefix(uint32_t n)
{
    uint8_t b;
    if (n < 255) {
        b = uint8_t(n);
        UInt8(b);
        return;
    }
    b = 0xFF;
    UInt8(b);
    uint16_t w;
    if (n < 0xFFFE) {
        w = uint16_t(n);
        UInt16(w);
        return;
    }
    w = 0xFFFF;
    UInt16(w);
    UInt32(n);
}

// Returns the length of the 8-bit text that follows, or sets bit 31 for UTF-16 text.
uint32_t CTXArchive::ReadLengthPrefix()
{
    bool wide = false;
    for (;;) {
        uint8_t b = 0;
        UInt8(b);
        if (b < 0xFF)
            return b | (wide ? 0x80000000u : 0);
        uint16_t w = 0;
        UInt16(w);
        if (w == 0xFFFE) {
            if (wide)
                FailFormat("repeated wide-string marker");
            wide = true;
            continue;
        }
        if (w < 0xFFFE)
            return w | (wide ? 0x80000000u : 0);
        uint32_t n = 0;
        UInt32(n);
        if (n & 0x80000000u)
            FailFormat("string longer than the archive");
        return n | (wide ? 0x80000000u : 0);
    }
}

void CTXArchive::String(QString& s)
{
    if (IsStoring()) {
        const QByteArray bytes = ToCp1252(s);
        WriteLengthPrefix(uint32_t(bytes.size()));
        Write(bytes.constData(), bytes.size());
        return;
    }
    const uint32_t prefix = ReadLengthPrefix();
    const bool wide = prefix & 0x80000000u;
    const qsizetype n = qsizetype(prefix & 0x7FFFFFFFu);
    if (!wide) {
        Require(n);
        s = FromCp1252(QByteArray(m_data + m_pos, n));
        m_pos += n;
        return;
    }
    Require(n * 2);
    QString text;
    text.resize(n);
    for (qsizetype i = 0; i < n; ++i) {
        uint16_t unit = 0;
        UInt16(unit);
        text[i] = QChar(char16_t(unit));
    }
    // Wide text is held as the 8-bit code page would hold it.
    s = FromCp1252(ToCp1252(text));
}
