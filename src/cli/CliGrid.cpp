// tessarix-cli grid FILE [--column N] [--format csv|asc] [--out F]: the interpolated grid of one
// column in map coordinates, computed by the column's map worker.

#include <QFile>

#include "cli/CliDocument.h"
#include "cli/CliStrings.h"
#include "workers/BatchMapRun.h"
#include "util/StringTable.h"

namespace {

constexpr const char* kNoData = "-9999";

QString Number(float v)
{
    return std::isfinite(v) ? ShortestFloatText(v) : QString::fromLatin1(kNoData);
}

// x, y, z per node, rows from south to north, west to east within a row.
void WriteCsv(QTextStream& out, const CSurface3DData& s, const MapExtent& e)
{
    out << "x,y,z\n";
    for (int32_t j = 0; j < s.NY(); ++j) {
        const float y = e.y0 + s.Y(j) * (e.y1 - e.y0);
        for (int32_t i = 0; i < s.NX(); ++i) {
            const float x = e.x0 + s.X(i) * (e.x1 - e.x0);
            out << ShortestFloatText(x) << ',' << ShortestFloatText(y) << ',' << Number(s.Value(i, j)) << '\n';
        }
    }
}

// ESRI ASCII grid: the nodes are the cell centres, rows from north to south.
void WriteAsc(QTextStream& out, const CSurface3DData& s, const MapExtent& e, int32_t countX, int32_t countY)
{
    const double dx = (double(e.x1) - e.x0) / countX, dy = (double(e.y1) - e.y0) / countY;
    out << "ncols " << s.NX() << "\nnrows " << s.NY() << '\n';
    out << "xllcorner " << QString::number(e.x0 - dx / 2, 'g', 17) << '\n';
    out << "yllcorner " << QString::number(e.y0 - dy / 2, 'g', 17) << '\n';
    if (float(dx) == float(dy))
        out << "cellsize " << QString::number(dx, 'g', 17) << '\n';
    else
        out << "dx " << QString::number(dx, 'g', 17) << "\ndy " << QString::number(dy, 'g', 17) << '\n';
    out << "NODATA_value " << kNoData << '\n';
    for (int32_t j = s.NY() - 1; j >= 0; --j) {
        for (int32_t i = 0; i < s.NX(); ++i)
            out << (i ? " " : "") << Number(s.Value(i, j));
        out << '\n';
    }
}

int Grid(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QString columnText = args.TakeOption(QStringLiteral("--column"), QStringLiteral("0"));
    const QString format = args.TakeOption(QStringLiteral("--format"), QStringLiteral("csv"));
    const QString outPath = args.TakeOption(QStringLiteral("--out"));
    const QStringList files = args.Positional();
    if (files.size() != 1 || !args.UnknownOption().isEmpty() || args.MissingValue()) {
        ctx.err << CliUsageOf(QStringLiteral("grid")) << "\n";
        return CliUsage;
    }
    int column = 0;
    if (!CliColumnIndex(columnText, &column)) {
        ctx.err << TxString(IDS_CLI_BAD_COLUMN) << "\n";
        return CliUsage;
    }
    if (format != QLatin1String("csv") && format != QLatin1String("asc")) {
        ctx.err << TxFormat(IDS_CLI_UNKNOWN_GRID_FORMAT, format) << "\n";
        return CliUsage;
    }

    CBatchMapRun run(column);
    QString problem = run.OpenAndCompute(files.first(), column);
    if (problem.isEmpty())
        problem = run.SurfaceProblem(column);
    if (!problem.isEmpty()) {
        ctx.err << problem << "\n";
        return CliRefused;
    }
    const CContourMapThread& t = run.Thread(column);
    QFile file(outPath);
    if (!outPath.isEmpty() && !file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ctx.err << TxFormat(IDS_CLI_CANNOT_WRITE, outPath) << "\n";
        return CliRefused;
    }
    QTextStream fileStream(&file);
    QTextStream& out = outPath.isEmpty() ? ctx.out : fileStream;
    if (format == QLatin1String("asc"))
        WriteAsc(out, t.Surface(), t.Settings().extent, t.Settings().gridCountX, t.Settings().gridCountY);
    else
        WriteCsv(out, t.Surface(), t.Settings().extent);
    out.flush();
    if (!outPath.isEmpty() && file.error() != QFileDevice::NoError) {
        ctx.err << TxFormat(IDS_CLI_CANNOT_WRITE, outPath) << "\n";
        return CliRefused;
    }
    return CliOk;
}

const CliRegistration reg("grid", "grid FILE [--column N] [--format csv|asc] [--out F]",
                          "Write the interpolated grid of a column in map coordinates (CSV x,y,z or ESRI ASCII grid).",
                          Grid);

}  // namespace
