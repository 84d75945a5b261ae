#include "dataentry/TableClipboard.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QMimeData>

#include "util/Codepage.h"

std::unique_ptr<QMimeData> MakeTableMimeData(const CellTable& table, const ExchangeLocale& locale)
{
    QByteArray text = CTableTextWriter(locale).Render(table);
    const QByteArray dif = CTableDifWriter(locale).Render(table);
    if (text.isEmpty() || dif.isEmpty())
        return nullptr;
    if (text.endsWith('\0'))
        text.chop(1);
    auto data = std::make_unique<QMimeData>();
    data->setText(FromCp1252(text));
    data->setData(DifMimeType(), dif);
    return data;
}

bool PutTableOnClipboard(const CellTable& table, const ExchangeLocale& locale)
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    std::unique_ptr<QMimeData> data = MakeTableMimeData(table, locale);
    QClipboard* clipboard = QGuiApplication::clipboard();
    const bool ok = data && clipboard;
    if (ok)
        clipboard->setMimeData(data.release());
    QGuiApplication::restoreOverrideCursor();
    return ok;
}

bool ClipboardHasText()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    return data && data->hasText();
}

QString ClipboardText()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text() : QString();
}
