#include "render/SymbolSets.h"

#include <QFont>
#include <QFontDatabase>
#include <QRawFont>

namespace {

constexpr int kFirstSymbolCode = 33;
constexpr int kLastSymbolCode = 255;
constexpr char32_t kSymbolPrivateArea = 0xF000;

}  // namespace

std::vector<SymbolSetEntry> InstalledSymbolSets()
{
    std::vector<SymbolSetEntry> sets;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Symbol)) {
        const QRawFont raw = QRawFont::fromFont(QFont(family));
        int first = -1, last = -1;
        for (int code = kFirstSymbolCode; code <= kLastSymbolCode; ++code) {
            if (!raw.supportsCharacter(char32_t(code)) && !raw.supportsCharacter(kSymbolPrivateArea + char32_t(code)))
                continue;
            if (first < 0)
                first = code;
            last = code;
        }
        if (first >= 0)
            sets.push_back({family, {first, last}});
    }
    return sets;
}

SymbolRangeLookup SymbolSetLookup(std::vector<SymbolSetEntry> sets)
{
    return [sets = std::move(sets)](const QString& name) {
        for (const SymbolSetEntry& s : sets)
            if (s.name == name)
                return s.range;
        return kMissingSetRange;
    };
}
