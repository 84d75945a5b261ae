#pragma once
// CKWProfileStore: the in-memory cache of the per-user settings. A value is read from the backing
// profile once, on its first access, with the caller's default; later reads return the cached
// value whatever default they pass; writes change only the cache. WriteBack, run once at exit,
// writes every changed entry to the profile: strings as they are (an empty string removes the
// value), integers as integers, floats as "%f" text.
//
// Section and key names compare without regard to case. The backing profile is QSettings with
// the organisation "Kestrel-Wing Software" and the application "Tessarix", or an INI file that
// tests choose.

#include <QString>

#include <memory>
#include <vector>

class QSettings;

class CKWProfileStore {
public:
    // The process-wide store over the user's profile.
    static CKWProfileStore& Instance();
    // Replaces the process-wide store with one over an INI file (tests, portable runs).
    static void UseIniFile(const QString& path);

    explicit CKWProfileStore(std::unique_ptr<QSettings> profile);
    ~CKWProfileStore();

    int ReadInt(const QString& section, const QString& key, int defaultValue);
    void WriteInt(const QString& section, const QString& key, int value);
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue);
    void WriteString(const QString& section, const QString& key, const QString& value);
    float ReadFloat(const QString& section, const QString& key, float defaultValue);
    void WriteFloat(const QString& section, const QString& key, float value);

    void WriteBack();

    QSettings& Profile() { return *m_profile; }

private:
    struct Entry {
        QString key;
        int kind = -1;  // -1 not loaded, 0 string, 1 integer, 3 float
        QString text;
        int number = 0;
        float real = 0.0f;
        bool changed = false;
    };
    struct Section {
        QString name;
        std::vector<std::unique_ptr<Entry>> entries;
    };

    Entry& Lookup(const QString& section, const QString& key);
    QString ProfileKey(const QString& section, const QString& key) const;

    std::unique_ptr<QSettings> m_profile;
    std::vector<std::unique_ptr<Section>> m_sections;
};
