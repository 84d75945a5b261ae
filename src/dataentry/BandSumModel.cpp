#include "dataentry/BandSumModel.h"

#include <algorithm>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/NumberText.h"
#include "document/TessarixDoc.h"
#include "util/Decibels.h"
#include "util/StringTable.h"

namespace {

bool CanBeBand(int column)
{
    return column >= 1 && column <= kOctaveBandCount;
}

QString Level(float value)
{
    return QString::number(double(value), 'f', 1);
}

}  // namespace

CBandSumModel::CBandSumModel(const CTessarixDoc& doc) : m_doc(doc)
{
    for (int c : DefaultBandColumns(doc))
        m_band[size_t(c)] = true;
    Recheck();
}

void CBandSumModel::SetTarget(int column)
{
    if (column < 0 || column >= m_doc.ColumnCount())
        return;
    m_target = column;
    Recheck();
}

bool CBandSumModel::IsBand(int column) const
{
    return CanBeBand(column) && m_band[size_t(column)];
}

void CBandSumModel::SetBand(int column, bool band)
{
    if (!CanBeBand(column))
        return;
    m_band[size_t(column)] = band;
    Recheck();
}

void CBandSumModel::SetAWeighted(bool on)
{
    m_aWeighted = on;
    Recheck();
}

std::vector<int> CBandSumModel::Bands() const
{
    std::vector<int> bands;
    for (int c = 1; c <= kOctaveBandCount; ++c)
        if (m_band[size_t(c)])
            bands.push_back(c);
    return bands;
}

int CBandSumModel::Refusal() const
{
    if (Bands().empty())
        return IDS_BAND_SUM_NO_BANDS;
    if (IsBand(m_target))
        return IDS_BAND_SUM_TARGET_IS_BAND;
    return 0;
}

void CBandSumModel::Recheck()
{
    m_rows.clear();
    if (CanApply())
        m_rows = ::CheckBandSum(m_doc, m_target, Bands(), m_aWeighted);
}

QString CBandSumModel::CheckHeader(int column)
{
    return TxString(IDS_BAND_SUM_HEAD_POINT + column);
}

QString CBandSumModel::CheckCell(int row, int column) const
{
    const BandCheckRow& r = m_rows.at(size_t(row));
    switch (column) {
    case CheckPoint:
        return QString::number(r.point + 1);
    case CheckX:
        return FormatG(double(m_doc.X()[size_t(r.point)]));
    case CheckY:
        return FormatG(double(m_doc.Y()[size_t(r.point)]));
    case CheckMeasured:
        return Level(r.measured);
    case CheckBandSum:
        return Level(r.bandSum);
    case CheckDifference:
        return (r.difference > 0 ? QStringLiteral("+") : QString()) + Level(r.difference);
    default:
        return {};
    }
}

int CBandSumModel::OutsideCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const BandCheckRow& r) { return r.outside; }));
}

QString CBandSumModel::Summary() const
{
    if (Refusal() == IDS_BAND_SUM_NO_BANDS)
        return TxString(IDS_BAND_SUM_NO_BANDS);
    if (Refusal() == IDS_BAND_SUM_TARGET_IS_BAND)
        return TxFormat(IDS_BAND_SUM_TARGET_IS_BAND, m_doc.Column(m_target).name);
    return TxFormat(IDS_BAND_SUM_CHECK_SUMMARY, QString::number(OutsideCount()), QString::number(m_rows.size()));
}

bool CBandSumModel::Apply(CTessarixDoc& doc) const
{
    return CanApply() && FillBandSum(doc, m_target, Bands(), m_aWeighted);
}
