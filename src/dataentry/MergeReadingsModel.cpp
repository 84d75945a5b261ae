#include "dataentry/MergeReadingsModel.h"

#include <QStringList>

#include <cmath>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/NumberText.h"
#include "document/AcousticEdits.h"
#include "document/TessarixDoc.h"
#include "util/StringTable.h"

CMergeReadingsModel::CMergeReadingsModel(const CTessarixDoc& doc)
    : m_doc(doc), m_tolerance(kDefaultRepeatTolerance), m_groups(FindRepeatedReadings(doc, m_tolerance))
{
}

bool CMergeReadingsModel::SetTolerance(double tolerance)
{
    if (!std::isfinite(tolerance) || tolerance < 0)
        return false;
    m_tolerance = tolerance;
    m_groups = FindRepeatedReadings(m_doc, tolerance);
    return true;
}

QString CMergeReadingsModel::PointsText(int g) const
{
    QStringList numbers;
    for (int p : Group(g))
        numbers << QString::number(p + 1);
    return numbers.join(QStringLiteral(", "));
}

QString CMergeReadingsModel::PositionText(int g) const
{
    const size_t first = size_t(Group(g).front());
    return FormatG(double(m_doc.X()[first])) + QStringLiteral("; ") + FormatG(double(m_doc.Y()[first]));
}

int CMergeReadingsModel::RemovedCount() const
{
    int removed = 0;
    for (const std::vector<int>& g : m_groups)
        removed += int(g.size()) - 1;
    return removed;
}

QString CMergeReadingsModel::Summary() const
{
    if (m_groups.empty())
        return TxFormat(IDS_MERGE_NONE_FOUND, FormatG(m_tolerance));
    return TxFormat(IDS_MERGE_FOUND, QString::number(m_groups.size()), QString::number(RemovedCount()));
}

int CMergeReadingsModel::Apply(CTessarixDoc& doc) const
{
    return CanApply() ? MergeRepeatedReadings(doc, m_tolerance) : 0;
}
