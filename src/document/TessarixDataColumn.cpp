#include "document/TessarixDataColumn.h"

#include <cmath>

#include "util/Archive.h"

void CTessarixDataColumn::Serialize(CTXArchive& ar, int32_t pointCount)
{
    int32_t schema = 0;
    ar.Int32(schema);
    if (ar.IsLoading() && schema != 0)
        CTXArchive::FailFormat("unknown column schema");
    ar.Int32(enabled);
    ar.String(name);
    ar.Floats(values, pointCount);
}

QString DefaultColumnName(int column)
{
    if (column == 0)
        return QStringLiteral("SLM");
    // Octave band n = c + 3 in thirds of a decade: 10^floor(3n / 10) times a preferred mantissa.
    static constexpr float kMantissa[10] = {1.0f, 1.25f, 1.6f, 2.0f, 2.5f, 3.15f, 4.0f, 5.0f, 6.3f, 8.0f};
    const int a = 3 * (column + 3);
    float frequency = std::pow(10.0f, float(a / 10)) * kMantissa[a % 10];
    const char* unit = "Hz";
    if (frequency >= 1000.0f) {
        frequency /= 1000.0f;
        unit = "kHz";
    }
    return QString::asprintf("%g %s", double(frequency), unit);
}
