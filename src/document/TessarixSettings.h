#pragma once
// CTessarixSettings: every choice about how a map is computed and drawn. The document owns one;
// every map request copies it by value; the document file and the undo steps store it.
//
// Settings file record (little-endian), written as version 2; versions 0 and 1 are read too:
//   version; borderPen, cursorPen, windowColor, graphColor; general font + colour, general value;
//   xAxis and yAxis: font, fontColor, gridPen, start, stop, step; zAxis: font, fontColor, start,
//   stop, step; nine int32 flags (colour scale on map, positions, values, labels, boundary
//   conditions, label background mode, value background mode, exponent format, decimals);
//   contourPen, mapMode, text; imageRect, curve tolerance; label distance, edge distance, label
//   font, label font colour, label background colour; symbol size, symbol, symbol set, value font,
//   relative position, value font colour, value background colour; the colour scale record;
//   gridCountX, gridCountY; extent (version >= 1); function, parameter, boundary layout, level,
//   distance, clip target, clip fill mode; polyline count + point counts; vertex count + vertices;
//   version 2: automatic boundary flag and per-polyline conditioning flags, levels, steps; then a
//   flag word (bit 0..2 axis hidden, bit 3 scale mode), the fixed amplitude and 8 reserved floats.
//
// The axis labels and the energy option are not part of that record; the document file keeps
// them in optional blocks of their own after the reserved words (see TessarixDoc.cpp).

#include <QString>

#include <vector>

#include "colors/KWColorScale.h"
#include "geometry/WorldRects.h"
#include "util/LevelSeries.h"
#include "util/RbfKernel.h"
#include "util/TxTypes.h"

class CTXArchive;

struct AxisSettings {
    // The axis in the settings record: font, font colour, the grid pen when `withGridPen`, start,
    // stop and step. The undo groups add the hidden flag (the record keeps it in a flag word).
    void SerializeRecord(CTXArchive& ar, bool withGridPen);

    QString label;
    FontRecord font;
    TxColor fontColor = 0;
    PenRecord gridPen{PenSolid, 1, 0, 0x808080};
    float start = 0.0f;
    float stop = 1.0f;
    float step = 0.1f;
    int32_t hidden = 0;
    friend bool operator==(const AxisSettings&, const AxisSettings&) = default;
};

// The largest interpolation grid count in either direction (what the Grid Setting dialog allows);
// a file with a count outside 1..kMaxGridCount is refused.
inline constexpr int32_t kMaxGridCount = 1000;

enum MapMode : int32_t { MapModeNormal = 0, MapModeColorMap = 1, MapModeImage = 2, MapModeImageColorMap = 3 };
// Where the boundary conditions put their points.
enum BoundaryLayout : int32_t { BoundaryCorners = 0, BoundarySides = 1, BoundaryCornersAndSides = 2 };
enum ClipTarget : int32_t { ClipMapOnly = 0, ClipImageOnly = 1, ClipMapAndImage = 2 };

// Property identifiers: the thousands select the undo group, the identifier the axis refresh.
// The groups, an identifier's thousands:
enum PropertyGroup : int32_t {
    PropGroupXAxis = 1000,
    PropGroupYAxis = 2000,
    PropGroupZAxis = 3000,
    PropGroupGeneral = 4000,
    PropGroupColorScale = 5000,
    PropGroupContourLabels = 6000,
    PropGroupPositions = 7000,
    PropGroupInterpolation = 8000,
};
// The rows of an axis group, an identifier's remainder below its thousands.
enum AxisRow : int32_t { AxisRowFont = 1, AxisRowRange = 2, AxisRowLabel = 3, AxisRowHidden = 4, AxisRowScaleMode = 5 };
constexpr int32_t AxisProperty(PropertyGroup axis, AxisRow row) { return int32_t(axis) + int32_t(row); }

enum PropertyId : int32_t {
    PropXFont = AxisProperty(PropGroupXAxis, AxisRowFont),
    PropXRange = AxisProperty(PropGroupXAxis, AxisRowRange),
    PropXLabel = AxisProperty(PropGroupXAxis, AxisRowLabel),
    PropXHidden = AxisProperty(PropGroupXAxis, AxisRowHidden),
    PropYFont = AxisProperty(PropGroupYAxis, AxisRowFont),
    PropYRange = AxisProperty(PropGroupYAxis, AxisRowRange),
    PropYLabel = AxisProperty(PropGroupYAxis, AxisRowLabel),
    PropYHidden = AxisProperty(PropGroupYAxis, AxisRowHidden),
    PropZFont = AxisProperty(PropGroupZAxis, AxisRowFont),
    PropZRange = AxisProperty(PropGroupZAxis, AxisRowRange),
    PropZLabel = AxisProperty(PropGroupZAxis, AxisRowLabel),
    PropZHidden = AxisProperty(PropGroupZAxis, AxisRowHidden),
    PropZScaleMode = AxisProperty(PropGroupZAxis, AxisRowScaleMode),
    PropGeneral = PropGroupGeneral,
    PropColorScale = PropGroupColorScale,
    PropContourLabels = PropGroupContourLabels,
    PropPositions = PropGroupPositions,
    PropInterpolation = PropGroupInterpolation,
    PropAllAxes = -1,
};

constexpr int32_t kPropertyGroupSize = 1000;
// The group of a property identifier (its thousands) and its row inside an axis group.
constexpr int32_t PropertyGroupOf(int32_t id) { return id / kPropertyGroupSize * kPropertyGroupSize; }
constexpr int32_t AxisRowOf(int32_t id) { return id % kPropertyGroupSize; }

enum ScaleMode : int32_t { ScaleNormal = 0, ScaleFixedAmplitude = 1 };  // "Fixed Amplitude from Max Level"

// The plain fields, copied member by member.
struct TessarixSettingsFields {
    PenRecord borderPen;
    PenRecord cursorPen;
    TxColor windowColor = 0xFFFFFF;
    TxColor graphColor = 0xFFFFFF;
    FontRecord generalFont;
    TxColor generalFontColor = 0;
    int32_t generalValue = 0;

    AxisSettings xAxis;
    AxisSettings yAxis;
    AxisSettings zAxis;
    float fixedAmplitude = 20.0f;
    int32_t scaleMode = ScaleNormal;

    int32_t useBoundaryConditions = 1;
    int32_t valueBkMode = 0;
    int32_t valueExponentFormat = 0;
    int32_t valueDecimals = 1;

    PenRecord contourPen;
    int32_t mapMode = MapModeNormal;
    QString text;
    ImageRect imageRect;

    int32_t showLabels = 1;
    float curveTolerance = 1.015f;
    int32_t labelDistance = 50;
    int32_t edgeDistance = 10;
    FontRecord labelFont;
    TxColor labelFontColor = 0;
    TxColor labelBkColor = 0xFFFFFF;
    int32_t labelBkMode = 0;

    int32_t showPositions = 1;
    int32_t showValues = 0;
    int32_t symbolSize = 10;
    int32_t symbol = 8;
    QString symbolSet;
    FontRecord valueFont;
    int32_t relativePosition = 0;
    TxColor valueFontColor = 0;
    TxColor valueBkColor = 0xFFFFFF;

    int32_t useColorScaleOnMap = 1;
    CKWColorScale colorScale = CKWColorScale::MapDefault();

    int32_t gridCountX = 20;
    int32_t gridCountY = 20;
    MapExtent extent;
    int32_t interpFunction = RbfMultiquadric;
    float interpParameter = 0.2f;
    int32_t boundaryLayout = BoundaryCorners;
    float boundaryLevel = 50.0f;
    float boundaryDistance = 0.1f;
    int32_t clipTarget = ClipMapOnly;
    int32_t clipFillMode = 0;  // 0 alternate, 1 winding
    int32_t autoBoundaryPolyline = 0;
    // Interpolate the energies 10^(L/10) of a column instead of its levels, and show the result
    // in dB again. Not part of the settings record: the document file keeps it in an optional
    // block of its own, written only when it is on.
    int32_t energyInterpolation = 0;

    std::vector<KW_FPOINT> clipPoints;       // all polylines, one after the other, imageRect-relative
    std::vector<int32_t> clipPolylines;      // vertex count of each polyline
    std::vector<int32_t> conditioningFlags;  // one per polyline
    std::vector<float> conditioningLevels;   // one per polyline
    std::vector<int32_t> conditioningSteps;  // one per polyline

    friend bool operator==(const TessarixSettingsFields&, const TessarixSettingsFields&) = default;
};

class CTessarixSettings : public TessarixSettingsFields {
public:
    static constexpr int32_t kFileVersion = 2;

    CTessarixSettings();
    CTessarixSettings(const CTessarixSettings& other);
    CTessarixSettings& operator=(const CTessarixSettings& other);

    void ResetToDefaults();

    // The file record. Loading refuses versions above 2, clipping vertex counts that do not add
    // up to the vertex list, and counts larger than the record could hold (format errors).
    void Serialize(CTXArchive& ar);

    struct LevelRange {
        CTXFloatArray levels;
        float start = 0.0f;
        float stop = 0.0f;
        float step = 0.0f;
        LevelSeriesStatus status = LevelSeriesStatus::Ok;  // a refused series has no levels
    };
    // The contour levels of the colour axis in force for a column whose largest value is
    // `maximum`; also sets the colour scale's value range to that axis range.
    LevelRange ContourLevels(float maximum);
    // The colour axis range in force: zAxis start..stop, or the fixed-amplitude range.
    void ColourRange(float maximum, float* start, float* stop) const;
    // In the fixed-amplitude scale mode, maximum - fixedAmplitude..maximum for a column whose
    // largest value is `maximum`; false (nothing set) in the normal mode.
    bool FixedAmplitudeRange(float maximum, float* start, float* stop) const;

    // Shifts the colour axis by a fifth of its step, rounded to 0.000001.
    void ShiftColourRange(bool up);
    // Sets the colour axis to the floor..ceiling of the values, rounded to a fifth of the step;
    // returns false (nothing changed) unless ceiling > floor.
    bool AutoRangeColour(float smallest, float largest, bool hasValues);

    int PolylineCount() const { return int(clipPolylines.size()); }
};

// Default axis labels, which the file keeps only when they differ.
extern const char* const kDefaultAxisLabels[3];
