#pragma once
// CTXPrintSettings: one text block of the printed page (title, text above the map, text below
// the map, footer). The blocks live with the document for the whole run and are not part of the
// document file.
//
// Record (little-endian): int32 schema 0, text string, 60-byte font, int32 colour, uint32 flags,
// float vertical margin (mm), float horizontal margin (mm).

#include <QString>

#include "util/TxTypes.h"

class CTXArchive;

enum PrintBlockKind : int { PrintTitle = 0, PrintTextAbove = 1, PrintTextBelow = 2, PrintFooter = 3 };
constexpr int kPrintBlockCount = PrintFooter + 1;

enum PrintAlign : uint32_t { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

class CTXPrintSettings {
public:
    enum FlagBits : uint32_t { Enabled = 0x1 };

    static uint32_t TextAlign(uint32_t flags) { return (flags >> 4) & 0xF; }
    static uint32_t TitleLineAlign(uint32_t flags) { return (flags >> 8) & 0xF; }
    static uint32_t DateLineAlign(uint32_t flags) { return (flags >> 12) & 0xF; }
    static uint32_t DateMode(uint32_t flags) { return (flags >> 16) & 0xF; }
    static uint32_t TitleMode(uint32_t flags) { return (flags >> 20) & 0xF; }
    static uint32_t MakeFlags(bool enabled, uint32_t textAlign, uint32_t titleAlign = 0,
                              uint32_t dateAlign = 0, uint32_t dateMode = 0, uint32_t titleMode = 0)
    {
        return (enabled ? uint32_t(Enabled) : 0u) | (textAlign << 4) | (titleAlign << 8) | (dateAlign << 12) |
               (dateMode << 16) | (titleMode << 20);
    }

    QString text;
    FontRecord font = [] {
        FontRecord f;
        f.height = 120;
        return f;
    }();
    TxColor textColor = 0;
    uint32_t flags = 0;
    float verticalMargin = 5.0f;
    float horizontalMargin = 5.0f;

    bool IsEnabled() const { return flags & Enabled; }
    void Serialize(CTXArchive& ar);
    friend bool operator==(const CTXPrintSettings&, const CTXPrintSettings&) = default;
};

// Defaults of a block of the given kind.
void ResetPrintSettings(CTXPrintSettings& block, int kind);
