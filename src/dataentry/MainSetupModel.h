#pragma once
// CMainSetupModel: what the Main Setup dialog decides. It holds a copy of the twelve columns'
// enabled flags and names; the dialog shows it and hands it back on OK. Column 0 (shown as "1")
// is always in use; a name field can be edited only while its column is enabled; an enabled
// column needs a name that is not blank.

#include <QString>

#include <array>

#include "document/TessarixDataColumn.h"
#include "util/TxTypes.h"

class CTessarixDoc;

class CMainSetupModel {
public:
    explicit CMainSetupModel(const CTessarixDoc& doc);

    bool IsEnabled(int column) const { return m_enabled.at(size_t(column)); }
    const QString& Name(int column) const { return m_names.at(size_t(column)); }
    // Column 0 ignores a request to switch it off.
    void SetEnabled(int column, bool enabled);
    void SetName(int column, const QString& name) { m_names.at(size_t(column)) = name; }

    // Whether the user may change the "Enable" box or the name field of a column.
    static bool CanToggle(int column) { return column != 0; }
    bool CanEditName(int column) const { return IsEnabled(column); }

    // Trims the names of the enabled columns; returns the first enabled column whose name is
    // then empty, or -1 when every enabled column has a name. Disabled columns are not checked.
    int TrimAndFindBlankName();

    // Writes the flags and names into the document (one undoable step); returns the change
    // level 2 (flags changed), 1 (only names changed) or 0 (nothing changed).
    int Apply(CTessarixDoc& doc) const;

private:
    std::array<bool, kColumnCount> m_enabled{};
    std::array<QString, kColumnCount> m_names;
};
