#pragma once
// What the Noise Zones dialog shows: the thresholds (remembered in the user's settings, not in
// the document) and one table row per enabled column and threshold with the area at or above it
// and its share of the map, or of the clipped region when clipping polylines cut the map.

#include <QString>

#include <vector>

class CKWProfileStore;
class CMapComputationSet;
class CTessarixDoc;

class CNoiseZonesModel {
public:
    // Reads the remembered thresholds (80, 85, 87 when there are none or they do not read).
    explicit CNoiseZonesModel(CKWProfileStore& profile);

    const std::vector<float>& Levels() const { return m_levels; }
    QString LevelsText() const;
    // Takes typed thresholds and remembers them; false, with nothing changed, when the text is
    // not a list of thresholds.
    bool SetLevelsText(const QString& text);

    // Fills the rows from the maps' current surfaces; without maps every column has none.
    void Compute(const CTessarixDoc& doc, CMapComputationSet* maps);

    struct Row {
        QString column;     // the column's name, on the first row of its column only
        QString threshold;  // or, when `message` is set, why the column has no zones
        QString area;
        QString share;
        QString of;  // "the map (area 400)" or "the clipped region (area 100)"
        bool message = false;
    };
    const std::vector<Row>& Rows() const { return m_rows; }

private:
    CKWProfileStore& m_profile;
    std::vector<float> m_levels;
    std::vector<Row> m_rows;
};
