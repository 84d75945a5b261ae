#include "cli/CliDocument.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "document/TessarixDoc.h"

bool CliOpenDocument(CliContext& ctx, CTessarixDoc& doc, const QString& path)
{
    const DocFileStatus status = doc.OnOpenDocument(path);
    if (status == DocFileStatus::Ok)
        return true;
    ctx.err << DocFileMessage(status, path, doc.LoadFailureReason()) << "\n";
    return false;
}

bool CliSaveDocument(CliContext& ctx, CTessarixDoc& doc, const QString& path)
{
    const DocFileStatus status = doc.OnSaveDocument(path);
    if (status == DocFileStatus::Ok)
        return true;
    ctx.err << DocFileMessage(status, path) << "\n";
    return false;
}

bool CliColumnIndex(const QString& text, int* column)
{
    bool ok = false;
    const int c = text.toInt(&ok);
    if (!ok || c < 0 || c >= kColumnCount)
        return false;
    *column = c;
    return true;
}

QString ShortestFloatText(float v)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QJsonValue JsonFloat(float v)
{
    if (!std::isfinite(v))
        return QJsonValue(QJsonValue::Null);
    const QByteArray text = ShortestFloatText(v).toLatin1();
    return QJsonValue(std::strtod(text.constData(), nullptr));
}
