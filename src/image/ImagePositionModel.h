#pragma once
// CImagePositionModel: the geometry of the Image Scale preview, free of widgets. It places the
// map's axes in a frame of the preview's aspect, draws the picture rectangle in pixels from the
// four edited values, finds the handle under a point, and turns drags into new values.
//
// Pixels count from the preview's bottom-left corner with y pointing up, so a pixel and a map
// coordinate grow the same way; the window turns its own points around before asking.
//
// Handles, numbered as the user sees them: 1 left-bottom, 2 middle-bottom, 3 right-bottom,
// 4 right-middle, 5 right-top, 6 middle-top, 7 left-top, 8 left-middle. Handle 0 is the whole
// picture, grabbed by a press inside it away from the handles.

#include <QtCore/qnamespace.h>

#include <vector>

#include "geometry/WorldRects.h"

// An axis range as the map shows it: start, stop and tick step.
struct PreviewAxisRange {
    float start = 0.0f;
    float stop = 1.0f;
    float step = 0.1f;
};

// A pixel rectangle with y up: left <= right and bottom <= top.
struct PreviewRect {
    int left = 0;
    int bottom = 0;
    int right = 0;
    int top = 0;
    int Width() const { return right - left; }
    int Height() const { return top - bottom; }
    bool Contains(int x, int y) const { return x >= left && x <= right && y >= bottom && y <= top; }
    friend bool operator==(const PreviewRect&, const PreviewRect&) = default;
};

struct PreviewPoint {
    int x = 0;
    int y = 0;
};

constexpr int kNoHandle = -1;
constexpr int kWholePicture = 0;
constexpr int kHandleCount = 8;
// A handle is hit within this many pixels of its point in both directions.
constexpr int kHandleReach = 5;
constexpr int kScaleChoiceCount = 10;

class CImagePositionModel {
public:
    CImagePositionModel(const ImageRect& opening, const PreviewAxisRange& x, const PreviewAxisRange& y);

    // The four values as edited; setting them keeps the values at opening for Revert.
    const ImageRect& Values() const { return m_values; }
    void SetValues(const ImageRect& values) { m_values = values; }
    bool Changed() const { return !(m_values == m_opening); }
    // Reset: the picture spans the axes. Revert: the values at opening.
    void Reset();
    void Revert() { m_values = m_opening; }

    // The preview's client size and the room its labels need: the widest Y tick label and the
    // label height, in pixels.
    void SetClientSize(int width, int height, int widestYLabel, int labelHeight);
    // 0..9: the axes cover 1 - 0.1 * index of the frame.
    void SetScaleIndex(int index);
    int ScaleIndex() const { return m_scaleIndex; }
    // The number a scale choice shows before ":1".
    static double ScaleFactor(int index) { return 1.0 - 0.1 * index; }

    const PreviewRect& Frame() const { return m_frame; }
    const PreviewRect& Plot() const { return m_plot; }
    PreviewRect PictureRect() const;

    // Map coordinates of a pixel and the pixel of a map coordinate (truncated), by the plot.
    double WorldX(int px) const;
    double WorldY(int py) const;
    int PixelX(double x) const;
    int PixelY(double y) const;

    PreviewPoint HandlePoint(int handle) const;
    // The first handle 1..8 within reach, else kWholePicture inside the picture, else kNoHandle.
    int HitTest(PreviewPoint p) const;
    // The resize cursor of a handle; the arrow for anything else.
    static Qt::CursorShape HandleCursor(int handle);

    // Dragging: a press on a handle or the picture starts a drag and runs one step (true);
    // elsewhere nothing happens (false). Moves run a step and remember the point; the release
    // runs a last step and ends the drag.
    bool Press(PreviewPoint p);
    void Move(PreviewPoint p);
    void Release(PreviewPoint p);
    int ActiveHandle() const { return m_active; }
    bool Dragging() const { return m_active != kNoHandle; }

    // The values from `start` to `stop` in steps of `step` (both ends included when they fall
    // on a step); empty for a step that is not positive or would give more than 500 values.
    static std::vector<double> TickValues(double start, double stop, double step);
    const PreviewAxisRange& AxisX() const { return m_axisX; }
    const PreviewAxisRange& AxisY() const { return m_axisY; }

private:
    void DragStep(PreviewPoint p);
    double ScaleX() const;
    double ScaleY() const;

    ImageRect m_opening;
    ImageRect m_values;
    PreviewAxisRange m_axisX;
    PreviewAxisRange m_axisY;
    int m_scaleIndex = 0;
    PreviewRect m_frame;
    PreviewRect m_plot;
    int m_active = kNoHandle;
    PreviewPoint m_pressed;
};
