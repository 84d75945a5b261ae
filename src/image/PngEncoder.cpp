#include "image/PngEncoder.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

#include <zlib.h>

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

void PutBigEndian(QByteArray& out, uint32_t v)
{
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(bytes, 4);
}

// A chunk: length, type, data, and the CRC of type and data.
void PutChunk(QByteArray& out, const char type[4], const unsigned char* data, size_t size)
{
    PutBigEndian(out, uint32_t(size));
    const qsizetype typeAt = out.size();
    out.append(type, 4);
    if (size > 0)
        out.append(reinterpret_cast<const char*>(data), qsizetype(size));
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.constData() + typeAt), uInt(size + 4));
    PutBigEndian(out, uint32_t(crc));
}

void PutHeader(QByteArray& out, const QImage& image)
{
    out.append(reinterpret_cast<const char*>(kSignature), sizeof kSignature);
    QByteArray header;
    PutBigEndian(header, uint32_t(image.width()));
    PutBigEndian(header, uint32_t(image.height()));
    const char rest[5] = {8, 2, 0, 0, 0};  // 8 bits per sample, RGB, deflate, no filter method, no interlace
    header.append(rest, 5);
    PutChunk(out, "IHDR", reinterpret_cast<const unsigned char*>(header.constData()), size_t(header.size()));
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        QByteArray density;
        PutBigEndian(density, uint32_t(image.dotsPerMeterX()));
        PutBigEndian(density, uint32_t(image.dotsPerMeterY()));
        density.append(char(1));  // the unit is the metre
        PutChunk(out, "pHYs", reinterpret_cast<const unsigned char*>(density.constData()), size_t(density.size()));
    }
}

// The rows as PNG scanlines (filter byte 0, then R, G, B per pixel) deflated into `idat`.
bool DeflateRows(const QImage& image, std::vector<unsigned char>& idat)
{
    const int width = image.width();
    const size_t rowBytes = 1 + 3 * size_t(width);
    z_stream zs{};
    if (deflateInit2(&zs, Z_BEST_SPEED, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    idat.resize(deflateBound(&zs, uLong(rowBytes * size_t(image.height()))));
    zs.next_out = idat.data();
    zs.avail_out = uInt(idat.size());
    std::vector<unsigned char> row(rowBytes);
    bool ok = true;
    for (int y = 0; y < image.height() && ok; ++y) {
        const QRgb* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        unsigned char* p = row.data();
        *p++ = 0;  // no filter
        for (int x = 0; x < width; ++x) {
            const QRgb v = pixels[x];
            p[0] = uchar(qRed(v));
            p[1] = uchar(qGreen(v));
            p[2] = uchar(qBlue(v));
            p += 3;
        }
        zs.next_in = row.data();
        zs.avail_in = uInt(rowBytes);
        ok = deflate(&zs, Z_NO_FLUSH) == Z_OK && zs.avail_in == 0;
    }
    ok = ok && deflate(&zs, Z_FINISH) == Z_STREAM_END;
    idat.resize(zs.total_out);
    deflateEnd(&zs);
    return ok;
}

QByteArray EncodeWithAlpha(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

}  // namespace

QByteArray EncodePng(const QImage& image)
{
    if (image.isNull())
        return {};
    if (image.hasAlphaChannel())
        return EncodeWithAlpha(image);
    try {
        const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
        if (rgb.isNull())
            return {};
        std::vector<unsigned char> idat;
        if (!DeflateRows(rgb, idat))
            return {};
        QByteArray out;
        out.reserve(qsizetype(idat.size()) + 128);
        PutHeader(out, rgb);
        PutChunk(out, "IDAT", idat.data(), idat.size());
        PutChunk(out, "IEND", nullptr, 0);
        return out;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool WritePngFile(const QImage& image, const QString& path)
{
    const QByteArray png = EncodePng(image);
    if (png.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(png) == png.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}
