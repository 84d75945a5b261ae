#pragma once
// The commands of tessarix-cli. Each command lives in its own Cli<Name>.cpp and registers itself
// with a CliRegistration; RunCli dispatches on the first argument.
//
// Exit status: 0 success, 1 the input was refused, 2 wrong usage. Errors go to `err` with the
// program's own message text.

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

enum CliExit : int { CliOk = 0, CliRefused = 1, CliUsage = 2 };

struct CliContext {
    QStringList args;  // the command's arguments, without the command name
    QTextStream& out;
    QTextStream& err;
};

using CliHandler = std::function<int(CliContext&)>;

struct CliRegistration {
    CliRegistration(const char* name, const char* usage, const char* summary, CliHandler handler);
};

// Runs `args` (the program name excluded).
int RunCli(const QStringList& args, QTextStream& out, QTextStream& err);

// Small argument helpers shared by the commands.
class CliArgs {
public:
    explicit CliArgs(const QStringList& args);
    // Removes "--name VALUE" and returns VALUE, or `fallback` when absent; `missing` is set when
    // the option is present without a value.
    QString TakeOption(const QString& name, const QString& fallback = {});
    bool TakeFlag(const QString& name);
    // The remaining arguments; any left-over "--option" is reported by UnknownOption.
    QStringList Positional() const;
    QString UnknownOption() const;
    bool MissingValue() const { return m_missingValue; }

private:
    QStringList m_args;
    bool m_missingValue = false;
};

// Text of the usage line of a command, for its error messages.
QString CliUsageOf(const QString& command);
