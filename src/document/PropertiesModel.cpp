#include "document/PropertiesModel.h"

#include "document/DocStrings.h"
#include "document/TessarixDoc.h"
#include "util/KWProfileStore.h"

namespace {

const QString kSection = QStringLiteral("PropertiesWnd");
const QString kDelayUpdateKey = QStringLiteral("DelayUpdate");

int FindRowOfType(PropertyEditor type)
{
    const auto& defs = PropertyDefinitions();
    for (size_t i = 0; i < defs.size(); ++i)
        if (defs[i].type == type)
            return int(i);
    return -1;
}

}  // namespace

CPropertiesModel::CPropertiesModel(CTessarixDoc& doc, CKWProfileStore* store, SymbolRangeLookup symbolSets)
    : m_doc(doc), m_store(store), m_symbolSets(std::move(symbolSets)), m_rows(PropertyDefinitions().size())
{
    if (m_store)
        m_delayUpdate = m_store->ReadInt(kSection, kDelayUpdateKey, 0) != 0;
    Reload();
}

const PropertyDefinition& CPropertiesModel::Definition(int row) const
{
    return PropertyDefinitions().at(size_t(row));
}

bool CPropertiesModel::IsPending(int row) const
{
    const Row& r = m_rows.at(size_t(row));
    return !(r.shown == r.committed);
}

bool CPropertiesModel::HasPendingChanges() const
{
    for (int i = 0; i < Count(); ++i)
        if (IsPending(i))
            return true;
    return false;
}

bool CPropertiesModel::IsEnabled(int row) const
{
    const int scaleRow = FindProperty(IDS_PROP_GROUP_Z_AXIS, IDS_PROP_SCALE_MODE);
    const bool normal = Value(scaleRow).number == ScaleNormal;
    switch (Definition(row).enabling) {
    case PropertyEnabling::WhileScaleNormal:
        return normal;
    case PropertyEnabling::WhileScaleFixed:
        return !normal;
    case PropertyEnabling::Always:
        break;
    }
    return true;
}

SymbolRange CPropertiesModel::SymbolRangeShown() const
{
    return SymbolSetRange(m_symbolSets, Value(SymbolSetRow()).text);
}

int CPropertiesModel::SymbolSetRow() const
{
    static const int row = FindRowOfType(PropertyEditor::SymbolSet);
    return row;
}

int CPropertiesModel::SymbolRow() const
{
    static const int row = FindRowOfType(PropertyEditor::Symbol);
    return row;
}

bool CPropertiesModel::Edit(int row, const PropertyValue& value)
{
    Row& r = m_rows.at(size_t(row));
    if (r.shown == value)
        return false;
    r.shown = value;
    if (m_delayUpdate || r.shown == r.committed)
        return true;
    const PropertyDefinition& d = Definition(row);
    m_doc.ApplyChange({StepProperty, d.recalc, d.identifier}, [&] { ApplyRow(row); });
    return true;
}

void CPropertiesModel::SetDelayUpdate(bool on)
{
    if (on == m_delayUpdate)
        return;
    ApplyChanges();
    m_delayUpdate = on;
    if (m_store)
        m_store->WriteInt(kSection, kDelayUpdateKey, on ? 1 : 0);
}

bool CPropertiesModel::ApplyChanges()
{
    if (!HasPendingChanges())
        return false;
    // Argument 0: the step keeps the whole settings record, as any row may have changed.
    int work = 0;
    for (int i = 0; i < Count(); ++i)
        if (IsPending(i))
            work |= Definition(i).recalc;
    m_doc.ApplyChange({StepProperty, work, 0}, [&] {
        for (int i = 0; i < Count(); ++i)
            if (IsPending(i))
                ApplyRow(i);
    });
    return true;
}

void CPropertiesModel::ApplyRow(int row)
{
    Row& r = m_rows.at(size_t(row));
    const PropertyDefinition& d = Definition(row);
    CTessarixSettings& settings = m_doc.Settings();
    d.write(settings, r.shown);
    if (d.type == PropertyEditor::SymbolSet) {
        const int shift = SymbolSetRange(m_symbolSets, r.shown.text).first -
                          SymbolSetRange(m_symbolSets, r.committed.text).first;
        Row& symbol = m_rows.at(size_t(SymbolRow()));
        symbol.shown.number += shift;
        Definition(SymbolRow()).write(settings, symbol.shown);
        symbol.committed = symbol.shown;
    }
    r.committed = d.read(settings);
    r.shown = r.committed;
}

void CPropertiesModel::Reload()
{
    const CTessarixSettings& settings = m_doc.Settings();
    for (int i = 0; i < Count(); ++i) {
        Row& r = m_rows[size_t(i)];
        r.committed = Definition(i).read(settings);
        r.shown = r.committed;
    }
}
