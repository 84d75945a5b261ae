// JPEG through libjpeg on the bytes in memory. libjpeg ends the process on a fatal error
// unless its error manager returns control; ours jumps back here, and treats warnings (a
// premature end of the data, corrupt entropy data) as failures too, so that a damaged file is
// refused instead of being shown half grey.

#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <csetjmp>

#include <jpeglib.h>

#include <memory>
#include <vector>

#include "image/TXDib.h"
#include "image/TXImageDecoders.h"

namespace {

// A progressive file can declare any number of scans; real ones use a dozen.
constexpr int kMaxScans = 1000;

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)  // a warning: the data is damaged
        std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void OutputMessage(j_common_ptr) {}

void ProgressMonitor(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

int32_t PixelsPerMetre(int unit, int density)
{
    switch (unit) {
    case 1:
        return density * 5000 / 127;
    case 2:
        return density * 100;
    default:
        return 0;
    }
}

// Everything that must survive the longjmp lives outside the function that calls setjmp.
struct JpegState {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
    std::unique_ptr<CTXDibBuilder> builder;
    std::vector<JSAMPLE> cmykRow;
    QList<QRgb> colours;
};

bool Decode(JpegState& s, const QByteArray& file)
{
    jpeg_decompress_struct& cinfo = s.cinfo;
    if (setjmp(s.err.jump))
        return false;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(file.constData()), (unsigned long)file.size());
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    if (!PictureSizeAllowed(cinfo.image_width, cinfo.image_height))
        return false;
    int depth = 24;
    switch (cinfo.num_components) {
    case 1:
        cinfo.out_color_space = JCS_GRAYSCALE;
        depth = 8;
        break;
    case 3:
        cinfo.out_color_space = JCS_EXT_BGR;
        break;
    case 4:
        cinfo.out_color_space = JCS_CMYK;
        break;
    default:
        return false;
    }
    cinfo.mem->max_memory_to_use = 512L << 20;
    const int32_t ppmX = PixelsPerMetre(cinfo.density_unit, cinfo.X_density);
    const int32_t ppmY = PixelsPerMetre(cinfo.density_unit, cinfo.Y_density);
    if (!jpeg_start_decompress(&cinfo))
        return false;

    const int32_t width = int32_t(cinfo.output_width);
    const int32_t height = int32_t(cinfo.output_height);
    if (!PictureSizeAllowed(width, height))
        return false;
    QList<QRgb>& colours = s.colours;
    if (depth == 8) {
        if (cinfo.quantize_colors && cinfo.colormap && cinfo.actual_number_of_colors > 0) {
            for (int i = 0; i < cinfo.actual_number_of_colors && i < 256; ++i) {
                const int v = cinfo.colormap[0][i];
                colours.append(qRgb(v, v, v));
            }
        } else {
            for (int i = 0; i < 256; ++i)
                colours.append(qRgb(i, i, i));
        }
    }
    s.builder = std::make_unique<CTXDibBuilder>(width, height, depth, ppmX, ppmY, colours);
    const bool cmyk = cinfo.out_color_space == JCS_CMYK;
    if (cmyk)
        s.cmykRow.resize(size_t(width) * 4);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int32_t y = int32_t(cinfo.output_scanline);
        JSAMPROW row = cmyk ? s.cmykRow.data() : s.builder->Row(y);
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            return false;
        if (cmyk) {
            // Files with the Adobe marker store CMYK inverted: the values are already 255 - ink.
            const bool inverted = cinfo.saw_Adobe_marker;
            uchar* dst = s.builder->Row(y);
            for (int32_t x = 0; x < width; ++x, dst += 3) {
                const JSAMPLE* p = row + size_t(x) * 4;
                int c = p[0], m = p[1], yy = p[2], k = p[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    yy = 255 - yy;
                    k = 255 - k;
                }
                dst[0] = uchar(yy * k / 255);
                dst[1] = uchar(m * k / 255);
                dst[2] = uchar(c * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

}  // namespace

bool DecodeJpegToDib(const QByteArray& file, QByteArray* dib)
{
    if (file.size() < 4)
        return false;
    auto s = std::make_unique<JpegState>();
    s->cinfo.err = jpeg_std_error(&s->err.pub);
    s->err.pub.error_exit = ErrorExit;
    s->err.pub.emit_message = EmitMessage;
    s->err.pub.output_message = OutputMessage;
    if (setjmp(s->err.jump)) {
        jpeg_destroy_decompress(&s->cinfo);
        return false;
    }
    jpeg_create_decompress(&s->cinfo);
    s->progress.progress_monitor = ProgressMonitor;
    s->cinfo.progress = &s->progress;
    const bool ok = Decode(*s, file);
    jpeg_destroy_decompress(&s->cinfo);
    if (!ok)
        return false;
    *dib = s->builder->Take();
    return true;
}
