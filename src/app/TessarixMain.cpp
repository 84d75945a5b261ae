#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>

#include "document/TessarixDoc.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kestrel-Wing Software"));
    QApplication::setApplicationName(QStringLiteral("Tessarix"));
    CTessarixDoc doc;
    doc.OnNewDocument();
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) {
        const DocFileStatus status = doc.OnOpenDocument(args.at(1));
        if (status != DocFileStatus::Ok)
            QMessageBox::warning(nullptr, QStringLiteral("Tessarix"), DocFileMessage(status, args.at(1)));
    }
    QMainWindow window;
    window.setWindowTitle(doc.Title() + QStringLiteral(" - Tessarix"));
    window.setCentralWidget(new QLabel(QStringLiteral("%1 points, columns: %2")
                                           .arg(doc.PointCount())
                                           .arg(doc.EnabledColumnNames().join(QStringLiteral(", ")))));
    window.resize(1000, 700);
    window.show();
    return app.exec();
}
