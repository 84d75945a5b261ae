#include "render/TessarixViewModel.h"

#include "document/TessarixDoc.h"
#include "util/LevelSeries.h"

ArrowBoxes ArrowBoxesOf(const TxRect& b)
{
    if (b.IsEmpty())
        return {};
    const int w = b.Width();
    return {{b.left, b.top - w, b.right, b.top - 4}, {b.left, b.bottom + 4, b.right, b.bottom + w}};
}

bool BoxContains(const TxRect& r, int px, int py)
{
    return !r.IsEmpty() && px >= r.left && px < r.right && py >= r.top && py < r.bottom;
}

QString CursorReadout::XText() const
{
    return xyValid ? QString::asprintf("X= %g", double(x)) : QStringLiteral("X= ...");
}

QString CursorReadout::YText() const
{
    return xyValid ? QString::asprintf("Y= %g", double(y)) : QStringLiteral("Y= ...");
}

QString CursorReadout::ZText() const
{
    return zValid ? QString::asprintf("Z= %g", double(z)) : QStringLiteral("Z= ...");
}

QString CursorReadout::ZTooltip() const
{
    return zValid ? QString::asprintf("%g", double(z)) : QString();
}

void PixelToMap(const CTessarixDoc& doc, int px, int py, float* x, float* y)
{
    CMapAxis ax = doc.Axis(CTessarixDoc::AxisX);
    CMapAxis ay = doc.Axis(CTessarixDoc::AxisY);
    ax.SetAxisRect(doc.Layout().graph);
    ay.SetAxisRect(doc.Layout().graph);
    // A degenerate graph (no room yet) has no scale; its left or bottom edge stands for start.
    *x = ax.scale != 0.0f ? float(px - ax.left) / ax.scale + ax.start : ax.start;
    *y = ay.scale != 0.0f ? float(ay.bottom - py) / ay.scale + ay.start : ay.start;
    const CoordinateInputGrid& grid = doc.InputGrid();
    // A zero or negative snap step would divide by zero; that axis is left unsnapped.
    if (grid.snapMouse && grid.snapX > 0.0f)
        *x = RoundToMultiple(*x, grid.snapX);
    if (grid.snapMouse && grid.snapY > 0.0f)
        *y = RoundToMultiple(*y, grid.snapY);
}

void MapToPixel(const CTessarixDoc& doc, float x, float y, int* px, int* py)
{
    CMapAxis ax = doc.Axis(CTessarixDoc::AxisX);
    CMapAxis ay = doc.Axis(CTessarixDoc::AxisY);
    ax.SetAxisRect(doc.Layout().graph);
    ay.SetAxisRect(doc.Layout().graph);
    *px = ax.WorldToDevice(x);
    *py = ay.WorldToDevice(y);
}

CursorReadout ReadCursor(CTessarixDoc& doc, int column, int px, int py)
{
    CursorReadout r;
    PixelToMap(doc, px, py, &r.x, &r.y);
    r.xyValid = true;
    if (column >= 0)
        r.zValid = doc.Maps().SurfaceValueAt(column, r.x, r.y, doc.Settings(), &r.z);
    return r;
}

bool ColourArrowsActive(const CTessarixDoc& doc)
{
    return doc.Settings().scaleMode == ScaleNormal;
}

bool AutorangeEnabled(const CTessarixDoc& doc)
{
    return doc.PointCount() >= 4 && doc.Settings().scaleMode != ScaleFixedAmplitude;
}
