#pragma once
// CTextBlockModel: what the "Title", "Text %1 the map" and "Footer" dialogs edit, and which of
// their controls are enabled, without widgets.
//
// Every control but "Enable" follows "Enable"; the footer's alignment lists of the date line
// and of the document line are enabled only while their mode is not "No". OK stores the fields
// into the block (flag bits the dialog does not show are kept); margins are millimetres from 0
// to kMaxBlockMargin. The font takes a size of 4 to 72 points from the font dialog.

#include <QLocale>
#include <QString>

#include "document/TXPrintSettings.h"

inline constexpr float kMaxBlockMargin = 500.0f;
inline constexpr int kMinBlockFontTenths = 40;   // 4 points
inline constexpr int kMaxBlockFontTenths = 720;  // 72 points

class CTextBlockModel {
public:
    CTextBlockModel(const CTXPrintSettings& block, int kind);

    int Kind() const { return m_kind; }
    bool IsFooter() const { return m_kind == PrintFooter; }
    // Text above and below take several lines; title and footer one.
    bool MultiLineText() const { return m_kind == PrintTextAbove || m_kind == PrintTextBelow; }
    // The dialog's caption: "Title", "Text above the map", "Text below the map" or "Footer".
    QString Caption() const;

    bool ControlsEnabled() const { return enabled; }
    bool DateAlignEnabled() const { return enabled && dateMode != 0; }
    bool TitleAlignEnabled() const { return enabled && titleMode != 0; }

    // A margin field's text read in `locale`; false (and nothing stored) for anything that is
    // not a number from 0 to kMaxBlockMargin.
    static bool ParseMargin(const QString& text, const QLocale& locale, float* millimetres);
    // The chosen font of the font dialog with its point size in tenths, kept within 4..72 points.
    void SetFont(const FontRecord& font, double pointSize, TxColor colour);

    // The block with the edited fields.
    CTXPrintSettings Result() const;

    bool enabled = false;
    QString text;
    uint32_t align = AlignLeft;
    FontRecord font;
    TxColor colour = 0;
    float verticalMargin = 5.0f;
    float horizontalMargin = 5.0f;
    uint32_t dateMode = 0;
    uint32_t dateAlign = AlignLeft;
    uint32_t titleMode = 0;
    uint32_t titleAlign = AlignLeft;

private:
    CTXPrintSettings m_original;
    int m_kind;
};
