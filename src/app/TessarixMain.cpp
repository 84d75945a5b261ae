// The program a user starts: the application object runs the start-up, the event loop, and the
// exit step.
#include <QApplication>

#include "app/CommandIcons.h"
#include "app/TessarixApp.h"

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kestrel-Wing Software"));
    QApplication::setApplicationName(QStringLiteral("Tessarix"));
    QApplication::setApplicationVersion(QStringLiteral(TESSARIX_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("tessarix"));
    QApplication::setWindowIcon(ApplicationIcon());

    CTessarixApp app;
    const int status = app.InitInstance(QApplication::arguments().mid(1));
    if (status >= 0)
        return status;
    const int result = QApplication::exec();
    app.ExitInstance();
    return result;
}
