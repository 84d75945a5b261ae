#pragma once
// The map settings that the properties pane and `tessarix-cli set` edit, as one table of rows.
// A row names its group, its editor type, the texts of its name and description, the choices of
// a list, the refresh identifier its change reports (the identifier's thousands also select the
// undo group), when it is enabled, and how it reads and writes CTessarixSettings. The pane builds
// its grid from these rows and the command line finds its keys among them, so both edit the same
// settings in the same way.
//
// A row's value travels as a PropertyValue; each editor type uses only its own fields:
//   Integer, Boolean (0/1), List (choice index), Symbol -> number
//   Real -> real;  Text, SymbolSet (empty for "Default Set") -> text
//   FontColor -> font + color;  Pen -> pen;  Color -> color;  ColorScale -> scale

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

#include "colors/KWColorScale.h"
#include "document/TessarixSettings.h"
#include "util/TxTypes.h"

// Editor types, with the values the pane's definition table gives them.
enum class PropertyEditor : int32_t {
    Integer = 0,     // integer field, keypad in integer mode
    Boolean = 1,     // "True" / "False"
    List = 2,        // fixed choice texts
    Text = 3,
    Real = 4,        // real field, keypad in real mode
    FontColor = 5,   // font description with its colour
    Pen = 6,         // "Set Pen" dialog
    Color = 7,       // colour picker with "Other..." and "Default"
    ColorScale = 8,  // gradient cell, opens the colour scale editor
    SymbolSet = 9,   // "Default Set" or an installed symbol font
    Symbol = 10,     // symbol number with its drawn sample, spin range from the symbol set
};

// The rows whose enabling depends on the scale mode shown in the pane.
enum class PropertyEnabling { Always, WhileScaleNormal, WhileScaleFixed };

struct PropertyValue {
    int32_t number = 0;
    float real = 0.0f;
    QString text;
    FontRecord font;
    PenRecord pen;
    TxColor color = 0;
    CKWColorScale scale;
    friend bool operator==(const PropertyValue&, const PropertyValue&) = default;
};

struct PropertyDefinition {
    PropertyEditor type = PropertyEditor::Integer;
    int32_t identifier = 0;   // refresh identifier (PropertyId or a group's thousands)
    int32_t group = 0;        // text identifier of the group name
    int32_t name = 0;         // text identifier of the property name
    int32_t description = 0;  // text identifier of the description
    int32_t choiceBase = 0;   // List: first choice text identifier
    int32_t choiceCount = 0;  // List: number of choices
    PropertyEnabling enabling = PropertyEnabling::Always;
    int32_t keyName = 0;      // text identifier of the name part of the command-line key, when
                              // the shown name does not make a handy key; 0: the name itself
    int recalc = RECALC_BITMAP;  // the map work a change of the row asks for
    std::function<PropertyValue(const CTessarixSettings&)> read;
    std::function<void(CTessarixSettings&, const PropertyValue&)> write;
};

// The group names, in display order (text identifiers).
const std::vector<int32_t>& PropertyGroups();
// Every row of every group, in display order.
const std::vector<PropertyDefinition>& PropertyDefinitions();

// The range of symbol numbers a symbol set offers.
struct SymbolRange {
    int first = 0;
    int last = 0;
    friend bool operator==(const SymbolRange&, const SymbolRange&) = default;
};
// "Default Set" (the built-in shapes) and a set that is not installed (0..26, what drawing falls
// back to).
inline constexpr SymbolRange kDefaultSetRange{0, 27};
inline constexpr SymbolRange kMissingSetRange{0, 26};
// The colour "Default" stands for when no window system gives one: the usual button face.
inline constexpr TxColor kDefaultButtonFace = 0xF0F0F0;

// Installed symbol sets by name; the range of a name it does not know is kMissingSetRange. An
// empty name is "Default Set".
using SymbolRangeLookup = std::function<SymbolRange(const QString& set)>;
SymbolRange SymbolSetRange(const SymbolRangeLookup& installed, const QString& set);

// The texts of a list row's choices.
QStringList PropertyChoices(const PropertyDefinition& d);

// The command-line key of a row: group and name (or the row's key name) without spaces, joined
// by a dot ("XAxis.Start", "MeasurementPositions.Symbolset", "Interpolation.Energy"); keys
// compare without case or spaces.
QString PropertyKey(const PropertyDefinition& d);
// The row of `key`, or -1.
int FindPropertyByKey(const QString& key);
// The row of a group and name (text identifiers), or -1.
int FindProperty(int32_t group, int32_t name);

// The text form of a value, and its reader. Numbers use "." as decimal separator; colours are
// "#RRGGBB" or "Default"; pens "Style,width,#RRGGBB" with the pen dialog's style names; fonts
// "Face,points[,bold][,italic][,underline][,strikeout],#RRGGBB"; a symbol set "Default Set" or
// a font name; a colour scale has no text form (it comes from a ".csc" file). Reading a text
// that does not fit the row's type (or a choice that is not offered) returns false and leaves
// `out` unchanged.
QString PropertyValueText(const PropertyDefinition& d, const PropertyValue& v);
bool ParsePropertyValue(const PropertyDefinition& d, const QString& text, PropertyValue* out,
                        TxColor defaultColor = kDefaultButtonFace);

// The shortest decimal text that reads back to `v` ("0.1", "20", "1e+06").
QString ShortFloatText(float v);
// "#RRGGBB" of a 0x00BBGGRR colour, and its reader.
QString ColorText(TxColor c);
bool ParseColorText(const QString& text, TxColor* out);
// The pen dialog's style names, styles 0..5.
QStringList PenStyleNames();
