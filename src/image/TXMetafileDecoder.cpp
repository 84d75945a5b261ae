// Metafiles become SVG: enhanced metafiles through libemf2svg, Windows metafiles through
// libwmf's SVG device. Neither library is trusted with a broken record structure: the records
// are walked first, and a file whose records run past its end or that has no end record is
// refused before a converter sees it.

#include <QColor>
#include <QRegularExpression>
#include <QtEndian>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/TXImageDecoders.h"

// After Qt: libwmf's headers define short macro names (U16, U32) that clash with Qt's.
#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace {

constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr qsizetype kPlaceableHeader = 22;
constexpr uint32_t kEmrHeader = 1;
constexpr uint32_t kEmrEof = 14;
constexpr uint32_t kEmrComment = 70;
constexpr qsizetype kEmfMinHeader = 88;
constexpr qsizetype kWmfHeader = 18;

uint16_t LeU16(const char* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return qFromLittleEndian(v);
}

int16_t LeI16(const char* p)
{
    return int16_t(LeU16(p));
}

uint32_t LeU32(const char* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return qFromLittleEndian(v);
}

int32_t LeI32(const char* p)
{
    return int32_t(LeU32(p));
}

QRectF RectL(const char* p)
{
    const double l = LeI32(p), t = LeI32(p + 4), r = LeI32(p + 8), b = LeI32(p + 12);
    return QRectF(QPointF(l, t), QPointF(r, b));
}

// The EMF+ records a comment record carries must tile its data exactly: the converter reads each
// record header and payload where the sizes say, without checking them against the comment.
bool EmfPlusCommentIntact(const char* record, uint32_t length)
{
    constexpr uint32_t kEmfPlusIdentifier = 0x2B464D45;  // "EMF+"
    constexpr uint32_t kCommentHead = 12;                // type, size, data size
    constexpr uint32_t kPlusRecordHead = 12;             // type, flags, size, data size
    if (length < kCommentHead + 4 || LeU32(record + kCommentHead) != kEmfPlusIdentifier)
        return true;  // not an EMF+ comment: the converter skips its data
    const uint32_t dataSize = LeU32(record + 8);
    if (dataSize < 4 || uint64_t(dataSize) + kCommentHead > length)
        return false;
    const char* p = record + kCommentHead + 4;
    uint32_t left = dataSize - 4;
    while (left > 0) {
        if (left < kPlusRecordHead)
            return false;
        const uint32_t size = LeU32(p + 4);
        const uint32_t payload = LeU32(p + 8);
        if (size < kPlusRecordHead || size % 4 != 0 || size > left || payload > size - kPlusRecordHead)
            return false;
        p += size;
        left -= size;
    }
    return true;
}

// Walks the records of an enhanced metafile; fills the facts on success.
bool CheckEnhanced(const QByteArray& file, CTXMetafileFacts* facts)
{
    const char* p = file.constData();
    const qsizetype size = file.size();
    if (size < kEmfMinHeader || LeU32(p) != kEmrHeader || LeU32(p + 40) != kEmfSignature)
        return false;
    const uint32_t headerSize = LeU32(p + 4);
    if (headerSize < kEmfMinHeader || headerSize > uint64_t(size))
        return false;
    facts->enhanced = true;
    facts->bounds = RectL(p + 8);
    facts->frame = RectL(p + 24);
    qsizetype off = 0;
    while (off + 8 <= size) {
        const uint32_t type = LeU32(p + off);
        const uint32_t length = LeU32(p + off + 4);
        if (length < 8 || length % 4 != 0 || length > uint64_t(size - off))
            return false;
        if (type == kEmrComment && !EmfPlusCommentIntact(p + off, length))
            return false;
        if (type == kEmrEof) {
            if (length >= 20) {
                const uint32_t entries = LeU32(p + off + 8);
                const uint32_t at = LeU32(p + off + 12);
                if (entries > 0 && entries <= 1024 && uint64_t(at) + uint64_t(entries) * 4 <= length) {
                    const uchar* e = reinterpret_cast<const uchar*>(p + off + at);
                    for (uint32_t i = 0; i < entries; ++i, e += 4)
                        facts->palette.append(qRgb(e[0], e[1], e[2]));
                }
            }
            return true;
        }
        off += length;
    }
    return false;
}

// Walks the records of a Windows metafile (placeable header already removed).
bool CheckWindows(const QByteArray& wmf)
{
    const char* p = wmf.constData();
    const qsizetype size = wmf.size();
    if (size < kWmfHeader)
        return false;
    const uint16_t type = LeU16(p);
    const uint16_t headerWords = LeU16(p + 2);
    const uint16_t version = LeU16(p + 4);
    const uint32_t maxRecordWords = LeU32(p + 12);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300))
        return false;
    if (maxRecordWords < 3 || uint64_t(maxRecordWords) * 2 > uint64_t(size))
        return false;
    qsizetype off = kWmfHeader;
    while (off + 6 <= size) {
        const uint32_t words = LeU32(p + off);
        const uint16_t function = LeU16(p + off + 4);
        if (words < 3 || words > maxRecordWords || uint64_t(words) * 2 > uint64_t(size - off))
            return false;
        if (function == 0)  // META_EOF
            return true;
        off += qsizetype(words) * 2;
    }
    return false;
}

// A COLORREF (red in the low byte) at `p`.
QRgb ColorRef(const char* p)
{
    const uchar* c = reinterpret_cast<const uchar*>(p);
    return qRgb(c[0], c[1], c[2]);
}

// The SVG colour name libwmf writes for `colour`: the first of the named colours whose largest
// channel difference is smallest.
QString ClosestNamedColour(QRgb colour)
{
    static const QStringList names = [] {
        QStringList all = QColor::colorNames();
        all.removeAll(QStringLiteral("transparent"));
        all.sort();
        return all;
    }();
    QString best;
    int bestDistance = 256;
    for (const QString& name : names) {
        const QColor c = QColor::fromString(name);
        const int d = std::max({std::abs(c.red() - qRed(colour)), std::abs(c.green() - qGreen(colour)),
                                std::abs(c.blue() - qBlue(colour))});
        if (d < bestDistance) {
            best = name;
            bestDistance = d;
            if (d == 0)
                break;
        }
    }
    return best;
}

bool EnhancedToSvg(const QByteArray& file, QByteArray* svg)
{
    generatorOptions options{};
    char nameSpace[] = "";
    options.nameSpace = nameSpace;
    options.verbose = false;
    options.emfplus = false;
    options.svgDelimiter = true;
    QByteArray copy = file;  // the converter takes a writable buffer
    char* out = nullptr;
    size_t length = 0;
    const int ok = emf2svg(copy.data(), size_t(copy.size()), &out, &length, &options);
    if (ok != 1 || !out || length == 0) {
        std::free(out);
        return false;
    }
    *svg = QByteArray(out, qsizetype(length));
    std::free(out);
    return true;
}

struct WmfApi {
    wmfAPI* api = nullptr;
    ~WmfApi()
    {
        if (api)
            wmf_api_destroy(api);
    }
};

// libwmf measures text with the thirteen standard PostScript fonts and fails the whole picture
// when their files are missing. The Liberation fonts (metric-compatible with Times, Helvetica and
// Courier) stand in for them, so a metafile with text imports on any machine that has them and
// measures the same everywhere; DejaVu takes the symbol font's place.
struct FallbackFont {
    const char* postScriptName;
    const char* fileName;
};
constexpr FallbackFont kFallbackFonts[] = {
    {"Times-Roman", "LiberationSerif-Regular.ttf"},
    {"Times-Italic", "LiberationSerif-Italic.ttf"},
    {"Times-Bold", "LiberationSerif-Bold.ttf"},
    {"Times-BoldItalic", "LiberationSerif-BoldItalic.ttf"},
    {"Helvetica", "LiberationSans-Regular.ttf"},
    {"Helvetica-Oblique", "LiberationSans-Italic.ttf"},
    {"Helvetica-Bold", "LiberationSans-Bold.ttf"},
    {"Helvetica-BoldOblique", "LiberationSans-BoldItalic.ttf"},
    {"Courier", "LiberationMono-Regular.ttf"},
    {"Courier-Oblique", "LiberationMono-Italic.ttf"},
    {"Courier-Bold", "LiberationMono-Bold.ttf"},
    {"Courier-BoldOblique", "LiberationMono-BoldItalic.ttf"},
    {"Symbol", "DejaVuSans.ttf"},
};
constexpr const char* kFallbackFontDirs[] = {
    "/usr/share/fonts/truetype/liberation2",
    "/usr/share/fonts/truetype/liberation",
    "/usr/share/fonts/truetype/dejavu",
};

// The option tables libwmf reads while it is created; built once, never freed (libwmf copies
// the strings it keeps, but takes non-const pointers).
struct FallbackFontOptions {
    std::vector<char*> dirs;
    std::vector<wmfMapping> mappings;

    FallbackFontOptions()
    {
        for (const char* dir : kFallbackFontDirs)
            dirs.push_back(const_cast<char*>(dir));
        dirs.push_back(nullptr);
        for (const FallbackFont& f : kFallbackFonts)
            mappings.push_back(wmfMapping{const_cast<char*>(f.postScriptName),
                                          const_cast<char*>(f.fileName), FT_ENCODING_NONE});
        mappings.push_back(wmfMapping{nullptr, nullptr, FT_ENCODING_NONE});
    }
};

const FallbackFontOptions& FallbackFonts()
{
    static const FallbackFontOptions options;
    return options;
}

bool WindowsToSvg(QByteArray wmf, QByteArray* svg)
{
    wmfAPI_Options options;
    std::memset(&options, 0, sizeof options);
    options.function = wmf_svg_function;
    options.fontdirs = const_cast<char**>(FallbackFonts().dirs.data());
    options.font.ps = const_cast<wmfMapping*>(FallbackFonts().mappings.data());
    const unsigned long flags = WMF_OPT_IGNORE_NONFATAL | WMF_OPT_FUNCTION | WMF_OPT_NO_ERROR |
                                WMF_OPT_NO_DEBUG | WMF_OPT_FONTDIRS | WMF_OPT_FONTMAP;
    WmfApi w;
    if (wmf_api_create(&w.api, flags, &options) != wmf_E_None)
        return false;
    wmfAPI* api = w.api;
    if (wmf_mem_open(api, reinterpret_cast<unsigned char*>(wmf.data()), long(wmf.size())) != wmf_E_None)
        return false;
    wmfD_Rect bbox;
    if (wmf_scan(api, 0, &bbox) != wmf_E_None)
        return false;
    wmf_svg_t* device = WMF_SVG_GetData(api);
    device->out = wmf_stream_create(api, nullptr);
    if (!device->out)
        return false;
    char description[] = "Tessarix background picture";
    device->Description = description;
    device->bbox = bbox;
    unsigned int width = 0, height = 0;
    if (wmf_display_size(api, &width, &height, 72.0, 72.0) != wmf_E_None || width == 0 || height == 0)
        return false;
    device->width = width;
    device->height = height;
    const wmf_error_t played = wmf_play(api, 0, &bbox);
    char* text = nullptr;
    unsigned long length = 0;
    wmf_stream_destroy(api, device->out, &text, &length);
    device->out = nullptr;
    if (played != wmf_E_None || !text || length == 0) {
        if (text)
            wmf_free(api, text);
        return false;
    }
    *svg = WithExactColours(WithUnfilledOutlines(QByteArray(text, qsizetype(length))), WindowsMetafileColours(wmf));
    wmf_free(api, text);
    return true;
}

}  // namespace

WmfColours WindowsMetafileColours(const QByteArray& wmf)
{
    constexpr uint16_t kCreatePen = 0x02FA;
    constexpr uint16_t kCreateBrush = 0x02FC;
    constexpr uint16_t kSetTextColour = 0x0209;
    WmfColours colours;
    auto add = [](QList<QRgb>& list, QRgb c) {
        if (!list.contains(c))
            list.append(c);
    };
    if (!CheckWindows(wmf))
        return colours;
    const char* p = wmf.constData();
    for (qsizetype off = kWmfHeader; off + 6 <= wmf.size();) {
        const uint32_t words = LeU32(p + off);
        const uint16_t function = LeU16(p + off + 4);
        const qsizetype parameters = qsizetype(words) * 2 - 6;
        const char* at = p + off + 6;
        if (function == 0)
            break;
        if (function == kCreateBrush && parameters >= 6)
            add(colours.fills, ColorRef(at + 2));  // style, then the colour
        else if (function == kCreatePen && parameters >= 10)
            add(colours.strokes, ColorRef(at + 6));  // style, width as a point, then the colour
        else if (function == kSetTextColour && parameters >= 4)
            add(colours.texts, ColorRef(at));
        off += qsizetype(words) * 2;
    }
    return colours;
}

QByteArray WithExactColours(const QByteArray& svg, const WmfColours& colours)
{
    // libwmf's SVG device names every colour by the closest of the SVG colour names, which turns
    // a pale blue press into "lightsteelblue" and a red compressor into "tan". A name that only
    // one colour of its kind in the metafile comes to is that colour; a name shared by several
    // stays as it is.
    auto exact = [](const QList<QRgb>& candidates, const QString& name) -> QString {
        QString found;
        for (QRgb c : candidates) {
            if (ClosestNamedColour(c) != name)
                continue;
            if (!found.isEmpty())
                return {};
            found = QColor(c).name();
        }
        return found;
    };
    static const QRegularExpression element(QStringLiteral("<(\\w+)\\b[^>]*>"));
    static const QRegularExpression paint(QStringLiteral("(^|[;\\s\"])(fill|stroke)\\s*:\\s*([a-z]+)"));
    const QString text = QString::fromUtf8(svg);
    QString out;
    out.reserve(text.size());
    qsizetype done = 0;
    for (auto it = element.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch e = it.next();
        const bool isText = e.captured(1) == QLatin1String("text");
        const QString tag = e.captured(0);
        QString rewritten;
        qsizetype tagDone = 0;
        for (auto pit = paint.globalMatch(tag); pit.hasNext();) {
            const QRegularExpressionMatch m = pit.next();
            const QString name = m.captured(3);
            if (name == QLatin1String("none"))
                continue;
            const QList<QRgb>& candidates =
                m.captured(2) == QLatin1String("stroke") ? colours.strokes : isText ? colours.texts : colours.fills;
            const QString hex = exact(candidates, name);
            if (hex.isEmpty())
                continue;
            rewritten += QStringView(tag).mid(tagDone, m.capturedStart(3) - tagDone);
            rewritten += hex;
            tagDone = m.capturedEnd(3);
        }
        if (tagDone == 0)
            continue;
        rewritten += QStringView(tag).mid(tagDone);
        out += QStringView(text).mid(done, e.capturedStart(0) - done);
        out += rewritten;
        done = e.capturedEnd(0);
    }
    out += QStringView(text).mid(done);
    return out.toUtf8();
}

QByteArray WithUnfilledOutlines(const QByteArray& svg)
{
    // libwmf's SVG device states the fill of every filled shape but leaves it out for the
    // outlines of Polyline and Arc records, and SVG fills such an element black by default: each
    // shape outlined after its fill would come out as a black box over its colour.
    static const QRegularExpression element(QStringLiteral("<(polyline|path)\\b([^>]*)>"));
    static const QRegularExpression style(QStringLiteral("style\\s*=\\s*\"([^\"]*)\""));
    static const QRegularExpression fill(QStringLiteral("(^|[;\\s])fill\\s*:"));
    const QString text = QString::fromUtf8(svg);
    QString out;
    out.reserve(text.size() + text.size() / 16);
    qsizetype done = 0;
    for (auto it = element.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString attributes = m.captured(2);
        const QRegularExpressionMatch s = style.match(attributes);
        if (!s.hasMatch())
            attributes.prepend(QStringLiteral(" style=\"fill:none\""));
        else if (!fill.match(s.captured(1)).hasMatch())
            attributes.insert(s.capturedStart(1), QStringLiteral("fill:none; "));
        else
            continue;
        out += QStringView(text).mid(done, m.capturedStart(2) - done);
        out += attributes;
        done = m.capturedEnd(2);
    }
    out += QStringView(text).mid(done);
    return out.toUtf8();
}

bool IsEnhancedMetafile(const QByteArray& file)
{
    return file.size() >= 44 && LeU32(file.constData() + 40) == kEmfSignature;
}

bool ConvertMetafileToSvg(const QByteArray& file, QByteArray* svg, CTXMetafileFacts* facts)
{
    CTXMetafileFacts f;
    if (IsEnhancedMetafile(file)) {
        if (!CheckEnhanced(file, &f) || !EnhancedToSvg(file, svg))
            return false;
        *facts = f;
        return true;
    }
    QByteArray wmf = file;
    if (file.size() >= kPlaceableHeader && LeU32(file.constData()) == kPlaceableKey) {
        const char* p = file.constData();
        f.bounds = QRectF(QPointF(LeI16(p + 6), LeI16(p + 8)), QPointF(LeI16(p + 10), LeI16(p + 12)));
        f.unitsPerInch = LeU16(p + 14);
        if (f.unitsPerInch > 0)
            f.frame = QRectF(f.bounds.topLeft() * 2540.0 / f.unitsPerInch,
                             f.bounds.bottomRight() * 2540.0 / f.unitsPerInch);
        wmf = file.mid(kPlaceableHeader);
    }
    if (!CheckWindows(wmf) || !WindowsToSvg(wmf, svg))
        return false;
    *facts = f;
    return true;
}
