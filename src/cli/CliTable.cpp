// tessarix-cli table FILE [--format text|dif] [--locale NAME] [--out F]: the point table in the
// renderings of Copy, under a header row of X, Y and the enabled columns' names.

#include <QFile>
#include <QLocale>

#include <cstdio>

#include "cli/CliDocument.h"
#include "dataentry/EditDataModel.h"
#include "document/TessarixDoc.h"

namespace {

bool WriteBytes(CliContext& ctx, const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty()) {
        ctx.out.flush();
        if (QIODevice* device = ctx.out.device())
            return device->write(bytes) == bytes.size();
        if (ctx.out.string()) {
            // A string stream (tests): bytes as Latin-1 characters, one per byte.
            ctx.out << QString::fromLatin1(bytes);
            return true;
        }
        return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) &&
               std::fflush(stdout) == 0;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        ctx.err << path << ": " << file.errorString() << "\n";
        return false;
    }
    return true;
}

int Table(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QString format = args.TakeOption(QStringLiteral("--format"), QStringLiteral("text"));
    const QString localeName = args.TakeOption(QStringLiteral("--locale"));
    const QString out = args.TakeOption(QStringLiteral("--out"));
    const QStringList files = args.Positional();
    if (files.size() != 1 || !args.UnknownOption().isEmpty() || args.MissingValue() ||
        (format != QLatin1String("text") && format != QLatin1String("dif"))) {
        ctx.err << CliUsageOf(QStringLiteral("table")) << "\n";
        return CliUsage;
    }
    ExchangeLocale locale = ExchangeLocale::System();
    if (!localeName.isEmpty()) {
        const QLocale named(localeName);
        const bool isC = localeName == QLatin1String("C") || localeName == QLatin1String("POSIX");
        if (named.language() == QLocale::C && !isC) {
            ctx.err << "tessarix-cli: unknown locale '" << localeName << "'\n";
            return CliUsage;
        }
        locale = ExchangeLocale::Of(named);
    }
    CTessarixDoc doc;
    if (!CliOpenDocument(ctx, doc, files[0]))
        return CliRefused;
    const QByteArray bytes =
        RenderPointTable(doc, format == QLatin1String("dif") ? TableFormat::Dif : TableFormat::Text, locale);
    return WriteBytes(ctx, out, bytes) ? CliOk : CliRefused;
}

const CliRegistration reg("table", "table FILE [--format text|dif] [--locale NAME] [--out F]",
                          "Write the point table (header X, Y, column names) as on the clipboard: "
                          "locale-separated text or DIF.",
                          Table);

}  // namespace
