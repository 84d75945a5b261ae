#pragma once
// The symbol sets the measurement positions can be drawn with: the installed fonts whose writing
// system is Symbol, each with the range of character codes it offers.

#include <QString>

#include <vector>

#include "document/PropertyTable.h"

struct SymbolSetEntry {
    QString name;
    SymbolRange range;
};

// A font's range: its first character code, at least 33, to its last one below 256 (symbol
// fonts may place their glyphs at U+F000 + code; both count).
std::vector<SymbolSetEntry> InstalledSymbolSets();
// Looks names up among `sets`; a name that is not there gets kMissingSetRange.
SymbolRangeLookup SymbolSetLookup(std::vector<SymbolSetEntry> sets);
