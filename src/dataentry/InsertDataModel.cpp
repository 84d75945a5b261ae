#include "dataentry/InsertDataModel.h"

#include <algorithm>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/TableTextParser.h"
#include "document/TessarixDoc.h"
#include "util/StringTable.h"

InsertImportResult CInsertDataModel::Import(const QString& text, const ExchangeLocale& locale,
                                            int enabledColumns,
                                            const std::function<bool(const QString&)>& askPartial)
{
    m_lines.clear();
    m_placed.clear();
    m_insertMode = false;

    std::vector<CTXFloatArray> lines;
    for (QStringView line : SplitTextLines(text)) {
        CTXFloatArray values;
        QStringView rest = line;
        while (!rest.isEmpty()) {
            const QStringView token = TakeToken(rest, locale);
            double v = 0;
            if (!ParseLocalNumberToken(token, locale, &v))
                break;
            values.push_back(float(v));
        }
        if (!values.empty())
            lines.push_back(std::move(values));
    }
    if (lines.empty())
        return {InsertImportStatus::NoValidLines, TxString(IDS_INSERT_NO_VALID_LINES)};

    size_t shortest = lines.front().size();
    for (const CTXFloatArray& l : lines)
        shortest = std::min(shortest, l.size());
    const size_t enabled = size_t(std::max(0, enabledColumns));
    if (shortest < enabled) {
        if (!askPartial || !askPartial(TxString(IDS_INSERT_PARTIAL_COLUMNS)))
            return {InsertImportStatus::Abandoned, {}};
    }
    const size_t keep = std::min(shortest, enabled);
    for (CTXFloatArray& l : lines)
        l.resize(keep);

    m_lines = std::move(lines);
    m_placed.assign(m_lines.size(), 0);
    m_insertMode = true;
    return {InsertImportStatus::Imported, {}};
}

QString CInsertDataModel::PopupText(int index, const CTXFloatArray& values)
{
    QString summary;
    const size_t shown = std::min<size_t>(3, values.size());
    for (size_t i = 0; i < shown; ++i)
        summary += QString::asprintf("%g, ", double(values[i]));
    if (values.size() > 3)
        summary += QStringLiteral(" (...)");
    return QString::asprintf("%2d - ", index + 1) + summary;
}

std::vector<InsertPopupEntry> CInsertDataModel::PopupEntries() const
{
    std::vector<InsertPopupEntry> entries;
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (!m_placed[i])
            entries.push_back({kCommandBase + int(i), PopupText(int(i), m_lines[i])});
    return entries;
}

bool CInsertDataModel::IsOutsideExtent(const MapExtent& extent, float x, float y)
{
    return x < extent.x0 || x > extent.x1 || y < extent.y0 || y > extent.y1;
}

bool CInsertDataModel::Place(CTessarixDoc& doc, int commandId, float x, float y)
{
    const int index = commandId - kCommandBase;
    if (!m_insertMode || index < 0 || size_t(index) >= m_lines.size() || m_placed[size_t(index)])
        return false;
    doc.InsertPoint(x, y, m_lines[size_t(index)]);
    m_placed[size_t(index)] = 1;
    if (std::all_of(m_placed.begin(), m_placed.end(), [](int32_t p) { return p != 0; }))
        m_insertMode = false;
    return true;
}
