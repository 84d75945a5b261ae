#pragma once
// The single range check of a settings record read from a file. The reader takes the bytes as
// they are; this check decides whether the values can be computed and drawn with: every float
// finite and within what a coordinate or a sound level can be, axis steps that are positive,
// pens, fonts, symbols and label distances within what a dialog could have set.
//
// A value no program could have written refuses the whole document ("Unexpected file format.",
// with the field as the reason). A value an older program could have written (many value
// decimals) is brought into range instead, and a note says so.
//
// Axis tick counts are not checked here: a plausible axis (a survey in projected coordinates
// with a fine step) may hold more ticks than an axis draws; the tick series refuses those when
// drawing and the axis is shown without ticks, with a warning.

#include <QStringList>

#include <cstdint>

class CTessarixSettings;

// Bounds of the settings values, shared with the tests.
inline constexpr float kMaxSettingMagnitude = 1e15f;  // coordinates, levels and steps
inline constexpr int32_t kMaxPenWidth = 100;          // device units
inline constexpr int32_t kMaxFontHeight = 10000;      // tenths of a point (1000 pt)
inline constexpr int32_t kMaxFontWeight = 1000;
inline constexpr int32_t kMaxFontAngle = 3600;        // escapement and orientation, tenths of a degree
inline constexpr int32_t kMaxSymbol = 255;            // a character of a symbol font
inline constexpr int32_t kMaxSymbolSize = 1000;
inline constexpr int32_t kMaxLabelDistance = 10000;
inline constexpr int32_t kMaxValueDecimals = 15;

// Checks the loaded settings; throws the archive's format error naming the field, or clamps and
// returns the notes of what was changed.
QStringList CheckLoadedSettings(CTessarixSettings& settings);
