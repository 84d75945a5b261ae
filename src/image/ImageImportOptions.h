#pragma once
// The choices around importing a picture: the four file-type filters in their order (filter
// index = picture kind), the kind a file name or a kind name stands for, the placement
// rectangle text of the command line, and the folder and filter the open-file dialog
// remembers in the profile (section "DefaultDirectory", values "ImportIMG" and
// "ImportIMG_Filter").

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

#include "geometry/WorldRects.h"

class CKWProfileStore;

constexpr int kImageFilterCount = 4;

// The dialog's filter line for kind 1..4: the filter's title followed by its patterns.
QString ImageFilterText(int32_t kind);
// All four, in order, as one QFileDialog name-filter list.
QStringList ImageFilterTexts();
// The kind whose filter line is `text` (1..4), or 0.
int32_t ImageKindOfFilterText(const QString& text);

// The kind a file's extension suggests (".wmf", ".emf" 1; ".bmp", ".dib" 2; ".tif", ".tiff" 3;
// ".jpg", ".jpe", ".jpeg" 4), or 0.
int32_t ImageKindForFileName(const QString& path);
// "metafile", "bitmap", "tiff", "jpeg" -> 1..4, or 0.
int32_t ImageKindFromName(const QString& name);
QString ImageKindName(int32_t kind);

// "X0,Y0,X1,Y1": four finite numbers with X0 != X1 and Y0 != Y1.
std::optional<ImageRect> ParseImageRect(const QString& text);

class CImageImportProfile {
public:
    explicit CImageImportProfile(CKWProfileStore& store) : m_store(store) {}
    // The folder the dialog opens in; empty when none was remembered.
    QString Folder();
    // The filter the dialog starts with: the kind of the picture there is, else the remembered
    // filter (2, bitmaps, the first time), always 1..4.
    int32_t InitialFilter(int32_t currentKind);
    // After OK: the chosen file's folder and the filter used.
    void Remember(const QString& chosenFile, int32_t filter);

private:
    CKWProfileStore& m_store;
};
