#pragma once
// One data column of the measurement table: whether it is in use, its name, one value per point.
// Record: int32 schema 0, int32 enabled, name string, then one float per point.

#include <QString>

#include "util/TxTypes.h"

class CTXArchive;

class CTessarixDataColumn {
public:
    CTessarixDataColumn() = default;
    CTessarixDataColumn(bool isEnabled, const QString& columnName) : enabled(isEnabled ? 1 : 0), name(columnName) {}

    // Writes or reads the record with `pointCount` values; a schema other than 0 is a format error.
    void Serialize(CTXArchive& ar, int32_t pointCount);

    int32_t enabled = 0;
    QString name;
    CTXFloatArray values;
};

// The default name of column c: "SLM" for column 0, the octave band name for 1..11.
QString DefaultColumnName(int column);
