#pragma once
// The report as a PDF file: every page of a print job, one per enabled column, through the same
// page composition as the printer. Lines and text stay vectors (the text can be selected and
// searched); only the map body's raster parts are bitmap tiles.

#include <QPageLayout>
#include <QPageSize>
#include <QString>

#include "print/PrintMapPage.h"

struct PdfReportOptions {
    PrintMargins margins{1000, 1000, 1000, 1000};  // hundredths of a millimetre: 10 mm each
    QPageSize paper{QPageSize::A4};
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    int resolution = 300;  // device units per inch of the page and its tiles
    QString documentTitle; // the file's own title
};

enum class PdfReportStatus {
    Ok,
    NoPages,      // no enabled column
    WriteFailed,  // the file could not be created or written; an earlier file is left as it was
};

PdfReportStatus WritePdfReport(const QString& path, CPrintJob& job, const PdfReportOptions& options);
