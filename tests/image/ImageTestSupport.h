#pragma once
// Small picture files built byte by byte for the image tests, so that every header field a
// decoder reads can be set to the value a case needs.

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <QtEndian>

#include <vector>

namespace testpic {

inline void Put16(QByteArray& b, uint16_t v)
{
    v = qToLittleEndian(v);
    b.append(reinterpret_cast<const char*>(&v), 2);
}

inline void Put32(QByteArray& b, uint32_t v)
{
    v = qToLittleEndian(v);
    b.append(reinterpret_cast<const char*>(&v), 4);
}

struct TiffParams {
    uint32_t width = 8;
    uint32_t height = 4;
    uint16_t bitsPerSample = 8;
    uint16_t samplesPerPixel = 1;
    uint16_t photometric = 1;
    bool withResolution = true;
    uint16_t resolutionUnit = 2;
    uint32_t resolutionNum = 300;
    uint32_t resolutionDen = 1;
    // Pixel bytes; when empty, rows of a left-to-right ramp are generated.
    QByteArray pixels;
};

// A little-endian, uncompressed, single-strip TIFF.
inline QByteArray MakeTiff(const TiffParams& s)
{
    QByteArray pixels = s.pixels;
    if (pixels.isEmpty()) {
        const qsizetype rowBytes = (qsizetype(s.width) * s.bitsPerSample * s.samplesPerPixel + 7) / 8;
        const qsizetype total = rowBytes * s.height;
        if (total < (1 << 24)) {
            pixels.resize(total);
            for (qsizetype i = 0; i < total; ++i)
                pixels[i] = char((i % rowBytes) * 255 / std::max<qsizetype>(1, rowBytes - 1));
        }
    }
    struct Entry {
        uint16_t tag, type;
        uint32_t count, value;
    };
    std::vector<Entry> entries;
    const int entryCount = s.withResolution ? 13 : 11;
    const uint32_t ifd = 8;
    const uint32_t extra = ifd + 2 + entryCount * 12 + 4;  // rationals and the bits-per-sample list
    const uint32_t rational = extra;
    const uint32_t bpsList = extra + 16;
    const uint32_t data = bpsList + 8;
    entries.push_back({256, 4, 1, s.width});
    entries.push_back({257, 4, 1, s.height});
    entries.push_back({258, 3, s.samplesPerPixel, s.samplesPerPixel == 1 ? s.bitsPerSample : bpsList});
    entries.push_back({259, 3, 1, 1});
    entries.push_back({262, 3, 1, s.photometric});
    entries.push_back({273, 4, 1, data});
    entries.push_back({277, 3, 1, s.samplesPerPixel});
    entries.push_back({278, 4, 1, s.height});
    entries.push_back({279, 4, 1, uint32_t(pixels.size())});
    if (s.withResolution) {
        entries.push_back({282, 5, 1, rational});
        entries.push_back({283, 5, 1, rational + 8});
    }
    entries.push_back({284, 3, 1, 1});
    entries.push_back({296, 3, 1, s.resolutionUnit});

    QByteArray b("II*\0", 4);
    Put32(b, ifd);
    Put16(b, uint16_t(entries.size()));
    for (const Entry& e : entries) {
        Put16(b, e.tag);
        Put16(b, e.type);
        Put32(b, e.count);
        if (e.type == 3 && e.count == 1) {
            Put16(b, uint16_t(e.value));
            Put16(b, 0);
        } else {
            Put32(b, e.value);
        }
    }
    Put32(b, 0);
    for (int i = 0; i < 2; ++i) {
        Put32(b, s.resolutionNum);
        Put32(b, s.resolutionDen);
    }
    for (int i = 0; i < 4; ++i)
        Put16(b, s.bitsPerSample);
    b.append(pixels);
    return b;
}

// A BMP file of a small colour picture (Qt writes 24-bit BMP with a 40-byte header).
inline QByteArray MakeBmp(int width = 16, int height = 8)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / std::max(1, width - 1), y * 255 / std::max(1, height - 1), 64));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

inline QByteArray MakeJpeg(int width = 32, int height = 16)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(200, 30, 30));
    for (int x = 0; x < width / 2; ++x)
        for (int y = 0; y < height; ++y)
            image.setPixel(x, y, qRgb(20, 20, 220));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

inline QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline QString ShippedPicture(const char* name)
{
    return QStringLiteral(TESSARIX_SAMPLES_DIR "/pictures/") + QLatin1String(name);
}

}  // namespace testpic

namespace testpic {

// Sets the JFIF density fields of a JPEG (unit, then X and Y density, big-endian).
inline QByteArray WithJfifDensity(QByteArray jpeg, int unit, int density)
{
    const qsizetype at = jpeg.indexOf(QByteArray("JFIF\0", 5));
    if (at < 0)
        return {};
    jpeg[at + 7] = char(unit);
    jpeg[at + 8] = char(density >> 8);
    jpeg[at + 9] = char(density & 0xFF);
    jpeg[at + 10] = char(density >> 8);
    jpeg[at + 11] = char(density & 0xFF);
    return jpeg;
}

// Sets the sides in the frame header (SOF0..SOF2) of a JPEG.
inline QByteArray WithJpegSides(QByteArray jpeg, int width, int height)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const uchar m = uchar(jpeg[i + 1]);
        if (uchar(jpeg[i]) == 0xFF && (m == 0xC0 || m == 0xC1 || m == 0xC2)) {
            jpeg[i + 5] = char(height >> 8);
            jpeg[i + 6] = char(height & 0xFF);
            jpeg[i + 7] = char(width >> 8);
            jpeg[i + 8] = char(width & 0xFF);
            return jpeg;
        }
    }
    return {};
}

}  // namespace testpic
