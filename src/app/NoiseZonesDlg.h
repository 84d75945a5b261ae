#pragma once
// "Noise Zones": the thresholds and, per enabled column, the area at or above each of them and
// its share of the map, from the surfaces of the maps on screen.

#include <QDialog>

#include "app/NoiseZonesModel.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CNoiseZonesDlg : public QDialog {
    Q_OBJECT
public:
    // `maps` may be null (no surfaces to read).
    CNoiseZonesDlg(CTessarixDoc& doc, CMapComputationSet* maps, CKWProfileStore& profile, QWidget* parent = nullptr);

    QLineEdit* ThresholdsEdit() const { return m_thresholds; }
    QPushButton* ComputeButton() const { return m_compute; }
    QTableWidget* Table() const { return m_table; }
    QLabel* WarningLabel() const { return m_warning; }

private:
    // Takes the typed thresholds and fills the table, or shows why they were refused.
    void Recompute();
    void FillTable();

    CTessarixDoc& m_doc;
    CMapComputationSet* m_maps;
    CNoiseZonesModel m_model;
    QLineEdit* m_thresholds = nullptr;
    QPushButton* m_compute = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_warning = nullptr;
};

// Runs the dialog modally over `parent`.
void RunNoiseZonesDialog(QWidget* parent, CTessarixDoc& doc);
