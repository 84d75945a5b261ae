#include "util/KWRememberedFolder.h"

#include <QFileInfo>

#include "util/KWProfileStore.h"

namespace {

const QString kSection = QStringLiteral("DefaultDirectory");

QString FilterKey(const QString& name)
{
    return name + QStringLiteral("_Filter");
}

}  // namespace

QString CKWRememberedFolder::Folder() const
{
    return m_store.ReadString(kSection, m_name, QString());
}

int CKWRememberedFolder::FilterIndex(int filterCount) const
{
    const int remembered = m_store.ReadInt(kSection, FilterKey(m_name), 1);
    return remembered >= 1 && remembered <= filterCount ? remembered : 1;
}

void CKWRememberedFolder::Remember(const QString& chosenFile, int filterIndex) const
{
    m_store.WriteString(kSection, m_name, QFileInfo(chosenFile).absolutePath());
    if (filterIndex >= 1)
        m_store.WriteInt(kSection, FilterKey(m_name), filterIndex);
}
