#include "dataentry/TxMessageDlg.h"

#include <QApplication>
#include <QMessageBox>

namespace {

TxMessageHook& MessageHook()
{
    static TxMessageHook hook;
    return hook;
}

std::function<void()>& BeepHook()
{
    static std::function<void()> hook;
    return hook;
}

}  // namespace

bool TxMessageBox(QWidget* parent, const QString& text, TxMessageButtons buttons, TxMessageIcon icon)
{
    if (MessageHook())
        return MessageHook()(text, buttons);
    QMessageBox box(icon == TxMessageIcon::Information ? QMessageBox::Information : QMessageBox::Warning,
                    QApplication::applicationDisplayName(), text,
                    buttons == TxMessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                          : QMessageBox::Ok,
                    parent);
    return box.exec() == QMessageBox::Ok;
}

void TxWarningBeep()
{
    if (BeepHook())
        BeepHook()();
    else
        QApplication::beep();
}

void SetTxMessageHook(TxMessageHook hook)
{
    MessageHook() = std::move(hook);
}

void SetTxBeepHook(std::function<void()> hook)
{
    BeepHook() = std::move(hook);
}
