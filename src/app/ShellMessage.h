#pragma once
// ShowShellMessage: every message box of the shell goes through here, so the tests can answer
// the questions the program asks instead of a person.

#include <QMessageBox>

#include <functional>

using ShellMessageHook = std::function<QMessageBox::StandardButton(
    const QString& text, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons)>;

QMessageBox::StandardButton ShowShellMessage(QWidget* parent, const QString& text,
                                             QMessageBox::Icon icon = QMessageBox::Warning,
                                             QMessageBox::StandardButtons buttons = QMessageBox::Ok);
// Replaces the message box by `hook` (empty: message boxes again); returns the previous hook.
ShellMessageHook SetShellMessageHook(ShellMessageHook hook);
