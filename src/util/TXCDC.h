#pragma once
// CTXCDC: a drawing surface for the map code. It wraps a QPainter together with the pixels per
// inch of the device it stands for (the screen for on-screen maps, the printer when printing)
// and keeps the text state the drawing code works with: text and background colour, background
// mode, text alignment and the selected font with its escapement.
//
// Text alignment uses the flags below. The reference point of TextOut is the left, centre or
// right of the text and its top, baseline or bottom; with an escapement the text is rotated
// counter-clockwise by escapement / 10 degrees about that point.

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QSize>

#include "util/KWFont.h"
#include "util/TxTypes.h"

enum TextAlignFlags : unsigned {
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};

enum BkMode : int { TRANSPARENT = 1, OPAQUE = 2 };

// A device font for `font` whose height follows the platform convention: a positive height is
// the character cell (ascent + descent), a negative one the em height.
QFont TxMakeDeviceFont(const CKWFont& font, int height);
QFont TxMakeDeviceFont(const FontRecord& record, int height);

inline QColor TxToQColor(TxColor c)
{
    return QColor(TxRed(c), TxGreen(c), TxBlue(c));
}
inline TxColor TxFromQColor(const QColor& c)
{
    return TxRgb(c.red(), c.green(), c.blue());
}

class CTXCDC {
public:
    CTXCDC(QPainter* painter, int dpiX, int dpiY);

    QPainter* Painter() const { return m_painter; }
    int DpiX() const { return m_dpiX; }
    int DpiY() const { return m_dpiY; }

    TxColor SetTextColor(TxColor c);
    TxColor TextColor() const { return m_textColor; }
    TxColor SetBkColor(TxColor c);
    TxColor BkColor() const { return m_bkColor; }
    int SetBkMode(int mode);
    int BkMode() const { return m_bkMode; }
    unsigned SetTextAlign(unsigned flags);
    unsigned TextAlign() const { return m_textAlign; }

    struct FontState {
        QFont font;
        int escapement = 0;
    };
    // Selects a font with its escapement (tenths of a degree); returns what was selected.
    FontState SelectFont(const QFont& font, int escapement = 0);
    void RestoreFont(const FontState& state) { SelectFont(state.font, state.escapement); }
    const QFont& Font() const { return m_font; }
    int Escapement() const { return m_escapement; }
    QFontMetrics Metrics() const { return QFontMetrics(m_font); }

    // Width (advance) and height (ascent + descent) of one line of text in the selected font.
    QSize TextExtent(const QString& text) const;
    // Writes one line at (x, y) with the alignment, colours, background mode and escapement in force.
    void TextOut(int x, int y, const QString& text);

private:
    QPainter* m_painter;
    int m_dpiX;
    int m_dpiY;
    TxColor m_textColor = 0;
    TxColor m_bkColor = 0xFFFFFF;
    int m_bkMode = OPAQUE;
    unsigned m_textAlign = TA_LEFT | TA_TOP;
    QFont m_font;
    int m_escapement = 0;
};

// Selects a CKWFont into a surface with a text angle, a background mode and a text colour, and
// measures it; closing (or destruction) restores the surface.
class CKWFontSelection {
public:
    CKWFontSelection() = default;
    CKWFontSelection(const CKWFontSelection&) = delete;
    CKWFontSelection& operator=(const CKWFontSelection&) = delete;
    ~CKWFontSelection() { Close(); }

    // angle in tenths of a degree; resolution >= 2 is used as given, 1 stands for 1270, anything
    // else for the surface's vertical pixels per inch.
    bool Open(CTXCDC& dc, const CKWFont& font, int angle, int bkMode, TxColor textColor,
              int resolution = 0);
    void Close();
    bool IsOpen() const { return m_dc != nullptr; }

    static int ResolutionFor(const CTXCDC& dc, int resolution);
    static int Escapement(int angle) { return ((3600 - angle) % 3600 + 3600) % 3600; }

    int deviceHeight = 0;  // size * resolution / 720
    QSize zeroExtent;      // extent of the text "0": the size of one digit
    int height = 0;
    int aveCharWidth = 0;
    int ascent = 0;
    int descent = 0;
    int superscriptSize = 0;
    int superscriptOffset = 0;
    int subscriptSize = 0;
    int subscriptOffset = 0;

private:
    CTXCDC* m_dc = nullptr;
    CTXCDC::FontState m_previousFont;
    int m_previousBkMode = 0;
    TxColor m_previousTextColor = 0;
};
