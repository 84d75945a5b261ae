#include "print/PrintPages.h"

#include <algorithm>

#include "util/KWFont.h"

int PageColumn(const std::vector<int32_t>& enabledColumns, int page)
{
    if (page < 1 || page > int(enabledColumns.size()))
        return -1;
    return enabledColumns[size_t(page - 1)];
}

int FirstPageOfColumn(const std::vector<int32_t>& enabledColumns, int column)
{
    const auto at = std::find(enabledColumns.begin(), enabledColumns.end(), column);
    return at == enabledColumns.end() ? 1 : int(at - enabledColumns.begin()) + 1;
}

TxRect PageArea(int width, int height, int dpiX, int dpiY, const PrintMargins& margins)
{
    return {TxMulDiv(margins.left, dpiX, 2540), TxMulDiv(margins.top, dpiY, 2540),
            width - TxMulDiv(margins.right, dpiX, 2540), height - TxMulDiv(margins.bottom, dpiY, 2540)};
}

TxRect MapAreaBetween(const TxRect& pageArea, const TxRect& title, const TxRect& textAbove,
                      const TxRect& textBelow, const TxRect& footer)
{
    TxRect m = pageArea;
    const bool hasTitle = !title.IsEmpty(), hasAbove = !textAbove.IsEmpty();
    if (hasTitle && hasAbove)
        m.top = std::max(title.bottom, textAbove.bottom);
    else if (hasTitle || hasAbove)
        m.top = hasTitle ? title.bottom : textAbove.bottom;
    const bool hasBelow = !textBelow.IsEmpty(), hasFooter = !footer.IsEmpty();
    if (hasBelow && hasFooter)
        m.bottom = std::min(textBelow.top, footer.top);
    else if (hasBelow || hasFooter)
        m.bottom = hasBelow ? textBelow.top : footer.top;
    return m;
}
