#pragma once
// CColorScaleDlg: the "Color Scale" dialog. It edits a working copy of a colour scale: the
// spectrum bar shows it, the marker strip under it edits its stops with the mouse, "Current
// &Color..." picks the selected stop's colour, "&Remove current color" removes an inner stop, and
// "&Load scale" / "&Save scale" read and write ".csc" files, the file dialogs remembering their
// folder under the profile name "ColorScale". The scale's low and high give the marker labels.

#include <QDialog>

#include <memory>

#include "colors/ColorScaleEditModel.h"

class CColButtn;
class CKWProfileStore;
class CTXColTableMarker;
class CTXColTableSpectrum;
class QPushButton;

class CColorScaleDlg : public QDialog {
    Q_OBJECT
public:
    CColorScaleDlg(const CKWColorScale& scale, CKWProfileStore& profile, QWidget* parent = nullptr);
    ~CColorScaleDlg() override;

    const CKWColorScale& Scale() const { return m_model->Scale(); }
    CColorScaleEditModel& Model() { return *m_model; }
    CTXColTableSpectrum* Spectrum() const { return m_spectrum; }
    CTXColTableMarker* Strip() const { return m_strip; }
    CColButtn* ColorButton() const { return m_color; }
    QPushButton* RemoveButton() const { return m_remove; }
    QPushButton* LoadButton() const { return m_load; }
    QPushButton* SaveButton() const { return m_save; }

    // The work behind "&Load scale" and "&Save scale" once a file is chosen. A file that cannot be
    // opened is told to the user; a file that holds no colour scale is passed over in silence.
    // Either way a failed load changes nothing. True when the scale was read or written.
    bool LoadScaleFrom(const QString& path);
    bool SaveScaleTo(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChooseColor();
    void RemoveCurrent();
    void ChooseFileAndLoad();
    void ChooseFileAndSave();
    // Takes the strip's scale limits from where the spectrum bar lies.
    void UpdateLimits();
    // Buttons, colour swatch, bar and strip after any change.
    void Refresh();

    std::unique_ptr<CColorScaleEditModel> m_model;
    CKWProfileStore& m_profile;
    CTXColTableSpectrum* m_spectrum = nullptr;
    CTXColTableMarker* m_strip = nullptr;
    CColButtn* m_color = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_load = nullptr;
    QPushButton* m_save = nullptr;
};

// Shows the dialog modally over `parent` on a copy of `scale` (whose low and high label the
// markers); true when OK was pressed and `scale` was replaced by the edited stops, low and high.
// Cancel leaves `scale` as it was. Folders are remembered in the process-wide profile store.
bool RunColorScaleDlg(QWidget* parent, CKWColorScale& scale);
bool RunColorScaleDlg(QWidget* parent, CKWColorScale& scale, CKWProfileStore& profile);
