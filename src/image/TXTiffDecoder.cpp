// TIFF through libtiff's client callbacks on the bytes in memory. libtiff's RGBA interface
// turns every photometric interpretation it knows (grey of any depth, RGB, palette, CMYK,
// YCbCr, with any compression it was built with) into 8-bit RGB; the rows are read in bands
// so that only one band of RGBA pixels exists next to the bitmap.

#include <QtEndian>

#include <tiffio.h>

#include <cstring>
#include <vector>

#include "image/TXDib.h"
#include "image/TXImageDecoders.h"

namespace {

struct MemoryTiff {
    const char* data;
    toff_t size;
    toff_t pos;
};

tmsize_t ReadProc(thandle_t h, void* buf, tmsize_t n)
{
    auto* m = static_cast<MemoryTiff*>(h);
    if (n <= 0 || m->pos >= m->size)
        return 0;
    const toff_t count = std::min<toff_t>(toff_t(n), m->size - m->pos);
    std::memcpy(buf, m->data + m->pos, size_t(count));
    m->pos += count;
    return tmsize_t(count);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t)
{
    return -1;
}

toff_t SeekProc(thandle_t h, toff_t off, int whence)
{
    auto* m = static_cast<MemoryTiff*>(h);
    toff_t base = 0;
    if (whence == SEEK_CUR)
        base = m->pos;
    else if (whence == SEEK_END)
        base = m->size;
    else if (whence != SEEK_SET)
        return toff_t(-1);
    // Offsets are unsigned; a wrap-around means a negative result.
    const toff_t target = base + off;
    if (whence != SEEK_SET && int64_t(off) < 0 && target > base)
        return toff_t(-1);
    m->pos = target;
    return m->pos;
}

int CloseProc(thandle_t)
{
    return 0;
}

toff_t SizeProc(thandle_t h)
{
    return static_cast<MemoryTiff*>(h)->size;
}

int MapProc(thandle_t, void**, toff_t*)
{
    return 0;  // no mapping: every read goes through ReadProc and its bounds
}

void UnmapProc(thandle_t, void*, toff_t) {}

int Silent(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;  // handled: nothing reaches the process-wide handlers or the terminal
}

struct TiffHandle {
    TIFF* tif = nullptr;
    ~TiffHandle()
    {
        if (tif)
            TIFFClose(tif);
    }
};

int32_t PixelsPerMetre(uint16_t unit, float resolution)
{
    double v = 0.0;
    switch (unit) {
    case RESUNIT_NONE:
        return 2835;
    case RESUNIT_INCH:
        v = double(resolution) * 39.37008;
        break;
    case RESUNIT_CENTIMETER:
        v = double(resolution) * 100.0;
        break;
    default:
        return 0;
    }
    if (!(v > 0.0) || v > double(INT32_MAX))
        return 0;
    return int32_t(v);
}

uint32_t Read32(const uchar* p, bool big)
{
    return big ? qFromBigEndian<uint32_t>(p) : qFromLittleEndian<uint32_t>(p);
}

uint16_t Read16(const uchar* p, bool big)
{
    return big ? qFromBigEndian<uint16_t>(p) : qFromLittleEndian<uint16_t>(p);
}

// libtiff skips a tag whose values lie beyond the end of the file with a warning; a file cut
// short there is still a damaged file. Every value of the first directory, and the link to the
// next one, must be inside the bytes (classic TIFF; BigTIFF is left to libtiff).
bool FirstDirectoryInFile(const QByteArray& file)
{
    const auto* p = reinterpret_cast<const uchar*>(file.constData());
    const uint64_t size = uint64_t(file.size());
    if (size < 8)
        return false;
    const bool big = p[0] == 'M';
    if (Read16(p + 2, big) != 42)
        return true;
    const uint64_t ifd = Read32(p + 4, big);
    if (ifd + 2 > size)
        return false;
    const uint64_t entries = Read16(p + ifd, big);
    if (ifd + 2 + entries * 12 + 4 > size)
        return false;
    static const uint8_t kTypeSize[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    for (uint64_t i = 0; i < entries; ++i) {
        const uchar* e = p + ifd + 2 + i * 12;
        const uint16_t type = Read16(e + 2, big);
        if (type >= sizeof kTypeSize || kTypeSize[type] == 0)
            continue;
        const uint64_t bytes = uint64_t(Read32(e + 4, big)) * kTypeSize[type];
        if (bytes > 4 && uint64_t(Read32(e + 8, big)) + bytes > size)
            return false;
    }
    return true;
}

}  // namespace

bool DecodeTiffToDib(const QByteArray& file, QByteArray* dib)
{
    if (!FirstDirectoryInFile(file))
        return false;
    MemoryTiff mem{file.constData(), toff_t(file.size()), 0};
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return false;
    TIFFOpenOptionsSetErrorHandlerExtR(options, Silent, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, Silent, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(256) << 20);
    TiffHandle h;
    h.tif = TIFFClientOpenExt("TIFFName", "rm", &mem, ReadProc, WriteProc, SeekProc, CloseProc,
                              SizeProc, MapProc, UnmapProc, options);
    TIFFOpenOptionsFree(options);
    if (!h.tif)
        return false;
    TIFF* tif = h.tif;

    uint32_t width = 0, length = 0, rowsPerStrip = 0;
    uint16_t bitsPerSample = 1, photometric = 0;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &length))
        return false;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric))
        return false;
    if (!PictureSizeAllowed(width, length))
        return false;
    if (photometric == PHOTOMETRIC_MASK)
        return false;
    const bool grey = photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK;
    const int depth = grey && bitsPerSample != 4 && bitsPerSample != 8 ? 1 : 24;

    char message[1024];
    if (!TIFFRGBAImageOK(tif, message))
        return false;

    uint16_t unit = RESUNIT_INCH;
    float xres = 0.0f, yres = 0.0f;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    const bool hasX = TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres);
    const bool hasY = TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres);
    const int32_t ppmX = hasX || unit == RESUNIT_NONE ? PixelsPerMetre(unit, xres) : 0;
    const int32_t ppmY = hasY || unit == RESUNIT_NONE ? PixelsPerMetre(unit, yres) : 0;

    TIFFRGBAImage img;
    if (!TIFFRGBAImageBegin(&img, tif, 1, message))
        return false;
    img.req_orientation = ORIENTATION_TOPLEFT;

    const QList<QRgb> bilevel{qRgb(0, 0, 0), qRgb(255, 255, 255)};
    CTXDibBuilder builder(int32_t(width), int32_t(length), depth, ppmX, ppmY,
                          depth == 1 ? bilevel : QList<QRgb>{});
    // Bands of whole strips, but never more than 64 MB of RGBA at once.
    uint32_t band = rowsPerStrip == 0 || rowsPerStrip > length ? length : rowsPerStrip;
    const uint32_t maxBand = uint32_t(std::max<uint64_t>(1, (uint64_t(64) << 20) / (uint64_t(width) * 4)));
    band = std::clamp<uint32_t>(band, 1, maxBand);
    std::vector<uint32_t> raster(size_t(width) * band);
    bool ok = true;
    for (uint32_t y = 0; y < length && ok; y += band) {
        const uint32_t rows = std::min(band, length - y);
        img.row_offset = int(y);
        img.col_offset = 0;
        ok = TIFFRGBAImageGet(&img, raster.data(), width, rows) != 0;
        for (uint32_t r = 0; r < rows && ok; ++r) {
            const uint32_t* src = raster.data() + size_t(r) * width;
            uchar* dst = builder.Row(int32_t(y + r));
            if (depth == 24) {
                for (uint32_t x = 0; x < width; ++x, dst += 3) {
                    dst[0] = uchar(TIFFGetB(src[x]));
                    dst[1] = uchar(TIFFGetG(src[x]));
                    dst[2] = uchar(TIFFGetR(src[x]));
                }
            } else {
                for (uint32_t x = 0; x < width; ++x) {
                    const uint32_t p = src[x];
                    const uint32_t luma = (TIFFGetR(p) * 299 + TIFFGetG(p) * 587 + TIFFGetB(p) * 114) / 1000;
                    if (luma >= 128)
                        dst[x >> 3] |= uchar(0x80 >> (x & 7));
                }
            }
        }
    }
    TIFFRGBAImageEnd(&img);
    if (!ok)
        return false;
    *dib = builder.Take();
    return true;
}
