#pragma once
// CRecentFileList: the most recently opened or saved documents, newest first, at most five,
// kept in the profile section "Recent File List" as "File1".."File5".

#include <QString>
#include <QStringList>

class CKWProfileStore;

class CRecentFileList {
public:
    explicit CRecentFileList(int capacity = 5) : m_capacity(capacity) {}

    // Puts `path` first; an entry for the same file moves instead of being repeated.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Files() const { return m_files; }

    void Load(CKWProfileStore& store);
    void Save(CKWProfileStore& store) const;

    // Menu text of entry `index`: "&1 name", the folder shortened so the text stays readable.
    QString MenuText(int index, const QString& currentFolder = {}) const;

private:
    int m_capacity;
    QStringList m_files;
};
