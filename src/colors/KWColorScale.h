#pragma once
// CKWColorScale: colour stops at fractions 0..1 of a value range (low, high). Colours between two
// stops are interpolated per channel in integer steps of 1/255 of the fraction, rounded as the
// platform's MulDiv rounds; interpolated colours carry the palette-relative marker 0x02 in their
// top byte (0x02BBGGRR), a colour returned as stored has a top byte of 0.
//
// Stored record (the whole content of a ".csc" file, and part of the settings record):
// int32 schema (1), float low, float high, int32 count, count × (float position, uint32 colour).
// A record with zero stops is refused: a scale must have a colour to give. So are records whose
// range or positions are not finite numbers or whose positions descend: the lookup walks the stops
// in order and the editor draws a marker at every position.

#include <QString>

#include <array>
#include <vector>

#include "util/SafeFileWriter.h"
#include "util/TxTypes.h"

class CTXArchive;

// What reading a ".csc" file came to.
enum class ColorScaleFileStatus {
    Ok,
    CannotOpen,      // the file does not exist or may not be read
    NotAColorScale,  // short, of another schema, or with stops no scale can have
};

struct CKWColorScaleItem {
    float position = 0.0f;
    TxColor color = 0;
    friend bool operator==(const CKWColorScaleItem&, const CKWColorScaleItem&) = default;
};

class CKWColorScale {
public:
    static constexpr TxColor kPaletteRelative = 0x02000000;
    static constexpr int kPaletteSize = 64;

    // Black at 0, white at 1, low 0, high 100.
    CKWColorScale();
    // The five-stop scale of new map settings: dark blue, green, yellow, orange, red.
    static CKWColorScale MapDefault();

    int Count() const { return int(m_items.size()); }
    const CKWColorScaleItem& Item(int i) const { return m_items.at(size_t(i)); }
    CKWColorScaleItem& Item(int i) { return m_items.at(size_t(i)); }
    const std::vector<CKWColorScaleItem>& Items() const { return m_items; }
    void SetItems(std::vector<CKWColorScaleItem> items);

    float Low() const { return m_low; }
    float High() const { return m_high; }
    void SetRange(float low, float high)
    {
        m_low = low;
        m_high = high;
    }

    TxColor ColorBetween(int i, float x) const;
    TxColor ColorAt(float x) const;
    // Colour of a value of the data range low..high.
    TxColor ColorOfValue(float v) const;

    // Inserts a stop with the interpolated colour; returns its index or -1 when no pair brackets x.
    int InsertStop(float x);
    // Moves stop k to its place after its position changed; returns its new index.
    int ResortStop(int k);
    void RemoveStop(int k);

    // The 64 palette entries: entry k is the colour at (k + 1) / 64.
    const std::array<TxColor, kPaletteSize>& Palette() const { return m_palette; }
    void RebuildPalette();

    // Loading refuses a schema other than 1, an empty stop list, a range that is not finite and
    // positions outside 0..1 or descending (format error), and changes nothing when it refuses;
    // after loading the palette is rebuilt.
    void Serialize(CTXArchive& ar);

    // ".csc" files: the record alone. A refused file leaves the scale as it was. Saving replaces a
    // previous file only once the new one is complete on the disk.
    ColorScaleFileStatus ReadFile(const QString& path);
    bool LoadFile(const QString& path) { return ReadFile(path) == ColorScaleFileStatus::Ok; }
    FileWriteStatus SaveFile(const QString& path, IFileWriteFaults* faults = nullptr) const;

    friend bool operator==(const CKWColorScale& a, const CKWColorScale& b)
    {
        return a.m_low == b.m_low && a.m_high == b.m_high && a.m_items == b.m_items;
    }

private:
    std::vector<CKWColorScaleItem> m_items;
    float m_low = 0.0f;
    float m_high = 100.0f;
    std::array<TxColor, kPaletteSize> m_palette{};
};
