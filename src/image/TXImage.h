#pragma once
// CTXImage: the document's background picture. The imported file's bytes are kept exactly as
// read, so that the document carries the picture itself; decoded forms are rebuilt from them.
//
// Stored record (little-endian): [int32 version 0,] int32 kind, int32 length N, then N bytes and
// the source path string when N > 0. The document file and the undo steps use the form with the
// version word.
//
// Kinds are the file-type filter of the import: 1 Windows or enhanced metafile (the whole file),
// 2 bitmap (the file without its 14-byte file header: a packed DIB), 3 TIFF and 4 JPEG (the
// whole file). The decoded form is a packed 40-byte-header DIB with its image and colour table
// for kinds 2..4, SVG drawn by an SVG renderer for kind 1. It is built once, after an import
// or a load, and never changed afterwards: copies of the picture share it, and several threads
// may draw the same decoded form at once (the SVG renderer is used under its own lock).

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <memory>

class CTXArchive;
class QPainter;
struct CTXDecodedPicture;

// What the decoded form is, for reports (tessarix-cli info) and tests.
struct CTXPictureInfo {
    bool decoded = false;
    // Bitmap kinds: the DIB's header.
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    int32_t paletteSize = 0;
    int32_t ppmX = 0;
    int32_t ppmY = 0;
    // Metafiles: the frame (0.01 mm for enhanced ones, the placeable box otherwise), the
    // bounds (device pixels / logical units), and the size of the converted drawing.
    bool enhanced = false;
    QRectF frame;
    QRectF bounds;
    int32_t unitsPerInch = 0;
    QSizeF drawingSize;
};

class CTXImage {
public:
    enum Kind : int32_t { None = 0, Metafile = 1, Bitmap = 2, Tiff = 3, Jpeg = 4 };

    CTXImage();
    virtual ~CTXImage();
    CTXImage(const CTXImage& other);
    CTXImage& operator=(const CTXImage& other);

    int32_t kind() const { return m_kind; }
    const QByteArray& data() const { return m_data; }
    const QString& sourcePath() const { return m_sourcePath; }
    bool HasPicture() const { return !m_data.isEmpty(); }

    // Reads the file at `path` as picture kind `kind` (the filter chosen, not the file name
    // decides). A file that cannot be read, is of another kind, or does not decode is refused:
    // false, and the picture is left as it was.
    bool Import(const QString& path, int32_t kind);
    // The same for file bytes already read.
    bool ImportFileBytes(const QByteArray& file, int32_t kind, const QString& path);

    // Draws the picture stretched into `target` (device units of the painter); nothing when
    // there is no decoded picture. Rows are dropped or repeated, not blended; a painter whose
    // y axis points up still gets the picture the right way up.
    virtual void DrawInto(QPainter& painter, const QRectF& target) const;

    bool HasDecodedForm() const { return m_decoded != nullptr; }
    CTXPictureInfo DecodedInfo() const;
    // The decoded bitmap (kinds 2..4) and its colour table; null / empty otherwise.
    QImage DecodedBitmap() const;
    QByteArray DecodedDib() const;
    QList<QRgb> Palette() const;
    // The converted drawing of a metafile; empty otherwise.
    QByteArray DecodedSvg() const;

    // Frees the stored bytes and decoded forms; the path stays until replaced.
    void Clear();

    // Loading: a version other than 0 and a length larger than the record can hold are format
    // errors; the decoded forms are rebuilt after a load.
    void Serialize(CTXArchive& ar, bool withVersion = true);

protected:
    // Rebuilds the decoded forms from the stored bytes; a picture whose bytes do not decode
    // (a damaged document) keeps its bytes and draws nothing.
    virtual void RebuildDecodedForms();

    int32_t m_kind = None;
    QByteArray m_data;
    QString m_sourcePath;
    std::shared_ptr<const CTXDecodedPicture> m_decoded;
};

// Files above this size are not read as pictures.
constexpr qint64 kMaxPictureFileBytes = qint64(256) << 20;
