#include "document/TessarixSettings.h"

#include <cmath>
#include <numeric>

#include "document/DocStrings.h"
#include "util/Archive.h"
#include "util/LevelSeries.h"
#include "util/StringTable.h"

const char* const kDefaultAxisLabels[3] = {"X", "Y", "dB"};

CTessarixSettings::CTessarixSettings()
{
    ResetToDefaults();
}

CTessarixSettings::CTessarixSettings(const CTessarixSettings& other) : TessarixSettingsFields(other)
{
    colorScale.SetRange(zAxis.start, zAxis.stop);
}

CTessarixSettings& CTessarixSettings::operator=(const CTessarixSettings& other)
{
    TessarixSettingsFields::operator=(other);
    colorScale.SetRange(zAxis.start, zAxis.stop);
    return *this;
}

void CTessarixSettings::ResetToDefaults()
{
    static_cast<TessarixSettingsFields&>(*this) = TessarixSettingsFields();
    xAxis.label = QString::fromLatin1(kDefaultAxisLabels[0]);
    yAxis.label = QString::fromLatin1(kDefaultAxisLabels[1]);
    zAxis.label = QString::fromLatin1(kDefaultAxisLabels[2]);
    zAxis.start = 20.0f;
    zAxis.stop = 80.0f;
    zAxis.step = 10.0f;
    colorScale.SetRange(zAxis.start, zAxis.stop);
}

namespace {

// The flag word near the end of the record.
constexpr int32_t kXHiddenBit = 1;
constexpr int32_t kYHiddenBit = 2;
constexpr int32_t kZHiddenBit = 4;
constexpr int32_t kFixedAmplitudeBit = 8;

}  // namespace

void AxisSettings::SerializeRecord(CTXArchive& ar, bool withGridPen)
{
    ar.Raw(font);
    ar.UInt32(fontColor);
    if (withGridPen)
        ar.Raw(gridPen);
    ar.Float(start);
    ar.Float(stop);
    ar.Float(step);
}

void CTessarixSettings::Serialize(CTXArchive& ar)
{
    int32_t version = kFileVersion;
    ar.Int32(version);
    if (ar.IsLoading() && (version < 0 || version > kFileVersion))
        CTXArchive::FailFormat("unknown settings version");

    ar.Raw(borderPen);
    ar.Raw(cursorPen);
    ar.UInt32(windowColor);
    ar.UInt32(graphColor);
    ar.Raw(generalFont);
    ar.UInt32(generalFontColor);
    ar.Int32(generalValue);

    xAxis.SerializeRecord(ar, true);
    yAxis.SerializeRecord(ar, true);
    zAxis.SerializeRecord(ar, false);

    ar.Int32(useColorScaleOnMap);
    ar.Int32(showPositions);
    ar.Int32(showValues);
    ar.Int32(showLabels);
    ar.Int32(useBoundaryConditions);
    ar.Int32(labelBkMode);
    ar.Int32(valueBkMode);
    ar.Int32(valueExponentFormat);
    ar.Int32(valueDecimals);

    ar.Raw(contourPen);
    ar.Int32(mapMode);
    ar.String(text);
    ar.Float(imageRect.x0);
    ar.Float(imageRect.y0);
    ar.Float(imageRect.x1);
    ar.Float(imageRect.y1);
    ar.Float(curveTolerance);

    ar.Int32(labelDistance);
    ar.Int32(edgeDistance);
    ar.Raw(labelFont);
    ar.UInt32(labelFontColor);
    ar.UInt32(labelBkColor);

    ar.Int32(symbolSize);
    ar.Int32(symbol);
    ar.String(symbolSet);
    ar.Raw(valueFont);
    ar.Int32(relativePosition);
    ar.UInt32(valueFontColor);
    ar.UInt32(valueBkColor);

    colorScale.Serialize(ar);
    if (ar.IsLoading())
        colorScale.SetRange(zAxis.start, zAxis.stop);

    ar.Int32(gridCountX);
    ar.Int32(gridCountY);
    if (ar.IsLoading() && (gridCountX < 1 || gridCountY < 1 || gridCountX > kMaxGridCount || gridCountY > kMaxGridCount))
        CTXArchive::FailFormat("grid count out of range", TxFormat(IDS_BAD_SETTING, TxString(IDS_FIELD_GRID_COUNT)));
    if (version >= 1) {
        ar.Float(extent.x0);
        ar.Float(extent.x1);
        ar.Float(extent.y0);
        ar.Float(extent.y1);
    } else {
        extent = {xAxis.start, xAxis.stop, yAxis.start, yAxis.stop};
    }

    ar.Int32(interpFunction);
    ar.Float(interpParameter);
    ar.Int32(boundaryLayout);
    ar.Float(boundaryLevel);
    ar.Float(boundaryDistance);
    ar.Int32(clipTarget);
    ar.Int32(clipFillMode);

    int32_t polylines = int32_t(clipPolylines.size());
    ar.Count(polylines, 4);
    if (ar.IsLoading())
        clipPolylines.assign(size_t(polylines), 0);
    for (int32_t& n : clipPolylines)
        ar.Int32(n);
    int32_t vertices = int32_t(clipPoints.size());
    ar.Count(vertices, 8);
    if (ar.IsLoading()) {
        int64_t sum = 0;
        for (int32_t n : clipPolylines) {
            if (n < 0)
                CTXArchive::FailFormat("negative polyline vertex count");
            sum += n;
        }
        if (sum != vertices)
            CTXArchive::FailFormat("polyline vertex counts do not add up");
        clipPoints.assign(size_t(vertices), KW_FPOINT{});
    }
    for (KW_FPOINT& p : clipPoints) {
        ar.Float(p.x);
        ar.Float(p.y);
    }

    if (version >= 2) {
        ar.Int32(autoBoundaryPolyline);
        if (ar.IsLoading()) {
            ar.Require(qsizetype(polylines) * 12);
            conditioningFlags.assign(size_t(polylines), 0);
            conditioningLevels.assign(size_t(polylines), 0.0f);
            conditioningSteps.assign(size_t(polylines), 1);
        }
        for (int32_t& f : conditioningFlags)
            ar.Int32(f);
        for (float& l : conditioningLevels)
            ar.Float(l);
        for (int32_t& s : conditioningSteps)
            ar.Int32(s);
    } else {
        autoBoundaryPolyline = 0;
        conditioningFlags.assign(size_t(polylines), 0);
        conditioningLevels.assign(size_t(polylines), boundaryLevel);
        conditioningSteps.assign(size_t(polylines), 1);
    }

    int32_t flags = (xAxis.hidden ? kXHiddenBit : 0) | (yAxis.hidden ? kYHiddenBit : 0) |
                    (zAxis.hidden ? kZHiddenBit : 0) | (scaleMode != ScaleNormal ? kFixedAmplitudeBit : 0);
    ar.Int32(flags);
    if (ar.IsLoading()) {
        xAxis.hidden = (flags & kXHiddenBit) ? 1 : 0;
        yAxis.hidden = (flags & kYHiddenBit) ? 1 : 0;
        zAxis.hidden = (flags & kZHiddenBit) ? 1 : 0;
        scaleMode = (flags & kFixedAmplitudeBit) ? ScaleFixedAmplitude : ScaleNormal;
    }
    ar.Float(fixedAmplitude);
    if (ar.IsLoading() && !(fixedAmplitude > 0.0f))
        fixedAmplitude = 20.0f;
    for (int i = 0; i < 8; ++i) {
        float reserved = 0.0f;
        ar.Float(reserved);
    }
}

bool CTessarixSettings::FixedAmplitudeRange(float maximum, float* start, float* stop) const
{
    if (scaleMode == ScaleNormal)
        return false;
    *start = maximum - fixedAmplitude;
    *stop = maximum;
    return true;
}

void CTessarixSettings::ColourRange(float maximum, float* start, float* stop) const
{
    if (FixedAmplitudeRange(maximum, start, stop))
        return;
    *start = zAxis.start;
    *stop = zAxis.stop;
}

CTessarixSettings::LevelRange CTessarixSettings::ContourLevels(float maximum)
{
    LevelRange r;
    ColourRange(maximum, &r.start, &r.stop);
    r.step = zAxis.step;
    colorScale.SetRange(r.start, r.stop);
    r.levels = LevelSeries(r.start, r.stop, r.step, &r.status);
    return r;
}

void CTessarixSettings::ShiftColourRange(bool up)
{
    const float d = zAxis.step / 5.0f;
    if (up) {
        zAxis.start += d;
        zAxis.stop += d;
    } else {
        zAxis.start -= d;
        zAxis.stop -= d;
    }
    zAxis.start = RoundToMultiple(zAxis.start, 0.000001f);
    zAxis.stop = RoundToMultiple(zAxis.stop, 0.000001f);
}

bool CTessarixSettings::AutoRangeColour(float smallest, float largest, bool hasValues)
{
    const float hi = hasValues ? std::ceil(largest) : 0.0f;
    const float lo = hasValues ? std::floor(smallest) : 0.0f;
    if (!(hi > lo))
        return false;
    const float d = zAxis.step / 5.0f;
    zAxis.start = RoundToMultiple(lo, d);
    zAxis.stop = RoundToMultiple(hi, d);
    return true;
}
