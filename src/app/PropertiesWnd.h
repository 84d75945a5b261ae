#pragma once
// CPropertiesWnd: the dockable "Property" pane. A grid of the map settings in seven groups, built
// row by row from the property table, with a description area under it and a tool bar: "Expand
// All", "Sorted/Categorized", "Delay Update" and "Apply Changes". What an edit does (apply at
// once or wait, enabling, undo steps) is decided by CPropertiesModel; the pane shows it.

#include <QDockWidget>

#include <functional>
#include <vector>

#include "app/PropertyCells.h"
#include "document/PropertiesModel.h"
#include "render/SymbolSets.h"

class CKWProfileStore;
class CTessarixDoc;
class QAction;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

class CPropertiesWnd : public QDockWidget {
    Q_OBJECT
public:
    // `store` remembers "Delay Update"; `symbolSets` are the installed symbol fonts.
    CPropertiesWnd(CTessarixDoc& doc, CKWProfileStore* store, std::vector<SymbolSetEntry> symbolSets,
                   QWidget* parent = nullptr);

    // The colour scale cell's editor: true when the user pressed OK and `scale` holds the new one.
    void SetColorScaleEditor(std::function<bool(QWidget* parent, CKWColorScale& scale)> editor);
    // The dialogs the other cells open (the platform's colour and font dialogs, "Set Pen" by
    // default); tests put their own in.
    void SetColorChooser(std::function<bool(QWidget* parent, TxColor& color)> chooser);
    void SetFontChooser(std::function<bool(QWidget* parent, FontRecord& font)> chooser);
    void SetPenEditor(std::function<bool(QWidget* parent, PenRecord& pen)> editor);

    CPropertiesModel& Model() { return m_model; }
    QTreeWidget* Grid() const { return m_grid; }
    QTreeWidgetItem* Item(int row) const { return m_items.at(size_t(row)); }
    CPropertyCell* Cell(int row) const { return m_cells.at(size_t(row)); }
    QLabel* DescriptionArea() const { return m_description; }
    QAction* ExpandAllAction() const { return m_expandAll; }
    QAction* SortedAction() const { return m_sorted; }
    QAction* DelayUpdateAction() const { return m_delay; }
    QAction* ApplyChangesAction() const { return m_apply; }

public slots:
    // Every row shows the document's settings again (the frame's settings notification).
    void Reload();

private:
    void BuildGrid();
    void OnEdited(int row, const PropertyValue& value);
    // Values, bold pending rows, enabling and the tool bar's states, all from the model.
    void ShowModel();
    void ShowDescription(QTreeWidgetItem* item);

    CTessarixDoc& m_doc;
    std::vector<SymbolSetEntry> m_symbolSets;
    CPropertiesModel m_model;
    PropertyCellHooks m_hooks;
    QTreeWidget* m_grid = nullptr;
    QLabel* m_description = nullptr;
    QAction* m_expandAll = nullptr;
    QAction* m_sorted = nullptr;
    QAction* m_delay = nullptr;
    QAction* m_apply = nullptr;
    std::vector<QTreeWidgetItem*> m_items;
    std::vector<CPropertyCell*> m_cells;
};
