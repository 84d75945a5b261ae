#include "image/TXDib.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <cstring>

namespace {

constexpr int32_t kCoreHeader = 12;
constexpr int32_t kInfoHeader = 40;
constexpr int32_t kFileHeader = 14;

enum Compression : int32_t { BiRgb = 0, BiRle8 = 1, BiRle4 = 2, BiBitfields = 3, BiAlphaBitfields = 6 };

uint16_t U16(const char* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return qFromLittleEndian(v);
}

int32_t I32(const char* p)
{
    int32_t v;
    std::memcpy(&v, p, 4);
    return qFromLittleEndian(v);
}

void PutU16(char* p, uint16_t v)
{
    v = qToLittleEndian(v);
    std::memcpy(p, &v, 2);
}

void PutI32(char* p, int32_t v)
{
    v = qToLittleEndian(v);
    std::memcpy(p, &v, 4);
}

bool KnownHeaderSize(int32_t size)
{
    return size == kCoreHeader || size == kInfoHeader || size == 52 || size == 56 || size == 64 ||
           size == 108 || size == 124;
}

}  // namespace

bool PictureSizeAllowed(int64_t width, int64_t height)
{
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

qsizetype DibStride(int64_t width, int bitCount)
{
    return qsizetype(((width * bitCount + 31) / 32) * 4);
}

bool ParseDib(const QByteArray& dib, CTXDibInfo* info)
{
    const qsizetype size = dib.size();
    if (size < 4)
        return false;
    const char* p = dib.constData();
    CTXDibInfo d;
    d.headerSize = I32(p);
    if (!KnownHeaderSize(d.headerSize) || size < d.headerSize)
        return false;
    int32_t planes = 0;
    int32_t colorsUsed = 0;
    if (d.headerSize == kCoreHeader) {
        d.width = U16(p + 4);
        d.height = U16(p + 6);
        planes = U16(p + 8);
        d.bitCount = U16(p + 10);
        d.paletteEntrySize = 3;
    } else {
        d.width = I32(p + 4);
        d.height = I32(p + 8);
        planes = U16(p + 12);
        d.bitCount = U16(p + 14);
        d.compression = I32(p + 16);
        d.ppmX = I32(p + 24);
        d.ppmY = I32(p + 28);
        colorsUsed = I32(p + 32);
    }
    if (planes != 1 || d.height == INT32_MIN)
        return false;
    const int64_t rows = d.height < 0 ? -int64_t(d.height) : d.height;
    if (!PictureSizeAllowed(d.width, rows))
        return false;
    switch (d.bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
        if (d.compression != BiRgb && !(d.compression == BiRle8 && d.bitCount == 8) &&
            !(d.compression == BiRle4 && d.bitCount == 4))
            return false;
        break;
    case 16:
    case 32:
        if (d.compression != BiRgb && d.compression != BiBitfields && d.compression != BiAlphaBitfields)
            return false;
        break;
    default:
        return false;
    }
    // Run-length rows are always stored bottom-up.
    if ((d.compression == BiRle8 || d.compression == BiRle4) && d.height < 0)
        return false;

    if (colorsUsed < 0 || colorsUsed > 256)
        return false;
    if (d.headerSize == kCoreHeader)
        d.paletteEntries = d.bitCount <= 8 ? 1 << d.bitCount : 0;
    else if (colorsUsed != 0)
        d.paletteEntries = colorsUsed;
    else
        d.paletteEntries = d.bitCount <= 8 ? 1 << d.bitCount : 0;
    if (d.bitCount <= 8 && d.paletteEntries > (1 << d.bitCount))
        return false;

    d.paletteOffset = d.headerSize;
    if (d.headerSize == kInfoHeader && d.compression == BiBitfields)
        d.paletteOffset += 12;  // the three colour masks follow the short header
    else if (d.headerSize == kInfoHeader && d.compression == BiAlphaBitfields)
        d.paletteOffset += 16;
    d.pixelOffset = d.paletteOffset + qsizetype(d.paletteEntries) * d.paletteEntrySize;
    if (d.pixelOffset > size)
        return false;
    const qsizetype available = size - d.pixelOffset;
    if (d.compression == BiRle8 || d.compression == BiRle4) {
        if (available < 2)
            return false;
    } else if (DibStride(d.width, d.bitCount) * rows > available) {
        return false;
    }
    *info = d;
    return true;
}

QList<QRgb> DibPalette(const QByteArray& dib, const CTXDibInfo& info)
{
    QList<QRgb> colours;
    colours.reserve(info.paletteEntries);
    const uchar* p = reinterpret_cast<const uchar*>(dib.constData()) + info.paletteOffset;
    for (int i = 0; i < info.paletteEntries; ++i, p += info.paletteEntrySize)
        colours.append(qRgb(p[2], p[1], p[0]));
    return colours;
}

QImage DecodeRleDib(const QByteArray& dib, const CTXDibInfo& info)
{
    QImage image(info.width, info.height, QImage::Format_Indexed8);
    if (image.isNull())
        return {};
    image.fill(0);
    // Every index a byte can hold has a colour, so no stray index reads past the table.
    QList<QRgb> colours = DibPalette(dib, info);
    colours.resize(256, qRgb(0, 0, 0));
    image.setColorTable(colours);

    const bool fourBits = info.compression == BiRle4;
    const auto* in = reinterpret_cast<const uchar*>(dib.constData());
    qsizetype at = info.pixelOffset;
    const qsizetype end = dib.size();
    int64_t x = 0;
    int64_t row = 0;  // counted from the bottom
    auto put = [&](uchar index) {
        if (x < info.width && row < info.height)
            image.scanLine(int(info.height - 1 - row))[x] = index;
        ++x;
    };
    // A stream that ends early, or moves past the picture, leaves the rest at colour 0.
    while (at + 2 <= end && row < info.height) {
        const int count = in[at];
        const uchar value = in[at + 1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count && x < info.width; ++i)
                put(fourBits ? uchar(i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++row;
        } else if (value == 1) {  // end of picture
            break;
        } else if (value == 2) {  // move right and up
            if (at + 2 > end)
                break;
            x += in[at];
            row += in[at + 1];
            at += 2;
        } else {  // `value` pixels stored as they are, padded to a whole 16-bit word
            const qsizetype bytes = fourBits ? (value + 1) / 2 : value;
            if (at + bytes > end)
                break;
            for (int i = 0; i < value; ++i)
                put(fourBits ? uchar(i % 2 == 0 ? in[at + i / 2] >> 4 : in[at + i / 2] & 0x0F) : in[at + i]);
            at += bytes + (bytes & 1);
        }
    }
    return image;
}

QImage DibToImage(const QByteArray& dib, const CTXDibInfo& info)
{
    // Run-length rows are expanded here: the stream is checked against the bytes and the picture
    // at every step, which the platform's reader does not do for damaged streams.
    if (info.compression == BiRle8 || info.compression == BiRle4)
        return DecodeRleDib(dib, info);
    // The BMP reader wants the file form: put the 14-byte file header back in front.
    QByteArray file(kFileHeader, '\0');
    file[0] = 'B';
    file[1] = 'M';
    PutI32(file.data() + 2, int32_t(kFileHeader + dib.size()));
    PutI32(file.data() + 10, int32_t(kFileHeader + info.pixelOffset));
    file.append(dib);
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    QImage image;
    if (!reader.read(&image))
        return {};
    const int rows = info.height < 0 ? -info.height : info.height;
    if (image.width() != info.width || image.height() != rows)
        return {};
    return image;
}

CTXDibBuilder::CTXDibBuilder(int32_t width, int32_t height, int32_t bitCount, int32_t ppmX, int32_t ppmY,
                             const QList<QRgb>& colours)
    : m_stride(DibStride(width, bitCount)), m_height(height)
{
    m_pixelOffset = kInfoHeader + colours.size() * 4;
    const qsizetype imageBytes = m_stride * height;
    m_dib = QByteArray(m_pixelOffset + imageBytes, '\0');
    char* h = m_dib.data();
    PutI32(h, kInfoHeader);
    PutI32(h + 4, width);
    PutI32(h + 8, height);
    PutU16(h + 12, 1);
    PutU16(h + 14, uint16_t(bitCount));
    PutI32(h + 16, BiRgb);
    PutI32(h + 20, int32_t(imageBytes));
    PutI32(h + 24, ppmX);
    PutI32(h + 28, ppmY);
    // Colours used stays 0 when the table is the full one for the depth.
    const bool fullTable = bitCount <= 8 && colours.size() == (1 << bitCount);
    PutI32(h + 32, fullTable ? 0 : int32_t(colours.size()));
    uchar* entry = reinterpret_cast<uchar*>(h + kInfoHeader);
    for (QRgb c : colours) {
        entry[0] = uchar(qBlue(c));
        entry[1] = uchar(qGreen(c));
        entry[2] = uchar(qRed(c));
        entry += 4;
    }
}

uchar* CTXDibBuilder::Row(int32_t y)
{
    return reinterpret_cast<uchar*>(m_dib.data()) + m_pixelOffset + m_stride * (m_height - 1 - y);
}
