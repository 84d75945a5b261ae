#pragma once
// Message boxes and warning beeps of the data entry windows. Tests replace both with recorders so
// that no modal box blocks them and every message can be checked.

#include <QString>

#include <functional>

class QWidget;

enum class TxMessageButtons { Ok, OkCancel };
enum class TxMessageIcon { Warning, Exclamation, Information };

// Shows `text`; returns true when the user pressed OK.
bool TxMessageBox(QWidget* parent, const QString& text, TxMessageButtons buttons = TxMessageButtons::Ok,
                  TxMessageIcon icon = TxMessageIcon::Exclamation);
// The warning beep of a refused input.
void TxWarningBeep();

// Replacements for tests (an empty function restores the real box or beep).
using TxMessageHook = std::function<bool(const QString& text, TxMessageButtons buttons)>;
void SetTxMessageHook(TxMessageHook hook);
void SetTxBeepHook(std::function<void()> hook);
