#include "document/SettingsCheck.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "document/DocStrings.h"
#include "document/TessarixSettings.h"
#include "util/Archive.h"
#include "util/StringTable.h"

namespace {

[[noreturn]] void Refuse(int fieldId)
{
    CTXArchive::FailFormat("settings value out of range", TxFormat(IDS_BAD_SETTING, TxString(fieldId)));
}

bool SaneMagnitude(float v)
{
    return std::isfinite(v) && std::fabs(v) <= kMaxSettingMagnitude;
}

void RequireSane(std::initializer_list<float> values, int fieldId)
{
    for (float v : values)
        if (!SaneMagnitude(v))
            Refuse(fieldId);
}

bool Within(int32_t v, int32_t lo, int32_t hi)
{
    return v >= lo && v <= hi;
}

// Start and stop any finite coordinate; a step that moves a value (positive).
void CheckAxis(const AxisSettings& a, int startId, int stopId, int stepId)
{
    RequireSane({a.start}, startId);
    RequireSane({a.stop}, stopId);
    if (!SaneMagnitude(a.step) || !(a.step > 0.0f))
        Refuse(stepId);
}

bool SaneFont(const FontRecord& f)
{
    return Within(f.height, -kMaxFontHeight, kMaxFontHeight) && Within(f.width, -kMaxFontHeight, kMaxFontHeight) &&
           Within(f.weight, 0, kMaxFontWeight) && Within(f.escapement, -kMaxFontAngle, kMaxFontAngle) &&
           Within(f.orientation, -kMaxFontAngle, kMaxFontAngle);
}

}  // namespace

QStringList CheckLoadedSettings(CTessarixSettings& s)
{
    CheckAxis(s.xAxis, IDS_FIELD_X_START, IDS_FIELD_X_STOP, IDS_FIELD_X_STEP);
    CheckAxis(s.yAxis, IDS_FIELD_Y_START, IDS_FIELD_Y_STOP, IDS_FIELD_Y_STEP);
    CheckAxis(s.zAxis, IDS_FIELD_Z_START, IDS_FIELD_Z_STOP, IDS_FIELD_Z_STEP);
    RequireSane({s.fixedAmplitude}, IDS_FIELD_FIXED_AMPLITUDE);
    RequireSane({s.imageRect.x0, s.imageRect.y0, s.imageRect.x1, s.imageRect.y1}, IDS_FIELD_IMAGE_RECT);
    RequireSane({s.curveTolerance}, IDS_FIELD_CURVE_TOLERANCE);
    RequireSane({s.extent.x0, s.extent.x1, s.extent.y0, s.extent.y1}, IDS_FIELD_EXTENT);
    RequireSane({s.interpParameter}, IDS_FIELD_INTERP_PARAMETER);
    RequireSane({s.boundaryLevel, s.boundaryDistance}, IDS_FIELD_BOUNDARY);
    for (const KW_FPOINT& p : s.clipPoints)
        RequireSane({p.x, p.y}, IDS_FIELD_CLIP_POINTS);
    for (float level : s.conditioningLevels)
        RequireSane({level}, IDS_FIELD_CONDITIONING);
    for (int32_t step : s.conditioningSteps)
        if (step < 1)
            Refuse(IDS_FIELD_CONDITIONING);

    for (const PenRecord* pen : {&s.borderPen, &s.cursorPen, &s.contourPen, &s.xAxis.gridPen, &s.yAxis.gridPen})
        if (!Within(pen->width, 0, kMaxPenWidth))
            Refuse(IDS_FIELD_PEN_WIDTH);
    for (const FontRecord* font : {&s.generalFont, &s.xAxis.font, &s.yAxis.font, &s.zAxis.font, &s.labelFont,
                                   &s.valueFont})
        if (!SaneFont(*font))
            Refuse(IDS_FIELD_FONT);
    if (!Within(s.symbol, 0, kMaxSymbol))
        Refuse(IDS_FIELD_SYMBOL);
    if (!Within(s.symbolSize, 0, kMaxSymbolSize))
        Refuse(IDS_FIELD_SYMBOL_SIZE);
    if (!Within(s.labelDistance, 0, kMaxLabelDistance) || !Within(s.edgeDistance, 0, kMaxLabelDistance))
        Refuse(IDS_FIELD_LABEL_DISTANCE);

    // The value format's decimals have no editor bound; an older program may have kept any count.
    QStringList notes;
    if (!Within(s.valueDecimals, 0, kMaxValueDecimals)) {
        const int32_t clamped = s.valueDecimals < 0 ? 0 : kMaxValueDecimals;
        notes << TxString(IDS_SETTING_CLAMPED)
                     .arg(TxString(IDS_FIELD_VALUE_DECIMALS), QString::number(s.valueDecimals), QString::number(clamped));
        s.valueDecimals = clamped;
    }
    return notes;
}
