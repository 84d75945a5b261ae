#pragma once
// Packed device-independent bitmaps: an info header (12-byte core header, or 40 bytes and the
// longer versions that extend it), an optional colour table, and the rows, bottom-up unless
// the height is negative, each padded to a multiple of 4 bytes.
//
// ParseDib validates a packed DIB completely before anything is allocated from its fields:
// the header size, planes, depth and compression must be ones the format defines, the sides
// must stay within the picture limits, and the colour table and the pixel rows must lie inside
// the bytes. CTXDibBuilder writes the 40-byte form that the TIFF and JPEG decoders produce.

#include <QByteArray>
#include <QImage>
#include <QList>

#include <cstdint>

// Pictures above these sizes are refused before any pixel memory is allocated.
constexpr int64_t kMaxPictureSide = 65535;
constexpr int64_t kMaxPicturePixels = 40'000'000;

bool PictureSizeAllowed(int64_t width, int64_t height);

struct CTXDibInfo {
    int32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;  // as stored: negative for top-down rows
    int32_t bitCount = 0;
    int32_t compression = 0;
    int32_t ppmX = 0;  // pixels per metre; 0 for the core header
    int32_t ppmY = 0;
    int32_t paletteEntries = 0;
    int32_t paletteEntrySize = 4;  // 3 for the core header
    qsizetype paletteOffset = 0;
    qsizetype pixelOffset = 0;  // from the start of the packed DIB
};

// Reads and checks the header; false for anything that is not a complete, decodable DIB.
bool ParseDib(const QByteArray& dib, CTXDibInfo* info);
// The colour table as 0xAARRGGBB values (alpha 0xFF).
QList<QRgb> DibPalette(const QByteArray& dib, const CTXDibInfo& info);
// The picture as an image; null when the rows cannot be decoded.
QImage DibToImage(const QByteArray& dib, const CTXDibInfo& info);
// Bytes of one row of `width` pixels at `bitCount`, padded to 4.
qsizetype DibStride(int64_t width, int bitCount);

class CTXDibBuilder {
public:
    // A bottom-up DIB with a 40-byte header and `colours` as its colour table; all rows zero.
    CTXDibBuilder(int32_t width, int32_t height, int32_t bitCount, int32_t ppmX, int32_t ppmY,
                  const QList<QRgb>& colours = {});
    // Row `y` counted from the top of the picture.
    uchar* Row(int32_t y);
    QByteArray Take() { return std::move(m_dib); }

private:
    QByteArray m_dib;
    qsizetype m_pixelOffset = 0;
    qsizetype m_stride = 0;
    int32_t m_height = 0;
};
