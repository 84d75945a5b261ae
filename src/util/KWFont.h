#pragma once
// CKWFont: the compact, device-independent font description that font-bearing settings turn into
// for drawing. Sizes are in tenths of a point; the device font is made at drawing time.
//
// Saved record (little-endian): int32 schema (2), then size int16, weight int32, style uint16,
// charset uint8, pitchAndFamily uint8, faceName 32 bytes, reserved int32 (46 bytes). A schema-1
// record holds its size 10 tenths too large and is corrected on loading.

#include <QString>

#include <cstdint>

#include "util/TxTypes.h"

class CTXArchive;

class CKWFont {
public:
    enum StyleBits : uint16_t { Italic = 1, Underline = 2, StrikeOut = 4 };

    CKWFont();
    explicit CKWFont(const FontRecord& record);

    FontRecord ToFontRecord() const;
    // Loading refuses schemas other than 1 and 2 with a format error.
    void Serialize(CTXArchive& ar);

    QString Face() const;
    void SetFace(const QString& face);

    int16_t size = 100;
    int32_t weight = 0;
    uint16_t style = 0;
    uint8_t charset = 0;
    uint8_t pitchAndFamily = 0;
    char faceName[32] = {};
    int32_t reserved = 0;
    int32_t schema = 2;

    friend bool operator==(const CKWFont& a, const CKWFont& b);
};

// Multiply-then-divide with rounding to nearest, halves away from zero (64-bit intermediate).
// Returns -1 when the divisor is 0, as the platform's MulDiv does.
int32_t TxMulDiv(int32_t number, int32_t numerator, int32_t denominator);
