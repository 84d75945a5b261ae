#include "colors/ColorScaleEditModel.h"

#include <algorithm>
#include <cstdio>

CColorScaleEditModel::CColorScaleEditModel(const CKWColorScale& scale) : m_scale(scale)
{
    Select(m_scale.Count() > 0 ? 0 : -1);
}

void CColorScaleEditModel::SetLimits(int left, int right)
{
    m_left = left;
    m_right = right;
}

int CColorScaleEditModel::PixelOf(float fraction) const
{
    return int(float(m_left) + float(m_right - m_left) * fraction);
}

float CColorScaleEditModel::FractionAt(int x) const
{
    if (!HasScaleWidth())
        return 0.0f;
    return float(x - m_left) / float(m_right - m_left);
}

QRect CColorScaleEditModel::MarkerRect(int stop) const
{
    const int px = PixelOf(m_scale.Item(stop).position);
    return QRect(px - kMarkerHalfWidth, 0, 2 * kMarkerHalfWidth, kMarkerHeight);
}

QPolygon CColorScaleEditModel::MarkerOutline(int stop) const
{
    const int px = PixelOf(m_scale.Item(stop).position);
    const int h = kMarkerHalfWidth;
    return QPolygon({QPoint(px - h, h), QPoint(px, 0), QPoint(px + h, h), QPoint(px + h, kMarkerHeight),
                     QPoint(px - h, kMarkerHeight)});
}

QRect CColorScaleEditModel::MarkerInside(int stop) const
{
    const int px = PixelOf(m_scale.Item(stop).position);
    return QRect(QPoint(px - 2, 6), QPoint(px + 2, 13));
}

QString CColorScaleEditModel::Label(int stop) const
{
    const float p = m_scale.Item(stop).position;
    const float value = m_scale.Low() + (m_scale.High() - m_scale.Low()) * p;
    // The C library's rounding, as "%.0f" gives everywhere else (Qt's own formatting rounds a tie
    // such as 52.5 differently).
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", double(value));
    return QString::fromLatin1(text);
}

bool CColorScaleEditModel::SelectedIsInner() const
{
    return m_selected > 0 && m_selected < m_scale.Count() - 1;
}

bool CColorScaleEditModel::CanRemove() const
{
    return SelectedIsInner();
}

bool CColorScaleEditModel::CanChooseColor() const
{
    return m_selected >= 0;
}

void CColorScaleEditModel::Select(int stop)
{
    if (stop >= 0)
        m_currentColor = m_scale.Item(stop).color;  // range-checked
    else
        stop = -1;
    m_selected = stop;
}

int CColorScaleEditModel::HitTest(QPoint p) const
{
    for (int i = 0; i < m_scale.Count(); ++i)
        if (MarkerRect(i).contains(p))
            return i;
    return -1;
}

CColorScaleEditModel::PressResult CColorScaleEditModel::Press(QPoint p)
{
    if (m_scale.Count() == 0 || !HasScaleWidth())
        return PressResult::Ignored;
    const QRect band = MarkerRect(0).united(MarkerRect(m_scale.Count() - 1));
    if (!band.contains(p))
        return PressResult::Ignored;
    const int hit = HitTest(p);
    if (hit >= 0) {
        Select(hit);
        m_captured = true;
        return PressResult::Selected;
    }
    // Between two markers. A scale whose end stops are not at 0 and 1 has gaps where no pair of
    // stops brackets the press; nothing is inserted there.
    const int inserted = m_scale.InsertStop(FractionAt(p.x()));
    if (inserted < 0)
        return PressResult::Ignored;
    Select(inserted);
    m_captured = true;
    return PressResult::Inserted;
}

bool CColorScaleEditModel::Drag(int x)
{
    if (!m_captured || !SelectedIsInner() || !HasScaleWidth())
        return false;
    // Kept between the end stops (0 and 1 on every scale the editor builds), so a dragged stop can
    // never overtake an end stop and become one.
    const float first = m_scale.Item(0).position;
    const float last = m_scale.Item(m_scale.Count() - 1).position;
    m_scale.Item(m_selected).position = std::clamp(FractionAt(x), first, last);
    Select(m_scale.ResortStop(m_selected));
    return true;
}

bool CColorScaleEditModel::Release(int x)
{
    if (!m_captured)
        return false;
    m_captured = false;
    if (!SelectedIsInner() || (x >= m_left && x <= m_right))
        return false;
    // As the remove button does: the stop that takes the index is selected, so the enabling
    // follows the stop that is now selected.
    const int index = m_selected;
    m_scale.RemoveStop(index);
    Select(index);
    return true;
}

void CColorScaleEditModel::SetCurrentColor(TxColor color)
{
    m_currentColor = color;
    if (m_selected < 0)
        return;
    m_scale.Item(m_selected).color = color;
    m_scale.RebuildPalette();
}

bool CColorScaleEditModel::RemoveSelected()
{
    if (!CanRemove())
        return false;
    const int index = m_selected;
    m_scale.RemoveStop(index);
    Select(index);
    return true;
}

void CColorScaleEditModel::Replace(const CKWColorScale& scale)
{
    m_scale = scale;
    m_captured = false;
    Select(m_scale.Count() > 0 ? 0 : -1);
}
