#pragma once
// Importing a picture file when the filter chosen and the file disagree: the file is read with
// the chosen filter first; when that fails, with the kind its content shows (a ".wmf" chosen
// under "Bitmap" is still a metafile), and at last with every other kind. A file that none of
// them reads is refused with a warning that names the file and the formats tried.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

#include "image/TXImage.h"

// The picture kind the first bytes of a file show (BMP "BM", TIFF byte-order mark, JPEG start of
// image, enhanced metafile signature, placeable or plain Windows metafile header), or 0.
int32_t PictureKindOfContent(const QByteArray& bytes);

struct PictureImport {
    bool imported = false;
    CTXImage picture;         // the picture read, when imported
    QStringList formatsTried; // filter titles, in the order tried
    QString warning;          // when refused: "WARNING! ..." naming the file and the formats
};

PictureImport ImportPictureFile(const QString& path, int32_t filterKind);
