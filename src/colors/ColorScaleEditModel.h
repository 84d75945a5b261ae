#pragma once
// CColorScaleEditModel: what the colour scale editor does, without its widgets. It holds the
// working copy of the scale, the selected stop and the strip's scale limits L and R (the spectrum
// bar's left and right edges in strip pixels, so that markers line up with the bar).
//
// Strip geometry: a stop at fraction p sits at pixel px = truncate(L + (R - L) * p), and pixel x
// stands for the fraction (x - L) / (R - L). Each stop has a marker of 9 x 16 pixels hanging from
// the strip's top: a house shape pointing up at (px, 0), its hit rectangle (px - 4, 0)..(px + 4, 15)
// with right and bottom exclusive. Its label, the stop's value low + (high - low) * p as a whole
// number, is centred at px + 2, kLabelTop pixels below the top.
//
// Mouse gestures: a press in the band spanned by the first and last markers selects the marker
// hit (the lowest index wins where markers overlap) or inserts a stop at the press and selects it;
// a press elsewhere is ignored. After an accepted press the strip follows the pointer: dragging
// moves an inner stop (re-sorting it past its neighbours) and releasing it left of L or right of R
// removes it. The first and last stops never move and are never removed.

#include <QPolygon>
#include <QRect>
#include <QString>

#include "colors/KWColorScale.h"

class CColorScaleEditModel {
public:
    static constexpr int kMarkerHalfWidth = 4;
    static constexpr int kMarkerHeight = 15;
    static constexpr int kLabelTop = 17;
    static constexpr int kLabelCentreOffset = 2;

    enum class PressResult { Ignored, Selected, Inserted };

    // The working copy starts as `scale` with stop 0 selected.
    explicit CColorScaleEditModel(const CKWColorScale& scale);

    const CKWColorScale& Scale() const { return m_scale; }

    void SetLimits(int left, int right);
    int Left() const { return m_left; }
    int Right() const { return m_right; }

    int PixelOf(float fraction) const;
    float FractionAt(int x) const;
    QRect MarkerRect(int stop) const;
    QPolygon MarkerOutline(int stop) const;
    QRect MarkerInside(int stop) const;
    // The stop's value, "%.0f".
    QString Label(int stop) const;

    // -1 when no stop is selected.
    int Selected() const { return m_selected; }
    TxColor CurrentColor() const { return m_currentColor; }
    // Only inner stops can be removed; a colour can be chosen once a stop is selected.
    bool CanRemove() const;
    bool CanChooseColor() const;
    // Selects `stop` (-1 for none) and takes its colour as the current colour.
    void Select(int stop);

    // The stop under `p` in strip pixels, or -1.
    int HitTest(QPoint p) const;
    PressResult Press(QPoint p);
    // While a press is held: moves the selected inner stop to x; true when a stop moved.
    bool Drag(int x);
    // Ends the press; true when the selected inner stop was let go off the scale and removed.
    bool Release(int x);
    bool Captured() const { return m_captured; }

    // The current colour becomes `color`, and so does the selected stop's colour.
    void SetCurrentColor(TxColor color);
    // Removes the selected stop when it can be removed and selects the stop that took its index.
    bool RemoveSelected();
    // A loaded scale replaces stops, low and high; stop 0 is selected.
    void Replace(const CKWColorScale& scale);

private:
    bool SelectedIsInner() const;
    bool HasScaleWidth() const { return m_right > m_left; }

    CKWColorScale m_scale;
    int m_left = 0;
    int m_right = 0;
    int m_selected = -1;
    TxColor m_currentColor = 0;
    bool m_captured = false;
};
