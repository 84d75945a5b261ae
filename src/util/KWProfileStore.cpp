#include "util/KWProfileStore.h"

#include <QSettings>
#include <QStringList>

#include <charconv>

namespace {

std::unique_ptr<CKWProfileStore>& Global()
{
    static std::unique_ptr<CKWProfileStore> store;
    return store;
}

// Leading decimal number of a text, 0 when there is none, read the same under every locale.
// Floats were once written with the C library's "%f" under the user's locale, so "12,500000"
// is read as 12.5 too; a text holding a "." takes "," as the end of the number.
float LeadingNumber(const QString& text)
{
    QByteArray bytes = text.trimmed().toLatin1();
    if (!bytes.contains('.'))
        bytes.replace(',', '.');
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    if (p != end && *p == '+')
        ++p;
    double value = 0.0;
    const auto [last, ec] = std::from_chars(p, end, value, std::chars_format::general);
    if (ec != std::errc())
        return 0.0f;
    return float(value);
}

// A profile value as text; an INI file splits an unquoted "12,500000" into a list.
QString ProfileText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

}  // namespace

CKWProfileStore& CKWProfileStore::Instance()
{
    auto& store = Global();
    if (!store)
        store = std::make_unique<CKWProfileStore>(
            std::make_unique<QSettings>(QStringLiteral("Kestrel-Wing Software"), QStringLiteral("Tessarix")));
    return *store;
}

void CKWProfileStore::UseIniFile(const QString& path)
{
    Global() = std::make_unique<CKWProfileStore>(
        std::make_unique<QSettings>(path, QSettings::IniFormat));
}

CKWProfileStore::CKWProfileStore(std::unique_ptr<QSettings> profile) : m_profile(std::move(profile)) {}

CKWProfileStore::~CKWProfileStore() = default;

CKWProfileStore::Entry& CKWProfileStore::Lookup(const QString& section, const QString& key)
{
    Section* found = nullptr;
    for (auto& s : m_sections)
        if (s->name.compare(section, Qt::CaseInsensitive) == 0) {
            found = s.get();
            break;
        }
    if (!found) {
        m_sections.push_back(std::make_unique<Section>());
        found = m_sections.back().get();
        found->name = section;
    }
    for (auto& e : found->entries)
        if (e->key.compare(key, Qt::CaseInsensitive) == 0)
            return *e;
    found->entries.push_back(std::make_unique<Entry>());
    found->entries.back()->key = key;
    return *found->entries.back();
}

QString CKWProfileStore::ProfileKey(const QString& section, const QString& key) const
{
    return section + u'/' + key;
}

int CKWProfileStore::ReadInt(const QString& section, const QString& key, int defaultValue)
{
    Entry& e = Lookup(section, key);
    if (e.kind == -1) {
        e.kind = 1;
        bool ok = false;
        const int v = m_profile->value(ProfileKey(section, key)).toInt(&ok);
        e.number = ok ? v : defaultValue;
    }
    return e.number;
}

void CKWProfileStore::WriteInt(const QString& section, const QString& key, int value)
{
    Entry& e = Lookup(section, key);
    e.kind = 1;
    e.number = value;
    e.changed = true;
}

QString CKWProfileStore::ReadString(const QString& section, const QString& key, const QString& defaultValue)
{
    Entry& e = Lookup(section, key);
    if (e.kind == -1) {
        e.kind = 0;
        const QVariant v = m_profile->value(ProfileKey(section, key));
        e.text = v.isValid() ? v.toString() : defaultValue;
    }
    return e.text;
}

void CKWProfileStore::WriteString(const QString& section, const QString& key, const QString& value)
{
    Entry& e = Lookup(section, key);
    e.kind = 0;
    e.text = value;
    e.changed = true;
}

float CKWProfileStore::ReadFloat(const QString& section, const QString& key, float defaultValue)
{
    Entry& e = Lookup(section, key);
    if (e.kind == -1) {
        e.kind = 3;
        const QString text = ProfileText(m_profile->value(ProfileKey(section, key)));
        e.real = text.isEmpty() ? defaultValue : LeadingNumber(text);
    }
    return e.real;
}

void CKWProfileStore::WriteFloat(const QString& section, const QString& key, float value)
{
    Entry& e = Lookup(section, key);
    e.kind = 3;
    e.real = value;
    e.changed = true;
}

void CKWProfileStore::WriteBack()
{
    for (const auto& s : m_sections)
        for (const auto& e : s->entries) {
            if (!e->changed)
                continue;
            const QString path = ProfileKey(s->name, e->key);
            switch (e->kind) {
            case 0:
                if (e->text.isEmpty())
                    m_profile->remove(path);
                else
                    m_profile->setValue(path, e->text);
                break;
            case 1:
                m_profile->setValue(path, e->number);
                break;
            case 3:
                // Six decimals with "." whatever the locale (QString::number uses the C locale).
                m_profile->setValue(path, QString::number(double(e->real), 'f', 6));
                break;
            default:
                break;
            }
            e->changed = false;
        }
    m_profile->sync();
}
