#include "app/StartupOptions.h"

#include <QFileInfo>
#include <QSet>

#include <cmath>

#include "app/AppStrings.h"
#include "app/CommandIds.h"
#include "util/KWProfileStore.h"
#include "util/StringTable.h"

CommandLineRequest ParseCommandLine(const QStringList& arguments)
{
    CommandLineRequest r;
    for (const QString& a : arguments) {
        if (a == QLatin1String("--print") || a == QLatin1String("-p")) {
            r.print = true;
        } else if (a == QLatin1String("--no-splash")) {
            r.splash = false;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            r.help = true;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            if (r.error.isEmpty())
                r.error = TxFormat(IDS_UNKNOWN_OPTION, a);
        } else if (r.file.isEmpty()) {
            r.file = a;
        } else if (r.error.isEmpty()) {
            r.error = TxFormat(IDS_TOO_MANY_FILES, a);
        }
    }
    if (r.print && r.file.isEmpty() && r.error.isEmpty())
        r.error = TxString(IDS_PRINT_NEEDS_FILE);
    // Printing runs without any window, so the start-up picture has nothing to cover.
    if (r.print)
        r.splash = false;
    return r;
}

QString LanguageFileName(int language)
{
    static const char* const names[kLanguageFileCount] = {"TESSARIX_ITA.DLL", "TESSARIX_FRA.DLL",
                                                          "TESSARIX_GER.DLL", "TESSARIX_JAP.DLL",
                                                          "TESSARIX_ESP.DLL"};
    if (language < 1 || language > kLanguageFileCount)
        return {};
    return QString::fromLatin1(names[language - 1]);
}

std::vector<int> AvailableLanguages(const QDir& folder)
{
    std::vector<int> list{0};
    for (int n = 1; n <= kLanguageFileCount; ++n)
        if (QFileInfo(folder.filePath(LanguageFileName(n))).isFile())
            list.push_back(n);
    return list;
}

int ChooseLanguage(const std::vector<int>& available, bool italianUser, bool shiftHeld)
{
    const int choice = (italianUser && !shiftHeld) ? 1 : 0;
    for (int n : available)
        if (n == choice)
            return choice;
    return available.empty() ? 0 : available.front();
}

PageMargins ParseMargins(const QString& text)
{
    const QStringList parts = text.split(u',');
    int values[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4 && i < parts.size(); ++i) {
        bool ok = false;
        const int v = parts[i].trimmed().toInt(&ok);
        values[i] = ok && v > 0 ? v : 0;
    }
    return {values[0], values[1], values[2], values[3]};
}

QString FormatMargins(const PageMargins& m)
{
    return QString::asprintf("%d,%d,%d,%d", m.left, m.right, m.top, m.bottom);
}

PageMargins ReadMargins(CKWProfileStore& store)
{
    return ParseMargins(store.ReadString(QStringLiteral("Settings"), QStringLiteral("Margins"),
                                         QStringLiteral("0,0,0,0")));
}

QMarginsF MarginsToMillimetres(const PageMargins& m)
{
    return QMarginsF(m.left / 100.0, m.top / 100.0, m.right / 100.0, m.bottom / 100.0);
}

PageMargins MarginsFromMillimetres(const QMarginsF& mm)
{
    auto hundredths = [](qreal v) { return v > 0 ? int(std::lround(v * 100.0)) : 0; };
    return {hundredths(mm.left()), hundredths(mm.right()), hundredths(mm.top()), hundredths(mm.bottom())};
}

void WriteMargins(CKWProfileStore& store, const PageMargins& m)
{
    store.WriteString(QStringLiteral("Settings"), QStringLiteral("Margins"), FormatMargins(m));
}

QString DefaultDataFolder(const QString& documentsFolder)
{
    if (documentsFolder.isEmpty())
        return {};
    QString folder = documentsFolder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + QStringLiteral("Tessarix/");
}

QString ReadLoadSaveFolder(CKWProfileStore& store, const QString& documentsFolder)
{
    return store.ReadString(QStringLiteral("DefaultDirectory"), QStringLiteral("LoadSave"),
                            DefaultDataFolder(documentsFolder));
}

void WriteLoadSaveFolder(CKWProfileStore& store, const QString& folder)
{
    store.WriteString(QStringLiteral("DefaultDirectory"), QStringLiteral("LoadSave"), folder);
}

QStringList FindPdfDocuments(const QStringList& folders)
{
    QStringList found;
    QSet<QString> names;
    for (const QString& f : folders) {
        const QDir dir(f);
        if (f.isEmpty() || !dir.exists())
            continue;
        const QFileInfoList entries =
            dir.entryInfoList({QStringLiteral("*.pdf"), QStringLiteral("*.PDF")}, QDir::Files, QDir::Name);
        for (const QFileInfo& e : entries) {
            if (found.size() >= kPdfCommandCount)
                return found;
            if (names.contains(e.fileName()))
                continue;
            names.insert(e.fileName());
            found.append(e.absoluteFilePath());
        }
    }
    return found;
}

InterfaceStyle ReadInterfaceStyle(CKWProfileStore& store)
{
    const QString ws = QStringLiteral("Workspace");
    InterfaceStyle s;
    s.ribbonLook = store.ReadInt(ws, QStringLiteral("ApplicationLook"), ID_LOOK_OFFICE_2007_BLUE);
    s.classicLook = store.ReadInt(ws, QStringLiteral("ApplicationLookVS"), ID_LOOK_VS_2005);
    s.ribbon = store.ReadInt(ws, QStringLiteral("ApplicationUI"), 1) != 0;
    if (s.ribbonLook < ID_LOOK_OFFICE_2007_BLUE || s.ribbonLook > ID_LOOK_OFFICE_2007_AQUA)
        s.ribbonLook = ID_LOOK_OFFICE_2007_BLUE;
    if (s.classicLook < ID_LOOK_WIN_2000 || s.classicLook > ID_LOOK_VS_2005)
        s.classicLook = ID_LOOK_VS_2005;
    return s;
}
