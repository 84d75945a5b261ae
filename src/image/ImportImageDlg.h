#pragma once
// The Import Image command's open-file dialog: the four picture filters, starting in the
// remembered folder (or at the current picture's file) with the current kind's filter; after
// OK the document reads the file with the filter chosen, or with the kind its content shows.

class CTessarixDoc;
class CKWProfileStore;
class QWidget;

// True when a picture was imported. A file no decoder reads changes nothing and is named in a
// warning.
bool RunImportImageDlg(QWidget* parent, CTessarixDoc& doc, CKWProfileStore& profile);
