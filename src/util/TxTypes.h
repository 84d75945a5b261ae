#pragma once
// Value types shared by every subsystem: float arrays, float points, the raw pen and font
// records kept in the settings, and colour helpers (colours are 0x00BBGGRR, red in the low byte).

#include <cstdint>
#include <cstring>
#include <vector>

// Growable array of single-precision values. Resizing keeps the elements and zero-fills new ones.
using CTXFloatArray = std::vector<float>;

struct KW_FPOINT {
    float x = 0.0f;
    float y = 0.0f;
    friend bool operator==(const KW_FPOINT&, const KW_FPOINT&) = default;
};
static_assert(sizeof(KW_FPOINT) == 8);

using TxColor = uint32_t;  // 0x00BBGGRR

constexpr TxColor TxRgb(int r, int g, int b)
{
    return TxColor(uint32_t(r & 0xFF) | (uint32_t(g & 0xFF) << 8) | (uint32_t(b & 0xFF) << 16));
}
constexpr int TxRed(TxColor c) { return int(c & 0xFF); }
constexpr int TxGreen(TxColor c) { return int((c >> 8) & 0xFF); }
constexpr int TxBlue(TxColor c) { return int((c >> 16) & 0xFF); }

// Pen styles as stored in a PenRecord.
enum PenStyle : uint32_t {
    PenSolid = 0,
    PenDash = 1,
    PenDot = 2,
    PenDashDot = 3,
    PenDashDotDot = 4,
    PenInvisible = 5,
};

// 16-byte pen description: style, width, a word that is always 0, colour.
struct PenRecord {
    uint32_t style = PenSolid;
    int32_t width = 1;
    int32_t reserved = 0;
    TxColor color = 0;
    friend bool operator==(const PenRecord&, const PenRecord&) = default;
};
static_assert(sizeof(PenRecord) == 16);

// 60-byte 8-bit font description; height holds the size in tenths of a point.
struct FontRecord {
    int32_t height = 90;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    char faceName[32] = {'A', 'r', 'i', 'a', 'l', 0};

    // The face name as text (up to the first NUL, at most 31 characters).
    const char* Face() const { return faceName; }
    void SetFace(const char* face)
    {
        std::memset(faceName, 0, sizeof faceName);
        std::strncpy(faceName, face, sizeof faceName - 1);
    }
    friend bool operator==(const FontRecord& a, const FontRecord& b)
    {
        return std::memcmp(&a, &b, sizeof(FontRecord)) == 0;
    }
};
static_assert(sizeof(FontRecord) == 60);

// A device rectangle with exclusive right and bottom edges, as the drawing code uses them.
struct TxRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const TxRect&, const TxRect&) = default;
};

// Recalculation flags: the work a map computation is asked to do.
enum RecalcFlags : int32_t {
    RECALC_SURFACE = 1,
    RECALC_CONTOURS = 2,
    RECALC_BITMAP = 4,
    RECALC_ALL = 7,
};

constexpr int kColumnCount = 12;
