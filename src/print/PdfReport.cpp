#include "print/PdfReport.h"

#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

PdfReportStatus WritePdfReport(const QString& path, CPrintJob& job, const PdfReportOptions& options)
{
    if (job.PageCount() == 0)
        return PdfReportStatus::NoPages;
    // Written beside the target and renamed over it only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return PdfReportStatus::WriteFailed;
    {
        QPdfWriter writer(&file);
        writer.setResolution(options.resolution);
        writer.setPageLayout(QPageLayout(options.paper, options.orientation, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(options.documentTitle);
        writer.setCreator(QStringLiteral("Tessarix"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            return PdfReportStatus::WriteFailed;
        }
        const PrintDevice device{writer.width(), writer.height(), writer.logicalDpiX(), writer.logicalDpiY()};
        for (int page = 1; page <= job.PageCount(); ++page) {
            if (page > 1)
                writer.newPage();
            job.PrintMapPage(painter, device, page);
        }
        painter.end();
    }
    job.EndPrinting();
    return file.commit() ? PdfReportStatus::Ok : PdfReportStatus::WriteFailed;
}
