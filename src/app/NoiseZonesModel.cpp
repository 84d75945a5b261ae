#include "app/NoiseZonesModel.h"

#include "app/AppStrings.h"
#include "document/TessarixDoc.h"
#include "mapping/NoiseZones.h"
#include "util/KWProfileStore.h"
#include "util/StringTable.h"
#include "workers/ZoneReport.h"

namespace {

const QString kSection = QStringLiteral("NoiseZones");
const QString kLevelsKey = QStringLiteral("Levels");

QString Number(double v)
{
    return QString::number(v, 'g', 6);
}

QString Percent(double share)
{
    return QString::number(100.0 * share, 'f', 1) + QStringLiteral(" %");
}

}  // namespace

CNoiseZonesModel::CNoiseZonesModel(CKWProfileStore& profile) : m_profile(profile)
{
    const QString stored = m_profile.ReadString(kSection, kLevelsKey, ZoneLevelsText(kDefaultZoneLevels));
    if (!ParseZoneLevels(stored, &m_levels))
        m_levels = kDefaultZoneLevels;
}

QString CNoiseZonesModel::LevelsText() const
{
    return ZoneLevelsText(m_levels);
}

bool CNoiseZonesModel::SetLevelsText(const QString& text)
{
    if (!ParseZoneLevels(text, &m_levels))
        return false;
    m_profile.WriteString(kSection, kLevelsKey, LevelsText());
    return true;
}

void CNoiseZonesModel::Compute(const CTessarixDoc& doc, CMapComputationSet* maps)
{
    m_rows.clear();
    std::vector<ColumnZones> columns;
    if (maps) {
        columns = ComputeColumnZones(doc, *maps, m_levels, ZoneOutlines::No);
    } else {
        for (int32_t c : doc.EnabledColumnIndices())
            columns.push_back(ColumnZones{c, doc.Column(c).name, {}});
    }
    if (columns.empty())
        m_rows.push_back(Row{QString(), TxString(IDS_ZONES_NO_COLUMN), {}, {}, {}, true});
    for (const ColumnZones& c : columns) {
        const NoiseZoneSet& z = c.zones;
        if (z.status != NoiseZoneStatus::Computed) {
            const int why = z.status == NoiseZoneStatus::InvalidExtent ? IDS_ZONES_BAD_EXTENT : IDS_ZONES_NO_SURFACE;
            m_rows.push_back(Row{c.name, TxString(why), {}, {}, {}, true});
            continue;
        }
        const QString of = TxFormat(z.clipped ? IDS_ZONES_OF_CLIPPED : IDS_ZONES_OF_MAP, Number(z.regionArea));
        for (size_t k = 0; k < z.zones.size(); ++k)
            m_rows.push_back(Row{k == 0 ? c.name : QString(), Number(z.zones[k].level), Number(z.zones[k].area),
                                 Percent(z.Share(k)), of, false});
    }
}
