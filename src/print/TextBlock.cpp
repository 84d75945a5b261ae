#include "print/TextBlock.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "util/KWFont.h"
#include "util/TXCDC.h"

namespace {

QRect ToQRect(const TxRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Height of `text` word-wrapped to `width` in `font`.
int WrappedHeight(const QFont& font, const QString& text, int width, int align)
{
    const QFontMetrics metrics(font);
    const QRect bounds(0, 0, std::max(1, width), 1 << 24);
    return metrics.boundingRect(bounds, Qt::TextWordWrap | Qt::AlignTop | QtAlignment(uint32_t(align)), text).height();
}

int SingleLineHeight(const QFont& font)
{
    return QFontMetrics(font).height();
}

}  // namespace

int MillimetresToDevice(float millimetres, int dpi)
{
    return int(double(millimetres) * dpi / 25.4);
}

QFont BlockFont(const CTXPrintSettings& block, int dpiY)
{
    return TxMakeDeviceFont(block.font, TxMulDiv(block.font.height, dpiY, 720));
}

QString BlockText(const CTXPrintSettings& block, int kind, const QString& mapName)
{
    if (kind != PrintTitle)
        return block.text;
    QString text = block.text;
    return text.replace(u'$', mapName);
}

QString FooterTitleLine(const CTXPrintSettings& footer, const FooterSource& source)
{
    switch (CTXPrintSettings::TitleMode(footer.flags)) {
    case 1:
        return source.title;
    case 2:
        return source.path.isEmpty() ? source.title : source.path;
    default:
        return {};
    }
}

QString FooterDateLine(const CTXPrintSettings& footer, const QDateTime& now)
{
    const QLocale locale = QLocale::system();
    switch (CTXPrintSettings::DateMode(footer.flags)) {
    case 1:
        return locale.toString(now.date(), QLocale::ShortFormat);
    case 2:
        return locale.toString(now.date(), QLocale::ShortFormat) + u' ' + locale.toString(now.time(), QLocale::ShortFormat);
    default:
        return {};
    }
}

int QtAlignment(uint32_t align)
{
    switch (align) {
    case AlignRight:
        return Qt::AlignRight;
    case AlignCenter:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

TxRect BlockInsetArea(const CTXPrintSettings& block, const TxRect& pageArea, int dpiX, int dpiY)
{
    const int hm = MillimetresToDevice(block.horizontalMargin, dpiX);
    const int vm = MillimetresToDevice(block.verticalMargin, dpiY);
    return {pageArea.left + hm, pageArea.top + vm, pageArea.right - hm, pageArea.bottom - vm};
}

TxRect MeasureTextBlock(const CTXPrintSettings& block, CTXCDC& dc, const TxRect& pageArea, int kind,
                        const QString& mapName, const QString& footerLine)
{
    if (!block.IsEnabled())
        return {};
    const TxRect r = BlockInsetArea(block, pageArea, dc.DpiX(), dc.DpiY());
    const QFont font = BlockFont(block, dc.DpiY());
    const int align = int(CTXPrintSettings::TextAlign(block.flags));
    switch (kind) {
    case PrintTitle:
    case PrintTextAbove: {
        const int h = WrappedHeight(font, BlockText(block, kind, mapName), r.Width(), align);
        return {r.left, r.top, r.right, r.top + h};
    }
    case PrintTextBelow: {
        const int h = WrappedHeight(font, block.text, r.Width(), align);
        return {r.left, r.bottom - h, r.right, r.bottom};
    }
    default: {
        // An empty footer still keeps one line, measured on "0".
        const int h1 = WrappedHeight(font, block.text.isEmpty() ? QStringLiteral("0") : block.text, r.Width(), align);
        // The document line is one line whatever it says (the path, or "0" without one).
        Q_UNUSED(footerLine);
        const int h2 = SingleLineHeight(font);
        return {r.left, r.bottom - std::max(h1, h2), r.right, r.bottom};
    }
    }
}

void DrawTextBlock(const CTXPrintSettings& block, CTXCDC& dc, const TxRect& rect, int kind,
                   const QString& mapName, const FooterSource& footer)
{
    QPainter* p = dc.Painter();
    if (!block.IsEnabled() || !p)
        return;
    p->save();
    p->setFont(BlockFont(block, dc.DpiY()));
    p->setPen(TxToQColor(block.textColor));
    p->setBackgroundMode(Qt::TransparentMode);
    const QRect box = ToQRect(rect);
    const int align = QtAlignment(CTXPrintSettings::TextAlign(block.flags));
    p->drawText(box, Qt::TextWordWrap | Qt::AlignTop | align, BlockText(block, kind, mapName));
    if (kind == PrintFooter) {
        const QString title = FooterTitleLine(block, footer);
        if (!title.isEmpty())
            p->drawText(box, Qt::TextSingleLine | Qt::AlignBottom |
                                 QtAlignment(CTXPrintSettings::TitleLineAlign(block.flags)), title);
        const QString date = FooterDateLine(block, footer.now);
        if (!date.isEmpty())
            p->drawText(box, Qt::TextSingleLine | Qt::AlignBottom |
                                 QtAlignment(CTXPrintSettings::DateLineAlign(block.flags)), date);
    }
    p->restore();
}
