#include "app/ShellMessage.h"

#include <QCoreApplication>

namespace {

ShellMessageHook& Hook()
{
    static ShellMessageHook hook;
    return hook;
}

}  // namespace

QMessageBox::StandardButton ShowShellMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                             QMessageBox::StandardButtons buttons)
{
    if (Hook())
        return Hook()(text, icon, buttons);
    QMessageBox box(icon, QCoreApplication::applicationName(), text, buttons, parent);
    return QMessageBox::StandardButton(box.exec());
}

ShellMessageHook SetShellMessageHook(ShellMessageHook hook)
{
    ShellMessageHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
