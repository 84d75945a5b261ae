#include "dataentry/MainSetupModel.h"

#include "document/TessarixDoc.h"

CMainSetupModel::CMainSetupModel(const CTessarixDoc& doc)
{
    for (int c = 0; c < kColumnCount && c < doc.ColumnCount(); ++c) {
        m_enabled[size_t(c)] = doc.Column(c).enabled != 0;
        m_names[size_t(c)] = doc.Column(c).name;
    }
    m_enabled[0] = true;
}

void CMainSetupModel::SetEnabled(int column, bool enabled)
{
    m_enabled.at(size_t(column)) = enabled || !CanToggle(column);
}

int CMainSetupModel::TrimAndFindBlankName()
{
    int blank = -1;
    for (int c = 0; c < kColumnCount; ++c) {
        if (!m_enabled[size_t(c)])
            continue;
        m_names[size_t(c)] = m_names[size_t(c)].trimmed();
        if (blank < 0 && m_names[size_t(c)].isEmpty())
            blank = c;
    }
    return blank;
}

int CMainSetupModel::Apply(CTessarixDoc& doc) const
{
    return doc.SetColumnDefinitions(m_enabled, m_names);
}
