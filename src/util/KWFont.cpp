#include "util/KWFont.h"

#include <cstdlib>
#include <cstring>

#include "util/Archive.h"
#include "util/Codepage.h"

int32_t TxMulDiv(int32_t number, int32_t numerator, int32_t denominator)
{
    if (denominator == 0)
        return -1;
    int64_t p = int64_t(number) * numerator;
    int64_t d = denominator;
    if (d < 0) {
        p = -p;
        d = -d;
    }
    const int64_t half = d / 2;
    const int64_t q = p >= 0 ? (p + half) / d : -((-p + half) / d);
    return int32_t(q);
}

CKWFont::CKWFont()
{
    std::strcpy(faceName, "Arial");
}

CKWFont::CKWFont(const FontRecord& r)
{
    size = int16_t(std::abs(r.height));
    weight = r.weight;
    style = uint16_t((r.italic ? Italic : 0) | (r.underline ? Underline : 0) |
                     (r.strikeOut ? StrikeOut : 0));
    charset = r.charSet;
    pitchAndFamily = r.pitchAndFamily;
    std::memcpy(faceName, r.faceName, sizeof faceName);
    faceName[sizeof faceName - 1] = 0;
}

FontRecord CKWFont::ToFontRecord() const
{
    FontRecord r{};
    std::memset(r.faceName, 0, sizeof r.faceName);
    r.height = size;
    r.weight = weight;
    r.italic = (style & Italic) ? 1 : 0;
    r.underline = (style & Underline) ? 1 : 0;
    r.strikeOut = (style & StrikeOut) ? 1 : 0;
    r.charSet = charset;
    r.outPrecision = 7;    // TrueType only
    r.clipPrecision = 16;  // LH angles
    r.quality = 2;         // proof
    r.pitchAndFamily = pitchAndFamily;
    std::memcpy(r.faceName, faceName, sizeof faceName);
    return r;
}

QString CKWFont::Face() const
{
    return FromCp1252(QByteArray(faceName, qsizetype(strnlen(faceName, sizeof faceName))));
}

void CKWFont::SetFace(const QString& face)
{
    std::memset(faceName, 0, sizeof faceName);
    const QByteArray bytes = ToCp1252(face).left(sizeof faceName - 1);
    std::memcpy(faceName, bytes.constData(), size_t(bytes.size()));
}

void CKWFont::Serialize(CTXArchive& ar)
{
    int32_t recordSchema = 2;
    ar.Int32(recordSchema);
    if (ar.IsLoading() && recordSchema != 1 && recordSchema != 2)
        CTXArchive::FailFormat("unknown font schema");
    uint16_t rawSize = uint16_t(size);
    ar.UInt16(rawSize);
    ar.Int32(weight);
    ar.UInt16(style);
    ar.UInt8(charset);
    ar.UInt8(pitchAndFamily);
    ar.Bytes(faceName, sizeof faceName);
    ar.Int32(reserved);
    if (ar.IsLoading()) {
        faceName[sizeof faceName - 1] = 0;
        size = int16_t(rawSize);
        if (recordSchema == 1)
            size = int16_t(size - 10);
        schema = 2;
    }
}

bool operator==(const CKWFont& a, const CKWFont& b)
{
    return a.size == b.size && a.weight == b.weight && a.style == b.style &&
           a.charset == b.charset && a.pitchAndFamily == b.pitchAndFamily &&
           std::memcmp(a.faceName, b.faceName, sizeof a.faceName) == 0 && a.reserved == b.reserved;
}
