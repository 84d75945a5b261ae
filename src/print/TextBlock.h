#pragma once
// The four text blocks of a printed page (title, text above the map, text below the map,
// footer): what each shows, how much room it takes and how it is drawn on a QPainter.
//
// A block's rectangle is measured inside the page area A (device units, already inside the
// page margins), inset by the block's horizontal margin at left and right and its vertical
// margin at top and bottom. Title and text above hang from the top of that inset area, text
// below and footer stand on its bottom. Text is word-wrapped to the width and aligned by the
// block's alignment; "$" in the title stands for the name of the printed map.
//
// The footer draws its own text at the top of its rectangle and, sharing the same rectangle,
// the document line (title or full path) and the date line, each as one line on its bottom.

#include <QDateTime>
#include <QFont>
#include <QString>

#include "document/TXPrintSettings.h"
#include "util/TxTypes.h"

class CTXCDC;

// What the footer reports about the document and the moment of printing.
struct FooterSource {
    QString title;     // the document's title ("Untitled" for a new one)
    QString path;      // its full path, empty while it was never saved
    QDateTime now;     // the time of printing
};

// Millimetres to device units on a device with `dpi` pixels per inch, truncated.
int MillimetresToDevice(float millimetres, int dpi);

// The block's font on a surface with `dpiY` vertical pixels per inch (height in tenths of a
// point × dpiY / 720, rounded).
QFont BlockFont(const CTXPrintSettings& block, int dpiY);

// The text the block shows: the title's "$" replaced by `mapName` everywhere.
QString BlockText(const CTXPrintSettings& block, int kind, const QString& mapName);

// The footer's document line: the title, or the full path ("Complete path"; the title while
// the document has no path); empty when the mode is "No".
QString FooterTitleLine(const CTXPrintSettings& footer, const FooterSource& source);
// The footer's date line in the user's short date (and time) format; empty for "No".
QString FooterDateLine(const CTXPrintSettings& footer, const QDateTime& now);

// Qt alignment flags of an alignment value (1 right, 2 centre, anything else left).
int QtAlignment(uint32_t align);

// The area a block is measured in: `pageArea` inset by the block's margins.
TxRect BlockInsetArea(const CTXPrintSettings& block, const TxRect& pageArea, int dpiX, int dpiY);

// The block's rectangle on the page; all zero when the block is disabled. `footerLine` is
// what the footer's document line is measured on (the path, or the title without one).
TxRect MeasureTextBlock(const CTXPrintSettings& block, CTXCDC& dc, const TxRect& pageArea, int kind,
                        const QString& mapName, const QString& footerLine);

// Draws the block into `rect` (nothing when it is disabled).
void DrawTextBlock(const CTXPrintSettings& block, CTXCDC& dc, const TxRect& rect, int kind,
                   const QString& mapName, const FooterSource& footer);
