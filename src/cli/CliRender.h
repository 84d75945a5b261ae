#pragma once
// The pieces of `render` that name and label the pictures of a batch of columns.

#include <QImage>
#include <QString>

#include <array>

// A column name made safe for a file name: ASCII letters, digits, "-" and "." kept, every other
// run of characters one "_", none leading or trailing ("1 kHz" -> "1_kHz", "Ø/dB" -> "dB").
QString FileNamePart(const QString& columnName);

// The title's font size and the height of the band above the map it sits in, at `dpi`.
int TitleFontPixels(int dpi);
int TitleBandHeight(int dpi);

// `map` under a white band of `bandHeight` pixels with `title` centred in it.
QImage WithTitleBand(const QImage& map, const QString& title, int bandHeight, int dpi);

// The steps of the command timed by --timings, each from the end of the one before.
enum class RenderStep : int { Open, Maps, Writing };
inline constexpr int kRenderStepCount = 3;

// The --timings table: the phases of map making summed over the threads (calls, wall and CPU
// seconds), then the elapsed seconds of each step and their total.
QString RenderTimingsTable(const std::array<double, kRenderStepCount>& stepSeconds);
