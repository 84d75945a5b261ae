#pragma once
// Measurement tables on the clipboard: Copy offers both renderings at once (plain text for every
// program, DIF for spreadsheets), Paste and Insert Data read the text form.

#include <QString>

#include <memory>

#include "dataentry/TableExchange.h"

class QMimeData;

// Both renderings of `table`: text/plain (the text rendering without its closing NUL, which the
// clipboard adds where it needs one) and the DIF bytes under DifMimeType(). Null when either
// rendering failed.
std::unique_ptr<QMimeData> MakeTableMimeData(const CellTable& table, const ExchangeLocale& locale);

// Puts both renderings on the clipboard; the clipboard is left alone when rendering failed.
bool PutTableOnClipboard(const CellTable& table, const ExchangeLocale& locale);

bool ClipboardHasText();
QString ClipboardText();
