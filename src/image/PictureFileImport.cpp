#include "image/PictureFileImport.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <vector>

#include "image/ImageImportOptions.h"
#include "image/ImageStrings.h"
#include "image/TXImageDecoders.h"
#include "util/StringTable.h"

namespace {

uint32_t LeU32At(const QByteArray& b, qsizetype at)
{
    uint32_t v = 0;
    std::memcpy(&v, b.constData() + at, 4);
    return qFromLittleEndian(v);
}

uint16_t LeU16At(const QByteArray& b, qsizetype at)
{
    uint16_t v = 0;
    std::memcpy(&v, b.constData() + at, 2);
    return qFromLittleEndian(v);
}

// "Win Metafiles (*.wmf,*.emf) " -> "Win Metafiles".
QString FilterTitle(int32_t kind)
{
    const QString text = ImageFilterText(kind);
    const qsizetype paren = text.indexOf(QLatin1Char('('));
    return (paren < 0 ? text : text.left(paren)).trimmed();
}

}  // namespace

int32_t PictureKindOfContent(const QByteArray& bytes)
{
    if (bytes.startsWith("BM"))
        return CTXImage::Bitmap;
    if (bytes.startsWith("II*\0") || bytes.startsWith(QByteArray("MM\0*", 4)))
        return CTXImage::Tiff;
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return CTXImage::Jpeg;
    if (IsEnhancedMetafile(bytes))
        return CTXImage::Metafile;
    constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
    if (bytes.size() >= 4 && LeU32At(bytes, 0) == kPlaceableKey)
        return CTXImage::Metafile;
    // A plain Windows metafile: type 1 (memory) or 2 (disk), a 9-word header, version 1 or 3.
    if (bytes.size() >= 18) {
        const uint16_t type = LeU16At(bytes, 0);
        const uint16_t version = LeU16At(bytes, 4);
        if ((type == 1 || type == 2) && LeU16At(bytes, 2) == 9 && (version == 0x0100 || version == 0x0300))
            return CTXImage::Metafile;
    }
    return 0;
}

PictureImport ImportPictureFile(const QString& path, int32_t filterKind)
{
    PictureImport result;
    std::vector<int32_t> order;
    auto plan = [&order](int32_t kind) {
        if (kind >= CTXImage::Metafile && kind <= CTXImage::Jpeg && std::find(order.begin(), order.end(), kind) == order.end())
            order.push_back(kind);
    };
    plan(filterKind);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        plan(PictureKindOfContent(file.read(64)));
    file.close();
    for (int32_t kind = CTXImage::Metafile; kind <= CTXImage::Jpeg; ++kind)
        plan(kind);
    for (int32_t kind : order) {
        result.formatsTried << FilterTitle(kind);
        if (result.picture.Import(path, kind)) {
            result.imported = true;
            return result;
        }
    }
    result.picture = CTXImage();
    result.warning = TxString(IDS_IMAGE_NOT_A_PICTURE)
                         .arg(QFileInfo(path).fileName(), result.formatsTried.join(QStringLiteral(", ")));
    return result;
}
