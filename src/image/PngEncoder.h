#pragma once
// A PNG encoder for map pictures, several times quicker than the general image writer: opaque
// pictures become 8-bit RGB rows without a row filter, deflated at the fastest level. A map is
// mostly long runs of one colour, which deflate finds without any filter; the file is somewhat
// larger than the general writer's, and it is written once. Pictures with an alpha channel go
// through the general writer. The pixel density travels in a pHYs chunk, as with that writer.

#include <QByteArray>
#include <QString>

class QImage;

// The PNG file of `image`; empty for a null image or when memory runs out.
QByteArray EncodePng(const QImage& image);

// Encodes `image` and writes it to `path`; false when the picture or the file could not be written.
bool WritePngFile(const QImage& image, const QString& path);
