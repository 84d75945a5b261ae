#include "document/UndoStackSnapshot.h"

#include "util/Archive.h"

namespace {

// The axis as the settings record holds it, then its hidden flag.
void AxisGroup(CTXArchive& ar, AxisSettings& a, bool withGridPen)
{
    a.SerializeRecord(ar, withGridPen);
    ar.Int32(a.hidden);
}

// pointCount, the column count, the values of the columns, x, y. `everyColumn` records the
// disabled columns too: Edit Data cuts them to the new point count, so only their own values can
// bring the cut points back. Insert Point only appends zeros to them, which cutting undoes.
void PointTable(CTXArchive& ar, CTXUndoDocumentState& s, bool everyColumn)
{
    ar.Count(s.pointCount, 8);  // x and y alone need 8 bytes a point
    int32_t columns = kColumnCount;
    ar.Int32(columns);
    if (ar.IsLoading() && columns != kColumnCount)
        CTXArchive::FailFormat("point table with another column count");
    for (int c = 0; c < kColumnCount; ++c) {
        CTXFloatArray& v = s.values[size_t(c)];
        if (everyColumn || s.enabled[size_t(c)])
            ar.Floats(v, s.pointCount);
        else if (ar.IsLoading())
            v.resize(size_t(s.pointCount), 0.0f);
    }
    ar.Floats(s.x, s.pointCount);
    ar.Floats(s.y, s.pointCount);
}

void ColumnDefinitions(CTXArchive& ar, CTXUndoDocumentState& s)
{
    for (int c = 0; c < kColumnCount; ++c) {
        ar.Int32(s.enabled[size_t(c)]);
        ar.String(s.names[size_t(c)]);
    }
    if (ar.IsLoading())
        s.enabled[0] = 1;  // column 0 is always in use
}

void GridSetting(CTXArchive& ar, CTXUndoDocumentState& s)
{
    CTessarixSettings& t = s.settings;
    ar.Int32(t.gridCountX);
    ar.Int32(t.gridCountY);
    ar.Float(t.extent.x0);
    ar.Float(t.extent.x1);
    ar.Float(t.extent.y0);
    ar.Float(t.extent.y1);
    ar.Int32(t.interpFunction);
    ar.Float(t.interpParameter);
    CoordinateInputGrid& g = s.inputGrid;
    ar.Int32(g.snapMouse);
    ar.Float(g.snapX);
    ar.Float(g.snapY);
    ar.Int32(g.roundKeyboard);
    ar.Float(g.roundX);
    ar.Float(g.roundY);
}

void Clipping(CTXArchive& ar, CTessarixSettings& t)
{
    ar.Int32(t.clipTarget);
    ar.Int32(t.clipFillMode);
    int32_t polylines = t.PolylineCount();
    ar.Count(polylines, 16);  // four words per polyline
    if (ar.IsLoading()) {
        t.clipPolylines.assign(size_t(polylines), 0);
        t.conditioningFlags.assign(size_t(polylines), 0);
        t.conditioningLevels.assign(size_t(polylines), 0.0f);
        t.conditioningSteps.assign(size_t(polylines), 1);
    }
    for (int32_t& n : t.clipPolylines)
        ar.Int32(n);
    for (int32_t& f : t.conditioningFlags)
        ar.Int32(f);
    for (float& l : t.conditioningLevels)
        ar.Float(l);
    for (int32_t& st : t.conditioningSteps)
        ar.Int32(st);
    int32_t vertices = int32_t(t.clipPoints.size());
    ar.Count(vertices, 8);
    if (ar.IsLoading()) {
        int64_t sum = 0;
        for (int32_t n : t.clipPolylines) {
            if (n < 0)
                CTXArchive::FailFormat("negative polyline vertex count");
            sum += n;
        }
        if (sum != vertices)
            CTXArchive::FailFormat("polyline vertex counts do not add up");
        t.clipPoints.assign(size_t(vertices), KW_FPOINT{});
    }
    for (KW_FPOINT& p : t.clipPoints) {
        ar.Float(p.x);
        ar.Float(p.y);
    }
    ar.Int32(t.autoBoundaryPolyline);
}

// "Apply Changes" of the properties pane may have changed any row: the whole record, plus the
// axis labels and the energy option, which the file record keeps elsewhere.
void WholeSettings(CTXArchive& ar, CTessarixSettings& t)
{
    t.Serialize(ar);
    ar.String(t.xAxis.label);
    ar.String(t.yAxis.label);
    ar.String(t.zAxis.label);
    ar.Int32(t.energyInterpolation);
}

}  // namespace

void SerializePropertyGroup(CTXArchive& ar, int32_t group, CTessarixSettings& s)
{
    switch (group) {
    case PropGroupXAxis:
    case PropGroupYAxis: {
        AxisSettings& a = group == PropGroupXAxis ? s.xAxis : s.yAxis;
        AxisGroup(ar, a, true);
        ar.String(a.label);
        break;
    }
    case PropGroupZAxis:
        AxisGroup(ar, s.zAxis, false);
        ar.Int32(s.scaleMode);
        ar.Float(s.fixedAmplitude);
        ar.String(s.zAxis.label);
        break;
    case PropGroupGeneral:
        ar.Raw(s.borderPen);
        ar.Raw(s.cursorPen);
        ar.UInt32(s.windowColor);
        ar.UInt32(s.graphColor);
        ar.Raw(s.generalFont);
        ar.UInt32(s.generalFontColor);
        ar.Int32(s.generalValue);
        ar.Raw(s.contourPen);
        break;
    case PropGroupColorScale:
        ar.Int32(s.useColorScaleOnMap);
        s.colorScale.Serialize(ar);
        if (ar.IsLoading())
            s.colorScale.SetRange(s.zAxis.start, s.zAxis.stop);
        break;
    case PropGroupContourLabels:
        ar.Float(s.curveTolerance);
        ar.Int32(s.showLabels);
        ar.Int32(s.labelDistance);
        ar.Int32(s.edgeDistance);
        ar.Raw(s.labelFont);
        ar.Int32(s.labelBkMode);
        ar.UInt32(s.labelFontColor);
        ar.UInt32(s.labelBkColor);
        break;
    case PropGroupPositions:
        ar.Int32(s.showPositions);
        ar.Int32(s.symbolSize);
        ar.Int32(s.symbol);
        ar.String(s.symbolSet);
        ar.Int32(s.showValues);
        ar.UInt32(s.valueFontColor);
        ar.UInt32(s.valueBkColor);
        ar.Int32(s.valueBkMode);
        ar.Raw(s.valueFont);
        ar.Int32(s.relativePosition);
        break;
    case PropGroupInterpolation:
        ar.Int32(s.energyInterpolation);
        break;
    default:
        break;
    }
}

void SerializeUndoSnapshot(CTXArchive& ar, int32_t kind, int32_t argument, CTXUndoDocumentState& s)
{
    CTessarixSettings& t = s.settings;
    switch (kind) {
    case StepInsertPoint:
        PointTable(ar, s, false);
        break;
    case StepBandSum:
    case StepMergeReadings:
        PointTable(ar, s, true);
        break;
    case StepEditData:
        PointTable(ar, s, true);
        ar.Int32(t.useBoundaryConditions);
        ar.Int32(t.boundaryLayout);
        ar.Float(t.boundaryLevel);
        ar.Float(t.boundaryDistance);
        break;
    case StepMapSetup:
        ColumnDefinitions(ar, s);
        break;
    case StepGrid:
        GridSetting(ar, s);
        break;
    case StepImageScale:
        ar.Float(t.imageRect.x0);
        ar.Float(t.imageRect.y0);
        ar.Float(t.imageRect.x1);
        ar.Float(t.imageRect.y1);
        break;
    case StepImageClip:
        Clipping(ar, t);
        break;
    case StepProperty:
        if (argument == 0)
            WholeSettings(ar, t);
        else
            SerializePropertyGroup(ar, PropertyGroupOf(argument), t);
        break;
    case StepMapMode:
        ar.Int32(t.mapMode);
        break;
    case StepImage:
        s.image.Serialize(ar, true);
        break;
    case StepAutoScaleColor:
    case StepMoveColorScale:
        AxisGroup(ar, t.zAxis, false);
        break;
    default:
        break;
    }
}

CTXUndoDocumentState CaptureUndoState(const CTessarixDoc& doc)
{
    CTXUndoDocumentState s;
    s.pointCount = doc.PointCount();
    s.x = doc.X();
    s.y = doc.Y();
    for (int c = 0; c < kColumnCount && c < doc.ColumnCount(); ++c) {
        const CTessarixDataColumn& column = doc.Column(c);
        s.enabled[size_t(c)] = column.enabled;
        s.names[size_t(c)] = column.name;
        s.values[size_t(c)] = column.values;
    }
    s.settings = doc.Settings();
    s.inputGrid = doc.InputGrid();
    s.image = doc.Image();
    return s;
}

void ApplyUndoState(CTessarixDoc& doc, CTXUndoDocumentState state)
{
    for (int c = 0; c < kColumnCount && c < doc.ColumnCount(); ++c) {
        CTessarixDataColumn& column = doc.Column(c);
        column.enabled = state.enabled[size_t(c)];
        column.name = state.names[size_t(c)];
    }
    doc.SetPointTable(state.pointCount, std::move(state.x), std::move(state.y), state.values);
    doc.Settings() = state.settings;
    doc.InputGrid() = state.inputGrid;
    doc.Image() = state.image;
}

QByteArray UndoSnapshotBytes(const CTessarixDoc& doc, int32_t kind, int32_t argument)
{
    CTXUndoDocumentState s = CaptureUndoState(doc);
    QByteArray bytes;
    CTXArchive ar(&bytes);
    SerializeUndoSnapshot(ar, kind, argument, s);
    return bytes;
}

CTXUndoDocumentState RestoreUndoSnapshot(const CTessarixDoc& doc, int32_t kind, int32_t argument,
                                         const QByteArray& snapshot)
{
    CTXUndoDocumentState s = CaptureUndoState(doc);
    CTXArchive ar(snapshot);
    SerializeUndoSnapshot(ar, kind, argument, s);
    if (ar.Remaining() != 0)
        CTXArchive::FailFormat("step snapshot longer than its kind");
    return s;
}
