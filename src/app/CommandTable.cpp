#include "app/CommandTable.h"

#include "util/StringTable.h"

void CCommandTable::Register(int id, Handler run, StateQuery state, bool checkable)
{
    if (!run) {
        Unregister(id);
        return;
    }
    m_entries[id] = Entry{std::move(run), std::move(state), checkable};
}

void CCommandTable::Unregister(int id)
{
    m_entries.erase(id);
}

bool CCommandTable::Has(int id) const
{
    return m_entries.count(id) != 0;
}

bool CCommandTable::IsCheckable(int id) const
{
    const auto it = m_entries.find(id);
    return it != m_entries.end() && it->second.checkable;
}

CommandState CCommandTable::State(int id) const
{
    const auto it = m_entries.find(id);
    if (it == m_entries.end())
        return CommandState{false, false, {}};
    return it->second.state ? it->second.state() : CommandState{};
}

bool CCommandTable::Run(int id) const
{
    const auto it = m_entries.find(id);
    if (it == m_entries.end())
        return false;
    if (it->second.state && !it->second.state().enabled)
        return false;
    // A copy, because the handler may re-register commands (and so replace itself).
    const Handler run = it->second.run;
    run();
    return true;
}

QString CCommandTable::StatusText(int id)
{
    const QString prompt = TxString(id);
    const qsizetype nl = prompt.indexOf(u'\n');
    return nl < 0 ? prompt : prompt.left(nl);
}

QString CCommandTable::TooltipText(int id)
{
    const QString prompt = TxString(id);
    const qsizetype nl = prompt.indexOf(u'\n');
    return nl < 0 ? prompt : prompt.mid(nl + 1);
}
