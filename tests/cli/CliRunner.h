#pragma once
// Runs tessarix-cli commands in process and collects their status and output.

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "cli/CliCommand.h"

struct CliRun {
    int status;
    QString out;
    QString err;
};

inline CliRun RunTool(const QStringList& args)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = RunCli(args, o, e);
    o.flush();
    e.flush();
    return {status, out, err};
}
