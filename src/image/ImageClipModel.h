#pragma once
// CImageClipModel: the working copy of the clipping polylines and the editing tools of the Image
// Clip window, free of widgets. The window passes its mouse events in window pixels; the model
// changes the polylines and tells the window what to show or sound.
//
// Tools: the creation tools (Line, Rect, Ellipse) build a new polyline from clicks; Add point and
// Remove point work on the selected polyline; with no tool, pressing on a vertex of the selected
// polyline drags it. Every position is clamped to the picture rectangle first. Choosing a tool or
// a right click cancels what is in progress; a finished polyline ends the tool.

#include <QPoint>

#include <vector>

#include "image/ClipPolylineSet.h"
#include "image/ImageClipGeometry.h"

enum class ClipTool { None, Line, Rect, Ellipse, AddPoint, RemovePoint };

// What an event asks of the window besides repainting.
enum class ClipOutcome {
    Nothing,        // nothing changed
    Changed,        // the polylines, the selection or the rubber band changed: repaint
    Refused,        // the information beep, nothing changed
    TooFewPoints,   // a line ended below three vertices and was removed: message 409
};

constexpr int kNoPolyline = -1;

class CImageClipModel {
public:
    CImageClipModel(ClipPolylineSet set, float defaultLevel);

    const ClipPolylineSet& Set() const { return m_set; }
    ClipPolylineSet& Set() { return m_set; }
    float DefaultLevel() const { return m_defaultLevel; }

    void SetGeometry(const CImageClipGeometry& geometry) { m_geometry = geometry; }
    const CImageClipGeometry& Geometry() const { return m_geometry; }

    // The selected polyline, or kNoPolyline; Select clamps to the polylines there are.
    int Selected() const { return m_selected; }
    void Select(int index);
    // Moves the selection by `delta`, clamped to the first and last polyline.
    void StepSelection(int delta) { Select(m_selected + delta); }
    // Removes the selected polyline; the selection stays at its index or moves to the last.
    bool DeleteSelected();

    ClipTool Tool() const { return m_tool; }
    void ChooseTool(ClipTool tool);
    // Ends what is in progress: the polyline of an unfinished line is removed.
    ClipOutcome Cancel();

    // Mouse events in window pixels.
    ClipOutcome Press(QPoint p);
    ClipOutcome Move(QPoint p);
    ClipOutcome Release(QPoint p);
    ClipOutcome DoubleClick(QPoint p);
    ClipOutcome RightClick() { return Cancel(); }

    // What the rubber band shows: for a line the segment from the last vertex, for a rectangle
    // or an ellipse the first corner and the mouse; empty when nothing follows the mouse.
    bool HasRubberBand() const { return m_anchored; }
    QPoint Anchor() const { return m_anchor; }
    QPoint Mouse() const { return m_mouse; }
    bool DraggingVertex() const { return m_dragVertex >= 0; }
    // The index of the polyline a Line is building, or kNoPolyline.
    int LineInProgress() const { return m_linePolyline; }

private:
    ClipOutcome ClickForLine(QPoint p);
    ClipOutcome ClickForCorner(QPoint p);
    ClipOutcome AddPointAt(QPoint p);
    ClipOutcome RemovePointAt(QPoint p);
    ClipOutcome FinishPolyline(std::vector<KW_FPOINT> vertices);
    ClipPolyline NewPolyline() const;
    std::vector<QPoint> SelectedOutline() const;

    ClipPolylineSet m_set;
    float m_defaultLevel;
    CImageClipGeometry m_geometry;
    int m_selected = kNoPolyline;
    ClipTool m_tool = ClipTool::None;
    // The rubber band's fixed end and the mouse, both clamped.
    bool m_anchored = false;
    QPoint m_anchor;
    QPoint m_mouse;
    int m_linePolyline = kNoPolyline;
    int m_dragVertex = -1;
};
