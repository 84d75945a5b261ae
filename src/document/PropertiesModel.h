#pragma once
// CPropertiesModel: what the properties pane decides, without widgets. It keeps, for every row
// of the property table, the value the pane shows and the value last committed to the settings.
//
// Immediate mode: an edit is applied at once as one undoable step whose argument is the row's
// identifier. "Delay Update" mode: an edit only changes the shown value (the row is pending);
// "Apply Changes", or switching the mode off while rows are pending, applies every pending row
// in table order as one undoable step with argument 0 (the whole settings record), so undo
// brings back exactly the settings before the apply. Reload shows the settings as they are.

#include <QString>

#include <vector>

#include "document/PropertyTable.h"

class CTessarixDoc;
class CKWProfileStore;

class CPropertiesModel {
public:
    // `store` keeps the "Delay Update" choice (section "PropertiesWnd", value "DelayUpdate");
    // without one the choice is not remembered. `symbolSets` gives the ranges of installed sets.
    CPropertiesModel(CTessarixDoc& doc, CKWProfileStore* store, SymbolRangeLookup symbolSets = {});

    int Count() const { return int(m_rows.size()); }
    const PropertyDefinition& Definition(int row) const;
    const PropertyValue& Value(int row) const { return m_rows.at(size_t(row)).shown; }
    // The row's shown value differs from the settings (only in "Delay Update" mode).
    bool IsPending(int row) const;
    bool HasPendingChanges() const;
    // Z "Start" and "Stop" follow a "Normal" scale mode, "Fixed Amplitude" the other one, as the
    // pane shows it.
    bool IsEnabled(int row) const;
    // The symbol numbers the symbol set shown in the pane offers.
    SymbolRange SymbolRangeShown() const;

    // An edit of a row's value in the pane. Returns true when it changed the shown value.
    bool Edit(int row, const PropertyValue& value);

    bool DelayUpdate() const { return m_delayUpdate; }
    // Switching the mode applies the pending rows first.
    void SetDelayUpdate(bool on);
    bool CanApplyChanges() const { return m_delayUpdate && HasPendingChanges(); }
    // Applies every pending row as one step; returns false (nothing recorded) when none is.
    bool ApplyChanges();

    // Every row shows the settings again; pending edits are dropped.
    void Reload();

private:
    struct Row {
        PropertyValue shown;
        PropertyValue committed;
    };
    // Writes the row's shown value into the settings and commits it; a new symbol set moves the
    // symbol by the difference of the two sets' first codes.
    void ApplyRow(int row);
    int SymbolSetRow() const;
    int SymbolRow() const;

    CTessarixDoc& m_doc;
    CKWProfileStore* m_store;
    SymbolRangeLookup m_symbolSets;
    std::vector<Row> m_rows;
    bool m_delayUpdate = false;
};
