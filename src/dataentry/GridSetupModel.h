#pragma once
// CGridSetupModel: what the Grid Setting dialog decides. It holds a copy of the map extent, the
// interpolation grid, the function with its parameter and the coordinate input grid; the dialog
// passes the typed texts in, shows what the model answers and, on OK, lets it write the document.
//
// Rules:
// - the parameter is used by "Multiquadric" (0..1, default 0.333) and "Thin Plate Spline"
//   (0.01..1, default 0.5), both ends included; "Madych - Nelson" has none and accepts anything;
// - a function change puts the new function's default in place of a parameter outside its
//   range, without a message;
// - fields that are switched off (the parameter of "Madych - Nelson", the snap steps while
//   snapping is off, the round steps while rounding is off) are neither read nor checked;
// - at OK: every enabled field must be a number, the counts must lie within 10..1000, the
//   extent must have X0 < X1 and Y0 < Y1, the parameter must lie within its range, and switched-on
//   snap and round steps must be greater than 0.

#include <QString>
#include <QStringList>

#include <optional>

#include "dataentry/SetupFields.h"
#include "document/TessarixDoc.h"

enum class GridField { None, X0, X1, Y0, Y1, CountX, CountY, Parameter, SnapX, SnapY, RoundX, RoundY };

// The dialog's fields as they stand. `function` is what the list shows; the model takes a new
// function only through ChangeFunction, which needs to know the one before.
struct GridSetupTexts {
    QString x0, x1, y0, y1;
    QString countX, countY;
    int function = RbfMultiquadric;
    QString parameter;
    bool snap = false;
    QString snapX, snapY;
    bool round = false;
    QString roundX, roundY;
};

// A refusal: the message to show and the field that gets the focus. Empty when all is well.
struct SetupProblem {
    GridField field = GridField::None;
    QString message;
    explicit operator bool() const { return field != GridField::None; }
};

struct ParameterRange {
    float low;
    float high;
    float defaultValue;
};

enum GridSetupTextId : int {
    IDS_FUNCTION_MULTIQUADRIC = 401,
    IDS_FUNCTION_MADYCH_NELSON = 402,
    IDS_FUNCTION_THIN_PLATE = 403,
    IDS_PARAMETER_ERROR = 406,          // "%g" "%g": the ends of the range
    IDS_VALUE_GREATER_THAN = 3005,      // %1: the bound
    IDS_INVALID_MAP_EXTENT = 3030,
};

class CGridSetupModel {
public:
    static constexpr int kMinCount = 10;
    static constexpr int kMaxCount = 1000;

    explicit CGridSetupModel(const CTessarixDoc& doc);

    const GridDefinition& Values() const { return m_values; }
    GridSetupTexts Texts() const;

    // The function names in list order.
    static QStringList FunctionNames();
    // The range of the function's parameter; none for a function without one.
    static std::optional<ParameterRange> RangeOf(int function);
    static bool ParameterEnabled(int function) { return RangeOf(function).has_value(); }
    bool SnapStepsEnabled() const { return m_values.input.snapMouse != 0; }
    bool RoundStepsEnabled() const { return m_values.input.roundKeyboard != 0; }

    // One spin click on a count.
    static int SpinCount(int count, int delta);

    // Takes the readable texts of the enabled fields and the two flags; returns the first
    // enabled field that is not a number (the others are taken anyway).
    SetupProblem Read(const GridSetupTexts& texts);
    // A new function chosen in the list: reads the fields, checks the extent (its message is
    // the answer), and replaces a parameter outside the new function's range by its default.
    SetupProblem ChangeFunction(const GridSetupTexts& texts, int function);
    // The checks of OK, on what Read took.
    SetupProblem Validate() const;
    // Read and Validate together: what OK refuses, or nothing.
    SetupProblem ReadForOk(const GridSetupTexts& texts);

    // Writes the values into the document as one undoable step; true when the maps are
    // recomputed.
    bool Apply(CTessarixDoc& doc) const;

private:
    SetupProblem CheckExtent() const;

    GridDefinition m_values;
};
