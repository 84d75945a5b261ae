#include "colors/KWColorScale.h"

#include <QFile>

#include <algorithm>
#include <cmath>

#include "util/Archive.h"
#include "util/SafeFileWriter.h"
#include "util/KWFont.h"

CKWColorScale::CKWColorScale()
{
    m_items = {{0.0f, 0x000000}, {1.0f, 0xFFFFFF}};
    RebuildPalette();
}

CKWColorScale CKWColorScale::MapDefault()
{
    CKWColorScale s;
    s.m_items = {{0.0f, TxRgb(0, 0, 128)},
                 {0.25f, TxRgb(0, 128, 0)},
                 {0.5f, TxRgb(255, 255, 0)},
                 {0.75f, TxRgb(255, 128, 0)},
                 {1.0f, TxRgb(255, 0, 0)}};
    s.RebuildPalette();
    return s;
}

void CKWColorScale::SetItems(std::vector<CKWColorScaleItem> items)
{
    m_items = std::move(items);
    RebuildPalette();
}

TxColor CKWColorScale::ColorBetween(int i, float x) const
{
    const CKWColorScaleItem& a = Item(i);
    const CKWColorScaleItem& b = Item(i + 1);
    const auto numerator = int32_t((x - a.position) * 255.0f);
    const auto denominator = int32_t((b.position - a.position) * 255.0f);
    auto channel = [&](int ca, int cb) {
        if (denominator == 0)
            return ca;
        return (ca + TxMulDiv(cb - ca, numerator, denominator)) & 0xFF;
    };
    const int r = channel(TxRed(a.color), TxRed(b.color));
    const int g = channel(TxGreen(a.color), TxGreen(b.color));
    const int bl = channel(TxBlue(a.color), TxBlue(b.color));
    return kPaletteRelative | TxRgb(r, g, bl);
}

TxColor CKWColorScale::ColorAt(float x) const
{
    if (m_items.empty())
        return 0;
    x = std::clamp(x, m_items.front().position, m_items.back().position);
    for (int i = 0; i + 1 < Count(); ++i)
        if (m_items[size_t(i)].position <= x && x <= m_items[size_t(i) + 1].position)
            return ColorBetween(i, x);
    return m_items.front().color;
}

TxColor CKWColorScale::ColorOfValue(float v) const
{
    return ColorAt((v - m_low) / (m_high - m_low));
}

int CKWColorScale::InsertStop(float x)
{
    x = std::clamp(x, 0.0f, 1.0f);
    for (int i = 0; i + 1 < Count(); ++i) {
        if (m_items[size_t(i)].position <= x && x <= m_items[size_t(i) + 1].position) {
            const CKWColorScaleItem item{x, ColorBetween(i, x)};
            m_items.insert(m_items.begin() + i + 1, item);
            RebuildPalette();
            return i + 1;
        }
    }
    return -1;
}

int CKWColorScale::ResortStop(int k)
{
    (void)Item(k);  // range check
    int moved = k;
    while (moved > 0 && m_items[size_t(moved)].position < m_items[size_t(moved) - 1].position) {
        std::swap(m_items[size_t(moved)], m_items[size_t(moved) - 1]);
        --moved;
    }
    if (moved == k)
        while (moved + 1 < Count() &&
               m_items[size_t(moved)].position > m_items[size_t(moved) + 1].position) {
            std::swap(m_items[size_t(moved)], m_items[size_t(moved) + 1]);
            ++moved;
        }
    RebuildPalette();
    return moved;
}

void CKWColorScale::RemoveStop(int k)
{
    (void)Item(k);
    m_items.erase(m_items.begin() + k);
    RebuildPalette();
}

void CKWColorScale::RebuildPalette()
{
    for (int k = 0; k < kPaletteSize; ++k)
        m_palette[size_t(k)] = ColorAt(float(k + 1) / float(kPaletteSize));
}

void CKWColorScale::Serialize(CTXArchive& ar)
{
    int32_t schema = 1;
    ar.Int32(schema);
    if (ar.IsLoading() && schema != 1)
        CTXArchive::FailFormat("unknown colour scale schema");
    float low = m_low;
    float high = m_high;
    ar.Float(low);
    ar.Float(high);
    if (ar.IsLoading() && !(std::isfinite(low) && std::isfinite(high)))
        CTXArchive::FailFormat("colour scale range not finite");
    int32_t count = Count();
    ar.Count(count, 8);
    if (ar.IsStoring()) {
        for (CKWColorScaleItem& item : m_items) {
            ar.Float(item.position);
            ar.UInt32(item.color);
        }
        return;
    }
    if (count == 0)
        CTXArchive::FailFormat("colour scale without stops");
    std::vector<CKWColorScaleItem> items(static_cast<size_t>(count));
    for (size_t i = 0; i < items.size(); ++i) {
        ar.Float(items[i].position);
        ar.UInt32(items[i].color);
        // Stops are ascending fractions of the scale; anything else overflows the interpolation.
        if (!(items[i].position >= 0.0f && items[i].position <= 1.0f))
            CTXArchive::FailFormat("colour stop outside 0..1");
        if (i > 0 && items[i].position < items[i - 1].position)
            CTXArchive::FailFormat("colour stops out of order");
    }
    m_low = low;
    m_high = high;
    SetItems(std::move(items));
}

ColorScaleFileStatus CKWColorScale::ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return ColorScaleFileStatus::CannotOpen;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return ColorScaleFileStatus::CannotOpen;
    // The record goes into a scale of its own first, so a refused file leaves this one untouched.
    try {
        CKWColorScale loaded;
        CTXArchive ar(bytes);
        loaded.Serialize(ar);
        *this = loaded;
        return ColorScaleFileStatus::Ok;
    } catch (const CTXArchiveError&) {
        return ColorScaleFileStatus::NotAColorScale;
    }
}

FileWriteStatus CKWColorScale::SaveFile(const QString& path, IFileWriteFaults* faults) const
{
    QByteArray bytes;
    CTXArchive ar(&bytes);
    const_cast<CKWColorScale*>(this)->Serialize(ar);
    return WriteFileSafely(path, bytes, faults);
}
