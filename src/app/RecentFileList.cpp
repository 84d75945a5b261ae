#include "app/RecentFileList.h"

#include <QDir>
#include <QFileInfo>

#include "util/KWProfileStore.h"

namespace {

const QString kSection = QStringLiteral("Recent File List");

QString Normalised(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

void CRecentFileList::Add(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString p = Normalised(path);
    m_files.removeAll(p);
    m_files.prepend(p);
    while (m_files.size() > m_capacity)
        m_files.removeLast();
}

void CRecentFileList::Remove(const QString& path)
{
    m_files.removeAll(Normalised(path));
}

void CRecentFileList::Load(CKWProfileStore& store)
{
    m_files.clear();
    for (int i = 1; i <= m_capacity; ++i) {
        const QString f = store.ReadString(kSection, QStringLiteral("File%1").arg(i), {});
        if (!f.isEmpty() && !m_files.contains(f))
            m_files.append(f);
    }
}

void CRecentFileList::Save(CKWProfileStore& store) const
{
    for (int i = 1; i <= m_capacity; ++i)
        store.WriteString(kSection, QStringLiteral("File%1").arg(i), i <= m_files.size() ? m_files[i - 1] : QString());
}

QString CRecentFileList::MenuText(int index, const QString& currentFolder) const
{
    if (index < 0 || index >= m_files.size())
        return {};
    const QFileInfo info(m_files[index]);
    QString shown = m_files[index];
    if (!currentFolder.isEmpty() && QDir::cleanPath(info.absolutePath()) == QDir::cleanPath(currentFolder))
        shown = info.fileName();
    else if (shown.size() > 48)
        shown = QStringLiteral("...") + QDir::separator() + info.fileName();
    shown.replace(u'&', QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}
