#pragma once
// Which map each printed page carries and where the page area lies on the paper.
//
// Printing produces one page per enabled data column, in column order: page p (1-based)
// carries the map of the p-th enabled column. Printing from the view of a column starts at
// that column's page.

#include <vector>

#include "util/TxTypes.h"

// Page margins in hundredths of a millimetre, as Page Setup keeps them.
struct PrintMargins {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    friend bool operator==(const PrintMargins&, const PrintMargins&) = default;
};

// The data column printed on page `page` (1-based), or -1 for a page outside the list.
int PageColumn(const std::vector<int32_t>& enabledColumns, int page);
// The page (1-based) of `column` among the enabled columns; 1 when it is not among them.
int FirstPageOfColumn(const std::vector<int32_t>& enabledColumns, int column);

// The page area of a printable area `width` × `height` device units with the given pixels per
// inch: the margins converted with rounding (hundredths of a millimetre × dpi / 2540).
TxRect PageArea(int width, int height, int dpiX, int dpiY, const PrintMargins& margins);

// The map's area between the blocks: `pageArea` with its top lowered to the lower bottom of
// title and text above, and its bottom raised to the higher top of text below and footer; an
// empty rectangle stands for an absent block.
TxRect MapAreaBetween(const TxRect& pageArea, const TxRect& title, const TxRect& textAbove,
                      const TxRect& textBelow, const TxRect& footer);
