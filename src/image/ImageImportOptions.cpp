#include "image/ImageImportOptions.h"

#include <QFileInfo>

#include <cmath>

#include "util/KWProfileStore.h"
#include "util/StringTable.h"

namespace {

const QString kSection = QStringLiteral("DefaultDirectory");
const QString kFolderKey = QStringLiteral("ImportIMG");
const QString kFilterKey = QStringLiteral("ImportIMG_Filter");

constexpr int kFilterTitleBase = 61720;  // texts 61721..61724: the filter titles

const char* const kPatterns[kImageFilterCount] = {"*.wmf *.emf", "*.dib *.bmp", "*.tif", "*.jpg *.jpe"};
const char* const kKindNames[kImageFilterCount] = {"metafile", "bitmap", "tiff", "jpeg"};

}  // namespace

QString ImageFilterText(int32_t kind)
{
    if (kind < 1 || kind > kImageFilterCount)
        return {};
    return TxString(kFilterTitleBase + kind) + QLatin1Char('(') + QLatin1String(kPatterns[kind - 1]) +
           QLatin1Char(')');
}

QStringList ImageFilterTexts()
{
    QStringList filters;
    for (int kind = 1; kind <= kImageFilterCount; ++kind)
        filters << ImageFilterText(kind);
    return filters;
}

int32_t ImageKindOfFilterText(const QString& text)
{
    for (int kind = 1; kind <= kImageFilterCount; ++kind)
        if (text == ImageFilterText(kind))
            return kind;
    return 0;
}

int32_t ImageKindForFileName(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("wmf") || ext == QLatin1String("emf"))
        return 1;
    if (ext == QLatin1String("bmp") || ext == QLatin1String("dib"))
        return 2;
    if (ext == QLatin1String("tif") || ext == QLatin1String("tiff"))
        return 3;
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpe") || ext == QLatin1String("jpeg"))
        return 4;
    return 0;
}

int32_t ImageKindFromName(const QString& name)
{
    for (int kind = 1; kind <= kImageFilterCount; ++kind)
        if (name == QLatin1String(kKindNames[kind - 1]))
            return kind;
    return 0;
}

QString ImageKindName(int32_t kind)
{
    return kind >= 1 && kind <= kImageFilterCount ? QLatin1String(kKindNames[kind - 1]) : QStringLiteral("none");
}

std::optional<ImageRect> ParseImageRect(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    float v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toFloat(&ok);
        if (!ok || !std::isfinite(v[i]))
            return std::nullopt;
    }
    if (v[0] == v[2] || v[1] == v[3])
        return std::nullopt;
    return ImageRect{v[0], v[1], v[2], v[3]};
}

QString CImageImportProfile::Folder()
{
    return m_store.ReadString(kSection, kFolderKey, QString());
}

int32_t CImageImportProfile::InitialFilter(int32_t currentKind)
{
    if (currentKind >= 1 && currentKind <= kImageFilterCount)
        return currentKind;
    const int remembered = m_store.ReadInt(kSection, kFilterKey, 2);
    return remembered >= 1 && remembered <= kImageFilterCount ? remembered : 2;
}

void CImageImportProfile::Remember(const QString& chosenFile, int32_t filter)
{
    m_store.WriteString(kSection, kFolderKey, QFileInfo(chosenFile).absolutePath());
    if (filter >= 1 && filter <= kImageFilterCount)
        m_store.WriteInt(kSection, kFilterKey, filter);
}
