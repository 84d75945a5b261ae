#pragma once
// A hand-built map for the drawing tests: settings, a surface filled from a formula, contour
// polylines built as circles around the middle of the extent, and the interpolation input, all
// turned into the MapDrawInput a map computation would hand to the drawing.

#include <QImage>

#include <atomic>
#include <cmath>
#include <functional>
#include <memory>

#include "document/TessarixSettings.h"
#include "mapping/ContourResult.h"
#include "mapping/Surface3DData.h"
#include "render/MapDrawInput.h"
#include "geometry/MapLayout.h"
#include "util/LevelSeries.h"

inline CMapAxis AxisFrom(const AxisSettings& a, int side)
{
    CMapAxis axis(side, a.label);
    axis.font = a.font;
    axis.color = a.fontColor;
    axis.SetAxisRange(a.start, a.stop, a.step);
    return axis;
}

struct MapFixture {
    CTessarixSettings settings;
    CSurface3DData surface;
    CCMAP_ContourResult contours;
    CTXFloatArray levels;
    CTXFloatArray x, y, values;
    int measured = 0;
    std::atomic<int32_t> abort{0};
    int dpi = 96;

    // nx × ny cells (nx + 1 by ny + 1 nodes), node (i, j) valued f(i, j).
    void FillSurface(int nx, int ny, const std::function<float(int, int)>& f)
    {
        settings.gridCountX = nx;
        settings.gridCountY = ny;
        surface.Allocate(nx + 1, ny + 1);
        for (int i = 0; i <= nx; ++i)
            surface.XArray()[size_t(i)] = float(i) / float(nx);
        for (int j = 0; j <= ny; ++j)
            surface.YArray()[size_t(j)] = float(j) / float(ny);
        for (int i = 0; i <= nx; ++i)
            for (int j = 0; j <= ny; ++j)
                surface.Value(i, j) = f(i, j);
        surface.SetValid(true);
        surface.UpdateStatistics();
    }

    // A cone: 80 at the middle, falling by 60 per unit of normalised distance.
    void FillCone(int nx, int ny)
    {
        FillSurface(nx, ny, [nx, ny](int i, int j) {
            const double dx = double(i) / nx - 0.5, dy = double(j) / ny - 0.5;
            return float(80.0 - 60.0 * std::sqrt(dx * dx + dy * dy));
        });
    }

    // Contours of the cone: a closed circle per level and sub-level (radius (80 - v) / 60).
    void TraceConeCircles(int vertices = 96)
    {
        levels = LevelSeries(settings.zAxis.start, settings.zAxis.stop, settings.zAxis.step);
        contours.entries.clear();
        contours.entries.resize(levels.size() * 3);
        for (size_t k = 0; k < levels.size(); ++k)
            for (int j = 0; j < 3; ++j) {
                const float v = levels[k] + float(j) * settings.zAxis.step / 3.0f;
                const double r = (80.0 - v) / 60.0;
                if (r <= 0.0 || r >= 0.5)
                    continue;
                auto line = std::make_unique<CCMAP_Polyline>();
                auto at = [&](int n) {
                    const double a = 2.0 * M_PI * n / vertices;
                    return KW_FPOINT{float(0.5 + r * std::cos(a)), float(0.5 + r * std::sin(a))};
                };
                line->Start(at(0), at(1));
                for (int n = 2; n <= vertices; ++n)
                    line->InsertBack(n == vertices ? at(0) : at(n));
                contours.entries[3 * k + size_t(j)].polylines.push_back(std::move(line));
            }
    }

    void AddPoint(float px, float py, float v, bool isMeasured = true)
    {
        x.push_back(px);
        y.push_back(py);
        values.push_back(v);
        if (isMeasured)
            ++measured;
    }

    MapDrawInput Input(const QSize& client)
    {
        MapDrawInput in;
        in.settings = &settings;
        in.xAxis = AxisFrom(settings.xAxis, CMapAxis::BelowHorizontal);
        in.yAxis = AxisFrom(settings.yAxis, CMapAxis::LeftOfVertical);
        in.zAxis = AxisFrom(settings.zAxis, CMapAxis::RightOfVertical);
        in.layout = ComputeMapLayout({0, 0, client.width(), client.height()}, dpi, dpi, in.xAxis,
                                     in.yAxis, in.zAxis, settings.xAxis.hidden, settings.yAxis.hidden,
                                     settings.zAxis.hidden, settings.borderPen.width);
        in.xAxis.SetAxisRect(in.layout.graph);
        in.yAxis.SetAxisRect(in.layout.graph);
        in.surface = &surface;
        in.contours = &contours;
        in.levels = levels;
        in.x = &x;
        in.y = &y;
        in.values = &values;
        in.measuredCount = measured;
        float largest = 0.0f;
        for (size_t n = 0; n < values.size(); ++n)
            largest = n == 0 ? values[n] : std::max(largest, values[n]);
        in.largestValue = largest;
        in.dpiX = in.dpiY = dpi;
        in.abort = &abort;
        return in;
    }
};

inline bool SameRgb(QRgb a, QRgb b)
{
    return qRed(a) == qRed(b) && qGreen(a) == qGreen(b) && qBlue(a) == qBlue(b);
}

// Where tests can write the pictures they draw, for a person to look at: TESSARIX_RENDER_DUMP.
inline void DumpPicture(const QImage& image, const QString& name)
{
    const QByteArray dir = qgetenv("TESSARIX_RENDER_DUMP");
    if (!dir.isEmpty())
        image.save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name + QStringLiteral(".png"));
}
