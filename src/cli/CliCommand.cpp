#include "cli/CliCommand.h"

#include <map>

namespace {

struct CommandEntry {
    QString usage;
    QString summary;
    CliHandler handler;
};

std::map<QString, CommandEntry>& Commands()
{
    static std::map<QString, CommandEntry> commands;
    return commands;
}

void PrintHelp(QTextStream& s)
{
    s << "usage: tessarix-cli COMMAND [ARGS]\n\ncommands:\n";
    for (const auto& [name, entry] : Commands())
        s << "  " << entry.usage << "\n      " << entry.summary << "\n";
    s << "\nRun 'tessarix-cli COMMAND --help' for one command.\n";
}

}  // namespace

CliRegistration::CliRegistration(const char* name, const char* usage, const char* summary, CliHandler handler)
{
    Commands()[QString::fromLatin1(name)] =
        CommandEntry{QString::fromLatin1(usage), QString::fromLatin1(summary), std::move(handler)};
}

QString CliUsageOf(const QString& command)
{
    auto it = Commands().find(command);
    return it == Commands().end() ? QString() : QStringLiteral("usage: tessarix-cli ") + it->second.usage;
}

int RunCli(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.isEmpty()) {
        PrintHelp(err);
        return CliUsage;
    }
    const QString name = args.first();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        PrintHelp(out);
        return CliOk;
    }
    auto it = Commands().find(name);
    if (it == Commands().end()) {
        err << "tessarix-cli: unknown command '" << name << "'\n";
        PrintHelp(err);
        return CliUsage;
    }
    QStringList rest = args.mid(1);
    if (rest.contains(QLatin1String("--help")) || rest.contains(QLatin1String("-h"))) {
        out << "usage: tessarix-cli " << it->second.usage << "\n" << it->second.summary << "\n";
        return CliOk;
    }
    CliContext context{rest, out, err};
    return it->second.handler(context);
}

CliArgs::CliArgs(const QStringList& args) : m_args(args) {}

QString CliArgs::TakeOption(const QString& name, const QString& fallback)
{
    const qsizetype i = m_args.indexOf(name);
    if (i < 0)
        return fallback;
    if (i + 1 >= m_args.size()) {
        m_missingValue = true;
        m_args.removeAt(i);
        return fallback;
    }
    const QString value = m_args.at(i + 1);
    m_args.remove(i, 2);
    return value;
}

bool CliArgs::TakeFlag(const QString& name)
{
    return m_args.removeAll(name) > 0;
}

QStringList CliArgs::Positional() const
{
    QStringList out;
    for (const QString& a : m_args)
        if (!a.startsWith(QLatin1String("--")))
            out.append(a);
    return out;
}

QString CliArgs::UnknownOption() const
{
    for (const QString& a : m_args)
        if (a.startsWith(QLatin1String("--")))
            return a;
    return {};
}
