#pragma once
// Helpers the commands share: opening a document with its error message, saving one, and the
// JSON form of floats that reads back to the same float.

#include <QJsonValue>
#include <QString>

#include "cli/CliCommand.h"

class CTessarixDoc;

// Opens `path` into `doc`; on failure writes the document's message to ctx.err.
bool CliOpenDocument(CliContext& ctx, CTessarixDoc& doc, const QString& path);
// Saves `doc` to `path`; on failure writes the message to ctx.err.
bool CliSaveDocument(CliContext& ctx, CTessarixDoc& doc, const QString& path);

// A data column index 0..11 given as text.
bool CliColumnIndex(const QString& text, int* column);

// The shortest decimal text that reads back to `v`, as a JSON number (null for NaN/infinity).
QJsonValue JsonFloat(float v);
QString ShortestFloatText(float v);
