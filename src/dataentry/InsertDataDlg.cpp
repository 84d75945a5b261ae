#include "dataentry/InsertDataDlg.h"

#include <QApplication>
#include <QMenu>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/InsertDataModel.h"
#include "dataentry/TableClipboard.h"
#include "dataentry/TxMessageDlg.h"
#include "document/TessarixDoc.h"
#include "util/StringTable.h"

bool CInsertDataDlg::Import(QWidget* parent, CInsertDataModel& model, CTessarixDoc& doc)
{
    if (model.InsertMode()) {
        model.LeaveInsertMode();
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString text = ClipboardText();
    const int enabled = int(doc.EnabledColumnIndices().size());
    QApplication::restoreOverrideCursor();
    const InsertImportResult result = model.Import(text, ExchangeLocale::System(), enabled, [parent](const QString& q) {
        return TxMessageBox(parent, q, TxMessageButtons::OkCancel, TxMessageIcon::Warning);
    });
    if (!result.message.isEmpty())
        TxMessageBox(parent, result.message, TxMessageButtons::Ok, TxMessageIcon::Warning);
    return model.InsertMode();
}

bool CInsertDataDlg::PlaceAt(QWidget* parent, const QPoint& globalPos, CInsertDataModel& model,
                             CTessarixDoc& doc, float x, float y)
{
    if (!model.InsertMode())
        return false;
    if (CInsertDataModel::IsOutsideExtent(doc.Settings().extent, x, y) &&
        !TxMessageBox(parent, TxString(IDS_INSERT_OUTSIDE_EXTENT), TxMessageButtons::OkCancel,
                      TxMessageIcon::Warning))
        return false;
    QMenu menu(parent);
    for (const InsertPopupEntry& entry : model.PopupEntries())
        menu.addAction(entry.text)->setData(entry.commandId);
    QAction* chosen = menu.exec(globalPos);
    if (!chosen)
        return false;
    return model.Place(doc, chosen->data().toInt(), x, y);
}
