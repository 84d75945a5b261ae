#pragma once
// The "Spectrum" pane: for the pointer's position over the map, the value of every enabled
// column as a bar, labelled with the column names, under the position it was read at. When the
// pointer leaves the map the bars of the last position stay, in grey; a column without a surface
// there has no bar. Ctrl+C while the pane has the focus copies the values shown as one
// TAB-separated line (SpectrumCopyText).

#include <QDockWidget>

#include <vector>

#include "app/SpectrumChart.h"
#include "render/TessarixViewModel.h"

class CTessarixDoc;

// The chart itself, the pane's widget; it takes the focus so that Copy reaches it.
class CSpectrumChart : public QWidget {
    Q_OBJECT
public:
    explicit CSpectrumChart(QWidget* parent = nullptr);

    // The values at `position` (live), or the same values held after the pointer left the map.
    void SetEntries(std::vector<SpectrumEntry> entries, const CursorReadout& position, const SpectrumScale& scale);
    void Hold();
    // No position: the column names without bars.
    void Clear(std::vector<SpectrumEntry> columns);

    const std::vector<SpectrumEntry>& Entries() const { return m_entries; }
    bool Held() const { return m_held; }
    bool HasPosition() const { return m_position.xyValid; }
    const SpectrumScale& Scale() const { return m_scale; }
    // The line Copy puts on the clipboard; empty without a position.
    QString CopyText() const;
    bool CopyToClipboard() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    std::vector<SpectrumEntry> m_entries;
    CursorReadout m_position;
    SpectrumScale m_scale;
    bool m_held = false;
};

class CSpectrumWnd : public QDockWidget {
    Q_OBJECT
public:
    explicit CSpectrumWnd(CTessarixDoc& doc, QWidget* parent = nullptr);

    CSpectrumChart* Chart() const { return m_chart; }

public slots:
    // The cursor read-out as the status bar shows it; without a position the bars are held.
    void ShowReadout(const CursorReadout& readout);
    // Columns, names or values may have changed: the held values go.
    void OnDocumentChanged();

private:
    CTessarixDoc& m_doc;
    CSpectrumChart* m_chart = nullptr;
};
