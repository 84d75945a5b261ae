#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

#include "cli/CliCommand.h"

int main(int argc, char** argv)
{
    // The command-line tool never opens a window; text and pictures are drawn off-screen.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QByteArray("/tmp/runtime-") + qgetenv("USER"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = RunCli(args, out, err);
    out.flush();
    err.flush();
    return status;
}
