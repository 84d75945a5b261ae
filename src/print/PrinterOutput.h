#pragma once
// Printing a job's pages on a QPrinter: the whole paper is the printable area (the page area
// comes from the Page Setup margins, not from the printer's own), at the print resolution.

#include "print/PrintMapPage.h"

class QPrinter;

// The resolution pages are printed and previewed at: fine enough for the map body's tiles,
// small enough that the tiles of a page stay well below a hundred megabytes.
inline constexpr int kPrintResolution = 300;

// Prepares `printer` for a job: whole-paper coordinates at kPrintResolution (a higher
// resolution is lowered to it).
void PreparePrinter(QPrinter& printer);
PrintDevice PrintDeviceOf(const QPrinter& printer);

// Prints pages `fromPage`..`toPage` (clamped to the job's pages; 0 for both: all pages) and
// ends the job; false when the printer could not be opened or no page was printed.
bool PrintJobPages(QPrinter& printer, CPrintJob& job, int fromPage = 0, int toPage = 0);
