#pragma once
// The decoders behind CTXImage. Each reads the stored bytes of one picture kind from memory,
// refuses anything truncated, inconsistent or larger than the picture limits before allocating
// pixel memory, and never reports through the process: libtiff's and libjpeg's own error
// output is silenced and libjpeg's fatal errors return here instead of ending the program.

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QRgb>

// TIFF (first directory) -> packed DIB: 24 bits, or 1 bit for bilevel and other grey depths
// than 4 and 8; photometric 4 (transparency mask) is refused.
bool DecodeTiffToDib(const QByteArray& file, QByteArray* dib);

// JPEG -> packed DIB: 24 bits for colour (blue-green-red rows), 8 bits with a grey ramp for
// one component.
bool DecodeJpegToDib(const QByteArray& file, QByteArray* dib);

// Facts of a metafile that the picture shows or reports.
struct CTXMetafileFacts {
    bool enhanced = false;
    QRectF frame;        // enhanced: rclFrame in 0.01 mm; placeable Windows: the bounding box
    QRectF bounds;       // enhanced: rclBounds in device pixels; placeable Windows: logical units
    int unitsPerInch = 0;  // placeable Windows metafiles only
    QList<QRgb> palette;   // enhanced: the palette entries of its end record
};

// True when the 32-bit value at offset 40 is the enhanced-metafile signature.
bool IsEnhancedMetafile(const QByteArray& file);
// An enhanced or Windows metafile (a placeable header is skipped) -> SVG text; false when the
// record structure is broken or the conversion yields nothing.
bool ConvertMetafileToSvg(const QByteArray& file, QByteArray* svg, CTXMetafileFacts* facts);

// The SVG text of libwmf with `fill:none` added to every polyline or path that states no fill
// (outlines), which SVG would otherwise fill black.
QByteArray WithUnfilledOutlines(const QByteArray& svg);

// The colours a Windows metafile (without placeable header) creates its brushes and pens with and
// sets as text colours, each once, in the order of their records.
struct WmfColours {
    QList<QRgb> fills;
    QList<QRgb> strokes;
    QList<QRgb> texts;
};
WmfColours WindowsMetafileColours(const QByteArray& wmf);
// libwmf's SVG text with every named fill, stroke or text colour replaced by the one colour of
// `colours` of that kind that comes to the name; names that several colours come to stay.
QByteArray WithExactColours(const QByteArray& svg, const WmfColours& colours);
