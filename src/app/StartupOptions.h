#pragma once
// The decisions the application makes while it starts, kept apart from the widgets: what the
// command line asks for, which interface language to use, the page margins stored in the profile,
// the folder the Open dialog starts in and the PDF documents the Help menu lists.

#include <QDir>
#include <QMarginsF>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class CKWProfileStore;

struct CommandLineRequest {
    QString file;          // document to open, empty for a new one
    bool print = false;    // print `file` without the dialog, then exit
    bool splash = true;    // show the start-up picture
    bool help = false;     // show the usage text and exit
    QString error;         // not empty: the command line cannot be carried out
};

// Parses the arguments after the program name. A lone "-" is not an option.
CommandLineRequest ParseCommandLine(const QStringList& arguments);

// The five language files, language number 1..5; 0 is the built-in English.
QString LanguageFileName(int language);
constexpr int kLanguageFileCount = 5;
// 0 followed by the number of every language file that exists in `folder`.
std::vector<int> AvailableLanguages(const QDir& folder);
// Italian users get language 1, everyone else 0; Shift held forces 0; a choice that is not
// available becomes the first available one.
int ChooseLanguage(const std::vector<int>& available, bool italianUser, bool shiftHeld);

// Page margins in hundredths of a millimetre.
struct PageMargins {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    friend bool operator==(const PageMargins&, const PageMargins&) = default;
};
// "%d,%d,%d,%d" = left, right, top, bottom; missing or unreadable fields are 0, negative ones
// are taken as 0 (no printer accepts a negative margin).
PageMargins ParseMargins(const QString& text);
QString FormatMargins(const PageMargins& m);
PageMargins ReadMargins(CKWProfileStore& store);
// The margins as the page setup dialog takes them (millimetres, left-top-right-bottom) and back,
// rounded to the nearest hundredth of a millimetre.
QMarginsF MarginsToMillimetres(const PageMargins& m);
PageMargins MarginsFromMillimetres(const QMarginsF& mm);
void WriteMargins(CKWProfileStore& store, const PageMargins& m);

// The folder the Open dialog starts in when none is remembered: "Tessarix/" inside the user's
// documents folder, empty when there is no documents folder.
QString DefaultDataFolder(const QString& documentsFolder);
// "DefaultDirectory"/"LoadSave".
QString ReadLoadSaveFolder(CKWProfileStore& store, const QString& documentsFolder);
void WriteLoadSaveFolder(CKWProfileStore& store, const QString& folder);

// The first 21 "*.pdf" documents of the folders, in the order the folders are given and sorted by
// name within each; the same file name found twice is listed once.
QStringList FindPdfDocuments(const QStringList& folders);

// The interface style and looks, read once at start.
struct InterfaceStyle {
    bool ribbon = true;   // "ApplicationUI": 1 ribbon, 0 classic
    int ribbonLook = 215; // "ApplicationLook", 215..218
    int classicLook = 214;// "ApplicationLookVS", 210..214
};
// Out-of-range looks fall back to the defaults.
InterfaceStyle ReadInterfaceStyle(CKWProfileStore& store);
