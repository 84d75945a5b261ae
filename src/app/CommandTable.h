#pragma once
// CCommandTable: the commands the main window offers, by identifier, each with the function that
// carries it out and, optionally, the function that tells whether it is enabled, checked or has a
// changing text. Both interface styles are built from this table and from the layouts in
// ShellLayout.h: an entry of a layout whose command has no handler is left out, so the user never
// meets a command that does nothing.

#include <QString>

#include <functional>
#include <map>

struct CommandState {
    bool enabled = true;
    bool checked = false;
    QString text;  // empty: the label of the layout entry stays
};

class CCommandTable {
public:
    using Handler = std::function<void()>;
    using StateQuery = std::function<CommandState()>;

    // Adds or replaces the command `id`. `checkable` makes menus and buttons show a check state.
    void Register(int id, Handler run, StateQuery state = {}, bool checkable = false);
    void Unregister(int id);
    bool Has(int id) const;
    bool IsCheckable(int id) const;
    CommandState State(int id) const;
    // Runs the command when it is registered and enabled; returns whether it ran.
    bool Run(int id) const;

    // The prompt's parts: the status bar text before "\n" and the tooltip after it (the whole
    // prompt when there is no "\n").
    static QString StatusText(int id);
    static QString TooltipText(int id);

private:
    struct Entry {
        Handler run;
        StateQuery state;
        bool checkable = false;
    };
    std::map<int, Entry> m_entries;
};
