// tessarix-cli info FILE: the document as JSON on standard output.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliDocument.h"
#include "document/TessarixDoc.h"
#include "workers/ContourMapThread.h"

namespace {

QJsonValue Colour(TxColor c)
{
    return QString::asprintf("0x%08X", c);
}

QJsonArray Floats(const CTXFloatArray& a)
{
    QJsonArray out;
    for (float v : a)
        out.append(JsonFloat(v));
    return out;
}

QJsonObject Pen(const PenRecord& p)
{
    return {{"style", int(p.style)}, {"width", p.width}, {"color", Colour(p.color)}};
}

QJsonObject Font(const FontRecord& f)
{
    return {{"face", QString::fromLatin1(f.faceName, qsizetype(strnlen(f.faceName, sizeof f.faceName)))},
            {"heightTenthsPt", f.height},
            {"weight", f.weight},
            {"italic", f.italic},
            {"underline", f.underline},
            {"strikeOut", f.strikeOut},
            {"charSet", f.charSet}};
}

QJsonObject Axis(const AxisSettings& a, bool withGridPen)
{
    QJsonObject o{{"label", a.label},
                  {"font", Font(a.font)},
                  {"fontColor", Colour(a.fontColor)},
                  {"start", JsonFloat(a.start)},
                  {"stop", JsonFloat(a.stop)},
                  {"step", JsonFloat(a.step)},
                  {"hidden", a.hidden}};
    if (withGridPen)
        o.insert(QStringLiteral("gridPen"), Pen(a.gridPen));
    return o;
}

QJsonArray Rect(const QRectF& r)
{
    return QJsonArray{r.left(), r.top(), r.right(), r.bottom()};
}

// The picture: what is stored, and what it decoded into.
QJsonObject Picture(const CTXImage& image)
{
    QJsonObject o{{"kind", image.kind()},
                  {"length", int(image.data().size())},
                  {"sourcePath", image.sourcePath()}};
    const CTXPictureInfo info = image.DecodedInfo();
    if (!info.decoded) {
        o.insert(QStringLiteral("decoded"), QJsonValue::Null);
        return o;
    }
    QJsonObject d;
    if (image.kind() == CTXImage::Metafile) {
        d.insert(QStringLiteral("enhanced"), info.enhanced);
        d.insert(QStringLiteral("frame"), Rect(info.frame));
        d.insert(QStringLiteral("bounds"), Rect(info.bounds));
        if (info.unitsPerInch > 0)
            d.insert(QStringLiteral("unitsPerInch"), info.unitsPerInch);
        d.insert(QStringLiteral("drawingSize"),
                 QJsonArray{info.drawingSize.width(), info.drawingSize.height()});
        d.insert(QStringLiteral("paletteSize"), info.paletteSize);
    } else {
        d = QJsonObject{{"width", info.width},
                        {"height", info.height},
                        {"bitsPerPixel", info.bitsPerPixel},
                        {"paletteSize", info.paletteSize},
                        {"pixelsPerMetreX", info.ppmX},
                        {"pixelsPerMetreY", info.ppmY}};
    }
    o.insert(QStringLiteral("decoded"), d);
    return o;
}

QJsonObject Settings(const CTessarixSettings& s)
{
    QJsonArray stops;
    for (const CKWColorScaleItem& item : s.colorScale.Items())
        stops.append(QJsonObject{{"position", JsonFloat(item.position)}, {"color", Colour(item.color)}});
    QJsonArray polylines;
    size_t vertex = 0;
    for (int p = 0; p < s.PolylineCount(); ++p) {
        QJsonArray points;
        // The same vertices in map coordinates, through the picture's rectangle.
        QJsonArray mapPoints;
        for (int k = 0; k < s.clipPolylines[size_t(p)] && vertex < s.clipPoints.size(); ++k, ++vertex) {
            const KW_FPOINT v = s.clipPoints[vertex];
            points.append(QJsonArray{JsonFloat(v.x), JsonFloat(v.y)});
            mapPoints.append(QJsonArray{JsonFloat(s.imageRect.x0 + (s.imageRect.x1 - s.imageRect.x0) * v.x),
                                        JsonFloat(s.imageRect.y0 + (s.imageRect.y1 - s.imageRect.y0) * v.y)});
        }
        polylines.append(QJsonObject{{"points", points},
                                     {"mapPoints", mapPoints},
                                     {"conditioning", s.conditioningFlags[size_t(p)]},
                                     {"conditioningLevel", JsonFloat(s.conditioningLevels[size_t(p)])},
                                     {"conditioningStep", s.conditioningSteps[size_t(p)]}});
    }
    return {
        {"borderPen", Pen(s.borderPen)},
        {"cursorPen", Pen(s.cursorPen)},
        {"windowColor", Colour(s.windowColor)},
        {"graphColor", Colour(s.graphColor)},
        {"generalFont", Font(s.generalFont)},
        {"generalFontColor", Colour(s.generalFontColor)},
        {"generalValue", s.generalValue},
        {"xAxis", Axis(s.xAxis, true)},
        {"yAxis", Axis(s.yAxis, true)},
        {"zAxis", Axis(s.zAxis, false)},
        {"fixedAmplitude", JsonFloat(s.fixedAmplitude)},
        {"scaleMode", s.scaleMode},
        {"useBoundaryConditions", s.useBoundaryConditions},
        {"valueBackgroundMode", s.valueBkMode},
        {"valueExponentFormat", s.valueExponentFormat},
        {"valueDecimals", s.valueDecimals},
        {"contourPen", Pen(s.contourPen)},
        {"mapMode", s.mapMode},
        {"text", s.text},
        {"imageRect", QJsonArray{JsonFloat(s.imageRect.x0), JsonFloat(s.imageRect.y0),
                                 JsonFloat(s.imageRect.x1), JsonFloat(s.imageRect.y1)}},
        {"showLabels", s.showLabels},
        {"curveTolerance", JsonFloat(s.curveTolerance)},
        {"labelDistance", s.labelDistance},
        {"edgeDistance", s.edgeDistance},
        {"labelFont", Font(s.labelFont)},
        {"labelFontColor", Colour(s.labelFontColor)},
        {"labelBackgroundColor", Colour(s.labelBkColor)},
        {"labelBackgroundMode", s.labelBkMode},
        {"showPositions", s.showPositions},
        {"showValues", s.showValues},
        {"symbolSize", s.symbolSize},
        {"symbol", s.symbol},
        {"symbolSet", s.symbolSet},
        {"valueFont", Font(s.valueFont)},
        {"relativePosition", s.relativePosition},
        {"valueFontColor", Colour(s.valueFontColor)},
        {"valueBackgroundColor", Colour(s.valueBkColor)},
        {"useColorScaleOnMap", s.useColorScaleOnMap},
        {"colorScale", QJsonObject{{"low", JsonFloat(s.colorScale.Low())},
                                   {"high", JsonFloat(s.colorScale.High())},
                                   {"stops", stops}}},
        {"gridCountX", s.gridCountX},
        {"gridCountY", s.gridCountY},
        {"extent", QJsonArray{JsonFloat(s.extent.x0), JsonFloat(s.extent.x1), JsonFloat(s.extent.y0),
                              JsonFloat(s.extent.y1)}},
        {"interpFunction", s.interpFunction},
        {"interpParameter", JsonFloat(s.interpParameter)},
        {"energyInterpolation", s.energyInterpolation},
        {"boundaryLayout", s.boundaryLayout},
        {"boundaryLevel", JsonFloat(s.boundaryLevel)},
        {"boundaryDistance", JsonFloat(s.boundaryDistance)},
        {"clipTarget", s.clipTarget},
        {"clipFillMode", s.clipFillMode},
        {"autoBoundaryPolyline", s.autoBoundaryPolyline},
        {"clipPolylines", polylines},
    };
}

int Info(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QStringList files = args.Positional();
    if (files.size() != 1 || !args.UnknownOption().isEmpty()) {
        ctx.err << CliUsageOf(QStringLiteral("info")) << "\n";
        return CliUsage;
    }
    CTessarixDoc doc;
    if (!CliOpenDocument(ctx, doc, files.first()))
        return CliRefused;

    QJsonArray columns;
    for (int c = 0; c < doc.ColumnCount(); ++c) {
        const CTessarixDataColumn& col = doc.Column(c);
        columns.append(QJsonObject{{"index", c},
                                   {"enabled", col.enabled},
                                   {"name", col.name},
                                   {"values", Floats(col.values)}});
    }
    const CoordinateInputGrid& g = doc.InputGrid();
    QJsonObject root{
        {"pointCount", doc.PointCount()},
        {"x", Floats(doc.X())},
        {"y", Floats(doc.Y())},
        {"columns", columns},
        {"settings", Settings(doc.Settings())},
        {"inputGrid", QJsonObject{{"snapMouse", g.snapMouse},
                                  {"snapX", JsonFloat(g.snapX)},
                                  {"snapY", JsonFloat(g.snapY)},
                                  {"roundKeyboard", g.roundKeyboard},
                                  {"roundX", JsonFloat(g.roundX)},
                                  {"roundY", JsonFloat(g.roundY)}}},
        {"image", Picture(doc.Image())},
    };
    ctx.out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
    // The document is shown as it is; what was brought into range on reading and what its axes
    // cannot draw is said beside it.
    for (const QString& note : doc.LoadNotes())
        ctx.err << note << "\n";
    const CMapAxis& z = doc.Axis(CTessarixDoc::AxisZ);
    if (doc.Axis(CTessarixDoc::AxisX).tickStatus != LevelSeriesStatus::Ok)
        ctx.err << TickRefusalText("X", doc.Axis(CTessarixDoc::AxisX)) << "\n";
    if (doc.Axis(CTessarixDoc::AxisY).tickStatus != LevelSeriesStatus::Ok)
        ctx.err << TickRefusalText("Y", doc.Axis(CTessarixDoc::AxisY)) << "\n";
    if (z.tickStatus != LevelSeriesStatus::Ok)
        ctx.err << LevelRefusalText(z.step, z.start, z.stop) << "\n";
    return CliOk;
}

const CliRegistration reg("info", "info FILE", "Print the document as JSON: points, columns, settings.", Info);

}  // namespace
