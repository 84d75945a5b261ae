#include "image/TXImage.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstring>
#include <mutex>

#include "image/TXDib.h"
#include "image/SvgCoordinateClamp.h"
#include "image/TXImageDecoders.h"
#include "util/Archive.h"

namespace {

constexpr qsizetype kBitmapFileHeader = 14;

}  // namespace

// Built once, then only read. The renderer is the one member that changes while drawing.
struct CTXDecodedPicture {
    CTXPictureInfo info;
    QByteArray dib;
    QImage image;
    QList<QRgb> palette;
    QByteArray svg;
    mutable std::mutex svgLock;
    std::unique_ptr<QSvgRenderer> renderer;
};

namespace {

std::shared_ptr<const CTXDecodedPicture> DecodeBitmap(const QByteArray& dib)
{
    CTXDibInfo d;
    if (!ParseDib(dib, &d))
        return nullptr;
    QImage image = DibToImage(dib, d);
    if (image.isNull())
        return nullptr;
    auto p = std::make_shared<CTXDecodedPicture>();
    p->dib = dib;
    p->image = std::move(image);
    p->palette = DibPalette(dib, d);
    p->info.decoded = true;
    p->info.width = d.width;
    p->info.height = d.height < 0 ? -d.height : d.height;
    p->info.bitsPerPixel = d.bitCount;
    p->info.paletteSize = int32_t(p->palette.size());
    p->info.ppmX = d.ppmX;
    p->info.ppmY = d.ppmY;
    return p;
}

std::shared_ptr<const CTXDecodedPicture> DecodeMetafile(const QByteArray& file)
{
    QByteArray svg;
    CTXMetafileFacts facts;
    if (!ConvertMetafileToSvg(file, &svg, &facts))
        return nullptr;
    svg = ClampSvgCoordinates(svg);
    auto renderer = std::make_unique<QSvgRenderer>(svg);
    if (!renderer->isValid())
        return nullptr;
    auto p = std::make_shared<CTXDecodedPicture>();
    p->svg = svg;
    p->palette = facts.palette;
    p->info.decoded = true;
    p->info.enhanced = facts.enhanced;
    p->info.frame = facts.frame;
    p->info.bounds = facts.bounds;
    p->info.unitsPerInch = facts.unitsPerInch;
    p->info.paletteSize = int32_t(facts.palette.size());
    p->info.drawingSize = renderer->viewBoxF().size();
    p->renderer = std::move(renderer);
    return p;
}

std::shared_ptr<const CTXDecodedPicture> Decode(int32_t kind, const QByteArray& data)
{
    QByteArray dib;
    switch (kind) {
    case CTXImage::Metafile:
        return DecodeMetafile(data);
    case CTXImage::Bitmap:
        return DecodeBitmap(data);
    case CTXImage::Tiff:
        return DecodeTiffToDib(data, &dib) ? DecodeBitmap(dib) : nullptr;
    case CTXImage::Jpeg:
        return DecodeJpegToDib(data, &dib) ? DecodeBitmap(dib) : nullptr;
    default:
        return nullptr;
    }
}

// The bytes a picture of `kind` keeps from its file, or an empty array when the file is not of
// that kind.
QByteArray StoredBytes(const QByteArray& file, int32_t kind)
{
    if (kind != CTXImage::Bitmap)
        return file;
    if (file.size() < kBitmapFileHeader || file[0] != 'B' || file[1] != 'M')
        return {};
    QByteArray dib = file.mid(kBitmapFileHeader);
    // Most files put the rows right after the colour table; one that leaves a gap gets it closed,
    // since the packed form has no offset of its own.
    CTXDibInfo d;
    int32_t offBits;
    std::memcpy(&offBits, file.constData() + 10, 4);
    offBits = qFromLittleEndian(offBits);
    if (ParseDib(dib, &d) && offBits - kBitmapFileHeader > d.pixelOffset && offBits < file.size())
        dib = dib.left(d.pixelOffset) + file.mid(offBits);
    return dib;
}

}  // namespace

CTXImage::CTXImage() = default;
CTXImage::~CTXImage() = default;
CTXImage::CTXImage(const CTXImage& other) = default;
CTXImage& CTXImage::operator=(const CTXImage& other) = default;

bool CTXImage::Import(const QString& path, int32_t kind)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxPictureFileBytes)
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    return ImportFileBytes(bytes, kind, path);
}

bool CTXImage::ImportFileBytes(const QByteArray& file, int32_t kind, const QString& path)
{
    if (kind < Metafile || kind > Jpeg || file.isEmpty())
        return false;
    const QByteArray stored = StoredBytes(file, kind);
    if (stored.isEmpty())
        return false;
    std::shared_ptr<const CTXDecodedPicture> decoded = Decode(kind, stored);
    if (!decoded)
        return false;
    m_kind = kind;
    m_data = stored;
    m_sourcePath = path;
    m_decoded = std::move(decoded);
    return true;
}

void CTXImage::DrawInto(QPainter& painter, const QRectF& target) const
{
    const std::shared_ptr<const CTXDecodedPicture> d = m_decoded;
    const QRectF r = target.normalized();
    if (!d || r.isEmpty())
        return;
    painter.save();
    // A y axis that points up on the device would turn the picture upside down.
    if (painter.combinedTransform().m22() < 0) {
        painter.translate(0, r.top() + r.bottom());
        painter.scale(1, -1);
    }
    if (d->renderer) {
        std::lock_guard<std::mutex> lock(d->svgLock);
        d->renderer->render(&painter, r);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(r, d->image);
    }
    painter.restore();
}

CTXPictureInfo CTXImage::DecodedInfo() const
{
    return m_decoded ? m_decoded->info : CTXPictureInfo{};
}

QImage CTXImage::DecodedBitmap() const
{
    return m_decoded ? m_decoded->image : QImage();
}

QByteArray CTXImage::DecodedDib() const
{
    return m_decoded ? m_decoded->dib : QByteArray();
}

QList<QRgb> CTXImage::Palette() const
{
    return m_decoded ? m_decoded->palette : QList<QRgb>();
}

QByteArray CTXImage::DecodedSvg() const
{
    return m_decoded ? m_decoded->svg : QByteArray();
}

void CTXImage::Clear()
{
    m_kind = None;
    m_data.clear();
    m_decoded.reset();
}

void CTXImage::RebuildDecodedForms()
{
    m_decoded = HasPicture() ? Decode(m_kind, m_data) : nullptr;
}

void CTXImage::Serialize(CTXArchive& ar, bool withVersion)
{
    if (withVersion) {
        int32_t version = 0;
        ar.Int32(version);
        if (ar.IsLoading() && version != 0)
            CTXArchive::FailFormat("unknown picture version");
    }
    int32_t kind = m_kind;
    int32_t length = int32_t(m_data.size());
    ar.Int32(kind);
    ar.Count(length, 1);
    if (ar.IsStoring()) {
        if (length > 0) {
            ar.Bytes(const_cast<char*>(m_data.constData()), length);  // no detach: copies share the bytes
            ar.String(m_sourcePath);
        }
        return;
    }
    QByteArray bytes(length, Qt::Uninitialized);
    QString path = m_sourcePath;
    if (length > 0) {
        ar.Bytes(bytes.data(), length);
        ar.String(path);
    }
    Clear();
    m_kind = length > 0 ? kind : None;
    m_data = bytes;
    m_sourcePath = path;
    RebuildDecodedForms();
}
