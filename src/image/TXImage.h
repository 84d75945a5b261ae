#pragma once
// CTXImage: the document's background picture. The imported file's bytes are kept exactly as
// read, so that the document carries the picture itself; decoded forms are rebuilt from them.
//
// Stored record (little-endian): [int32 version 0,] int32 kind, int32 length N, then N bytes and
// the source path string when N > 0. The document file and the undo steps use the form with the
// version word.

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <cstdint>

class CTXArchive;
class QPainter;

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

    // Draws the picture stretched into `target` (device units of the painter); nothing when
    // there is no decoded picture.
    virtual void DrawInto(QPainter& painter, const QRectF& target) const;

    // Frees the stored bytes and decoded forms; the path stays until replaced.
    void Clear();

    // Loading: a version other than 0 and a length larger than the record can hold are format
    // errors; the decoded forms are rebuilt after a load.
    void Serialize(CTXArchive& ar, bool withVersion = true);

protected:
    // Rebuilds the decoded forms from the stored bytes (nothing to do without decoders).
    virtual void RebuildDecodedForms() {}

    int32_t m_kind = None;
    QByteArray m_data;
    QString m_sourcePath;
};
