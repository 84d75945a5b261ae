#include "dataentry/InsertDataDlg.h"

#include <QApplication>
#include <QMenu>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/InsertDataModel.h"
#include "dataentry/TableClipboard.h"
#include "document/TessarixDoc.h"
#include "util/StringTable.h"
#include "util/UserPromptBox.h"

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
        return ConfirmOkCancel(parent, q);
    });
    if (!result.message.isEmpty())
        TellUser(parent, result.message);
    return model.InsertMode();
}

bool CInsertDataDlg::PlaceAt(QWidget* parent, const QPoint& globalPos, CInsertDataModel& model,
                             CTessarixDoc& doc, float x, float y)
{
    if (!model.InsertMode())
        return false;
    if (CInsertDataModel::IsOutsideExtent(doc.Settings().extent, x, y) &&
        !ConfirmOkCancel(parent, TxString(IDS_INSERT_OUTSIDE_EXTENT)))
        return false;
    QMenu menu(parent);
    for (const InsertPopupEntry& entry : model.PopupEntries())
        menu.addAction(entry.text)->setData(entry.commandId);
    QAction* chosen = menu.exec(globalPos);
    if (!chosen)
        return false;
    return model.Place(doc, chosen->data().toInt(), x, y);
}
