#include "image/ImageClipModel.h"

#include <algorithm>

CImageClipModel::CImageClipModel(ClipPolylineSet set, float defaultLevel)
    : m_set(std::move(set)), m_defaultLevel(defaultLevel)
{
    Select(int(m_set.polylines.size()) - 1);
}

void CImageClipModel::Select(int index)
{
    const int count = int(m_set.polylines.size());
    m_selected = count == 0 ? kNoPolyline : std::clamp(index, 0, count - 1);
}

bool CImageClipModel::DeleteSelected()
{
    if (m_selected == kNoPolyline)
        return false;
    Cancel();
    m_set.polylines.erase(m_set.polylines.begin() + m_selected);
    Select(m_selected);
    return true;
}

void CImageClipModel::ChooseTool(ClipTool tool)
{
    Cancel();
    m_tool = tool;
}

ClipOutcome CImageClipModel::Cancel()
{
    const bool busy = m_tool != ClipTool::None || m_dragVertex >= 0;
    if (m_linePolyline != kNoPolyline) {
        m_set.polylines.erase(m_set.polylines.begin() + m_linePolyline);
        Select(m_selected);
    }
    m_linePolyline = kNoPolyline;
    m_anchored = false;
    m_dragVertex = -1;
    m_tool = ClipTool::None;
    return busy ? ClipOutcome::Changed : ClipOutcome::Nothing;
}

ClipPolyline CImageClipModel::NewPolyline() const
{
    ClipPolyline polyline;
    polyline.level = m_defaultLevel;
    return polyline;
}

std::vector<QPoint> CImageClipModel::SelectedOutline() const
{
    if (m_selected == kNoPolyline)
        return {};
    return m_geometry.ToPixels(m_set.polylines[size_t(m_selected)].vertices);
}

ClipOutcome CImageClipModel::Press(QPoint p)
{
    m_mouse = m_geometry.Clamp(p);
    if (m_tool != ClipTool::None || m_selected == kNoPolyline)
        return ClipOutcome::Nothing;
    m_dragVertex = VertexNear(SelectedOutline(), p);
    return m_dragVertex >= 0 ? ClipOutcome::Changed : ClipOutcome::Nothing;
}

ClipOutcome CImageClipModel::Move(QPoint p)
{
    m_mouse = m_geometry.Clamp(p);
    if (m_dragVertex >= 0) {
        m_set.polylines[size_t(m_selected)].vertices[size_t(m_dragVertex)] = m_geometry.ToPicture(m_mouse);
        return ClipOutcome::Changed;
    }
    // The tool cursor and any rubber band follow the mouse.
    return m_tool != ClipTool::None ? ClipOutcome::Changed : ClipOutcome::Nothing;
}

ClipOutcome CImageClipModel::Release(QPoint p)
{
    if (m_dragVertex >= 0) {
        const ClipOutcome moved = Move(p);
        m_dragVertex = -1;
        return moved;
    }
    m_mouse = m_geometry.Clamp(p);
    switch (m_tool) {
    case ClipTool::Line: return ClickForLine(m_mouse);
    case ClipTool::Rect:
    case ClipTool::Ellipse: return ClickForCorner(m_mouse);
    case ClipTool::AddPoint: return AddPointAt(m_mouse);
    case ClipTool::RemovePoint: return RemovePointAt(p);
    case ClipTool::None: break;
    }
    return ClipOutcome::Nothing;
}

ClipOutcome CImageClipModel::DoubleClick(QPoint p)
{
    m_mouse = m_geometry.Clamp(p);
    if (m_tool != ClipTool::Line || m_linePolyline == kNoPolyline)
        return ClipOutcome::Nothing;
    // The press and release before this event already placed the last vertex; the release
    // after it finds the tool ended.
    const int index = m_linePolyline;
    m_linePolyline = kNoPolyline;
    m_anchored = false;
    m_tool = ClipTool::None;
    if (int(m_set.polylines[size_t(index)].vertices.size()) < kMinPolylineVertices) {
        m_set.polylines.erase(m_set.polylines.begin() + index);
        Select(m_selected);
        return ClipOutcome::TooFewPoints;
    }
    m_selected = index;
    return ClipOutcome::Changed;
}

ClipOutcome CImageClipModel::ClickForLine(QPoint p)
{
    if (m_linePolyline == kNoPolyline) {
        m_set.polylines.push_back(NewPolyline());
        m_linePolyline = int(m_set.polylines.size()) - 1;
    }
    m_set.polylines[size_t(m_linePolyline)].vertices.push_back(m_geometry.ToPicture(p));
    m_anchor = p;
    m_anchored = true;
    return ClipOutcome::Changed;
}

ClipOutcome CImageClipModel::ClickForCorner(QPoint p)
{
    if (!m_anchored) {
        m_anchor = p;
        m_anchored = true;
        return ClipOutcome::Changed;
    }
    m_anchored = false;
    return FinishPolyline(m_tool == ClipTool::Rect ? m_geometry.RectangleVertices(m_anchor, p)
                                                   : m_geometry.EllipseVertices(m_anchor, p));
}

ClipOutcome CImageClipModel::FinishPolyline(std::vector<KW_FPOINT> vertices)
{
    ClipPolyline polyline = NewPolyline();
    polyline.vertices = std::move(vertices);
    m_set.polylines.push_back(std::move(polyline));
    m_selected = int(m_set.polylines.size()) - 1;
    m_tool = ClipTool::None;
    return ClipOutcome::Changed;
}

ClipOutcome CImageClipModel::AddPointAt(QPoint p)
{
    const int segment = SegmentNear(SelectedOutline(), p);
    if (segment < 0)
        return ClipOutcome::Refused;
    auto& vertices = m_set.polylines[size_t(m_selected)].vertices;
    vertices.insert(vertices.begin() + segment + 1, m_geometry.ToPicture(p));
    return ClipOutcome::Changed;
}

ClipOutcome CImageClipModel::RemovePointAt(QPoint p)
{
    const int vertex = VertexNear(SelectedOutline(), p);
    if (vertex < 0)
        return ClipOutcome::Refused;
    auto& vertices = m_set.polylines[size_t(m_selected)].vertices;
    if (int(vertices.size()) <= kMinPolylineVertices)
        return ClipOutcome::Refused;
    vertices.erase(vertices.begin() + vertex);
    return ClipOutcome::Changed;
}
