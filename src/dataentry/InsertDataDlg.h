#pragma once
// The map view's side of Insert Data: message boxes and the pop-up menu around CInsertDataModel.
//
//   CInsertDataModel model;                         // owned by the view
//   CInsertDataDlg::Import(view, model, doc);       // the Insert Data command
//   CInsertDataDlg::PlaceAt(view, globalPos, model, doc, x, y);  // left click in insert mode

#include <QPoint>

class CInsertDataModel;
class CTessarixDoc;
class QWidget;

class CInsertDataDlg {
public:
    // The Insert Data command: leaves insert mode when it is on, else reads the clipboard text
    // (warning 3028 when nothing usable, question 3029 for a partial import). Returns whether
    // insert mode is on afterwards.
    static bool Import(QWidget* parent, CInsertDataModel& model, CTessarixDoc& doc);

    // A click at map position (x, y) in insert mode: question 3031 outside the map extent, then
    // the pop-up menu of pending lines at `globalPos`; the chosen line becomes a new point.
    // Returns true when a point was inserted.
    static bool PlaceAt(QWidget* parent, const QPoint& globalPos, CInsertDataModel& model,
                        CTessarixDoc& doc, float x, float y);
};
