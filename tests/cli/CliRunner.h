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

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

// A temporary folder holding t.Tsrix, imported from the table `csv` (written as t.csv).
class CliImportedTable : public ::testing::Test {
protected:
    explicit CliImportedTable(const char* csv) : m_csv(csv) {}
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QFile table(Path("t.csv"));
        ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        table.write(m_csv);
        table.close();
        ASSERT_EQ(RunTool({QStringLiteral("import"), Path("t.csv"), Path("t.Tsrix")}).status, CliOk);
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // Runs "COMMAND t.Tsrix ARGS...".
    CliRun RunOnTable(const char* command, const std::vector<const char*>& args) const
    {
        QStringList all{QString::fromLatin1(command), Path("t.Tsrix")};
        for (const char* a : args)
            all << QString::fromLatin1(a);
        return RunTool(all);
    }
    QTemporaryDir dir;

private:
    const char* m_csv;
};
