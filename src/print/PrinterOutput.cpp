#include "print/PrinterOutput.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>

void PreparePrinter(QPrinter& printer)
{
    printer.setFullPage(true);
    if (printer.resolution() > kPrintResolution)
        printer.setResolution(kPrintResolution);
}

PrintDevice PrintDeviceOf(const QPrinter& printer)
{
    return {printer.width(), printer.height(), printer.logicalDpiX(), printer.logicalDpiY()};
}

bool PrintJobPages(QPrinter& printer, CPrintJob& job, int fromPage, int toPage)
{
    const int count = job.PageCount();
    if (fromPage <= 0 && toPage <= 0) {
        fromPage = 1;
        toPage = count;
    }
    fromPage = std::max(1, fromPage);
    toPage = std::min(count, toPage <= 0 ? count : toPage);
    if (fromPage > toPage)
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const PrintDevice device = PrintDeviceOf(printer);
    for (int page = fromPage; page <= toPage; ++page) {
        if (page > fromPage)
            printer.newPage();
        job.PrintMapPage(painter, device, page);
    }
    const bool ok = painter.end();
    job.EndPrinting();
    return ok;
}
