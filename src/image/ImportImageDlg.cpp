#include "image/ImportImageDlg.h"

#include <QFileDialog>
#include <QFileInfo>

#include "document/TessarixDoc.h"
#include "image/ImageImportOptions.h"
#include "image/PictureFileImport.h"
#include "util/StringTable.h"
#include "util/UserPromptBox.h"

bool RunImportImageDlg(QWidget* parent, CTessarixDoc& doc, CKWProfileStore& profile)
{
    CImageImportProfile remembered(profile);
    const CTXImage& current = doc.Image();
    QFileDialog dialog(parent, TxString(61725));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(ImageFilterTexts());
    dialog.selectNameFilter(ImageFilterText(remembered.InitialFilter(current.HasPicture() ? current.kind() : 0)));
    const QString folder = remembered.Folder();
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    if (!current.sourcePath().isEmpty() && QFileInfo(current.sourcePath()).dir().exists())
        dialog.selectFile(current.sourcePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString path = dialog.selectedFiles().first();
    const int32_t filter = ImageKindOfFilterText(dialog.selectedNameFilter());
    remembered.Remember(path, filter);
    // The filter says how the file is read first; when it does not fit, the file's content does.
    const PictureImport import = ImportPictureFile(path, filter != 0 ? filter : ImageKindForFileName(path));
    if (!import.imported) {
        TellUser(parent, import.warning);
        return false;
    }
    doc.ReplaceImage(import.picture);
    return true;
}
