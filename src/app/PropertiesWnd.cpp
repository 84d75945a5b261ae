#include "app/PropertiesWnd.h"

#include <QAction>
#include <QApplication>
#include <QFontDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

#include "app/AppStrings.h"
#include "app/SimplePenDlg.h"
#include "document/DocStrings.h"
#include "util/StringTable.h"

namespace {

constexpr int kRowRole = Qt::UserRole;  // an item's row in the property table; -1 for a group
constexpr int kDescriptionLines = 3;

enum class ToolIcon { ExpandAll, Sorted, DelayUpdate, ApplyChanges };

// Small drawn tool bar icons, so that the pane needs no image files.
QIcon DrawToolIcon(ToolIcon kind, const QColor& ink)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.2));
    switch (kind) {
    case ToolIcon::ExpandAll:
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        p.drawLine(QPointF(5, 8), QPointF(11, 8));
        p.drawLine(QPointF(8, 5), QPointF(8, 11));
        break;
    case ToolIcon::Sorted: {
        QFont f = QApplication::font();
        f.setPixelSize(7);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(0, 0, 10, 8), Qt::AlignCenter, QStringLiteral("A"));
        p.drawText(QRectF(0, 8, 10, 8), Qt::AlignCenter, QStringLiteral("Z"));
        p.drawLine(QPointF(12.5, 2), QPointF(12.5, 14));
        p.drawLine(QPointF(10.5, 11.5), QPointF(12.5, 14));
        p.drawLine(QPointF(14.5, 11.5), QPointF(12.5, 14));
        break;
    }
    case ToolIcon::DelayUpdate:
        p.drawEllipse(QRectF(2, 2, 12, 12));
        p.drawLine(QPointF(8, 8), QPointF(8, 4));
        p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
        break;
    case ToolIcon::ApplyChanges: {
        QPainterPath tick;
        tick.moveTo(3, 8.5);
        tick.lineTo(6.5, 12);
        tick.lineTo(13, 4);
        p.setPen(QPen(QColor(0, 128, 0), 2.0));
        p.drawPath(tick);
        break;
    }
    }
    return QIcon(pixmap);
}

bool ChooseFontWithDialog(QWidget* parent, FontRecord& font)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, FontRecordToQFont(font), parent);
    if (ok)
        font = QFontToFontRecord(chosen, font);
    return ok;
}

}  // namespace

CPropertiesWnd::CPropertiesWnd(CTessarixDoc& doc, CKWProfileStore* store, std::vector<SymbolSetEntry> symbolSets,
                               QWidget* parent)
    : QDockWidget(TxString(IDS_PROP_PANE_CAPTION), parent), m_doc(doc), m_symbolSets(std::move(symbolSets)),
      m_model(doc, store, SymbolSetLookup(m_symbolSets))
{
    // The frame's saved layout finds the pane by this name.
    setObjectName(QStringLiteral("PropertiesWnd"));
    m_hooks.chooseColor = ChooseColorWithDialog;
    m_hooks.chooseFont = ChooseFontWithDialog;
    m_hooks.editPen = [this](QWidget* parent, PenRecord& pen) {
        CSimplePenDlg dialog(pen, parent, m_hooks.chooseColor);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        pen = dialog.Pen();
        return true;
    };
    m_hooks.symbolRange = [this] { return m_model.SymbolRangeShown(); };
    m_hooks.shownSymbolSet = [this] {
        static const int row = FindProperty(IDS_PROP_GROUP_POSITIONS, IDS_PROP_SYMBOL_SET);
        return m_model.Value(row).text;
    };
    for (const SymbolSetEntry& s : m_symbolSets)
        m_hooks.symbolSets << s.name;
    m_hooks.defaultColor = FromQColor(QApplication::palette().color(QPalette::Button));

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* tools = new QToolBar(body);
    tools->setIconSize(QSize(16, 16));
    const QColor ink = palette().color(QPalette::WindowText);
    m_expandAll = tools->addAction(DrawToolIcon(ToolIcon::ExpandAll, ink), TxString(IDS_PROP_EXPAND_ALL));
    m_sorted = tools->addAction(DrawToolIcon(ToolIcon::Sorted, ink), TxString(IDS_PROP_SORTED));
    m_sorted->setCheckable(true);
    tools->addSeparator();
    m_delay = tools->addAction(DrawToolIcon(ToolIcon::DelayUpdate, ink), TxString(IDS_PROP_DELAY_UPDATE));
    m_delay->setCheckable(true);
    m_apply = tools->addAction(DrawToolIcon(ToolIcon::ApplyChanges, ink), TxString(IDS_PROP_APPLY_CHANGES));

    m_grid = new QTreeWidget(body);
    m_grid->setColumnCount(2);
    m_grid->setHeaderLabels({TxString(IDS_PROP_PANE_CAPTION), TxString(IDS_PROP_HEADER_VALUE)});
    m_grid->setFrameShape(QFrame::NoFrame);
    m_grid->setUniformRowHeights(true);
    // The value cells follow the pane's width; nothing lies to the right of them.
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    m_grid->header()->setStretchLastSection(true);
    m_grid->setColumnWidth(0, 150);

    m_description = new QLabel(body);
    m_description->setWordWrap(true);
    m_description->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_description->setFrameShape(QFrame::StyledPanel);
    m_description->setMargin(4);
    m_description->setFixedHeight(m_description->fontMetrics().lineSpacing() * (kDescriptionLines + 1) + 8);

    layout->addWidget(tools);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_description);
    setWidget(body);

    m_delay->setChecked(m_model.DelayUpdate());
    connect(m_expandAll, &QAction::triggered, m_grid, &QTreeWidget::expandAll);
    connect(m_sorted, &QAction::toggled, this, [this] { BuildGrid(); });
    connect(m_delay, &QAction::toggled, this, [this](bool on) {
        m_model.SetDelayUpdate(on);
        ShowModel();
    });
    connect(m_apply, &QAction::triggered, this, [this] {
        m_model.ApplyChanges();
        ShowModel();
    });
    connect(m_grid, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { ShowDescription(item); });

    BuildGrid();
}

void CPropertiesWnd::SetColorScaleEditor(std::function<bool(QWidget*, CKWColorScale&)> editor)
{
    m_hooks.editColorScale = std::move(editor);
    BuildGrid();
}

void CPropertiesWnd::SetColorChooser(std::function<bool(QWidget*, TxColor&)> chooser)
{
    m_hooks.chooseColor = std::move(chooser);
}

void CPropertiesWnd::SetFontChooser(std::function<bool(QWidget*, FontRecord&)> chooser)
{
    m_hooks.chooseFont = std::move(chooser);
}

void CPropertiesWnd::SetPenEditor(std::function<bool(QWidget*, PenRecord&)> editor)
{
    m_hooks.editPen = std::move(editor);
}

// Categorized: the seven groups with their rows in table order, expanded. Sorted: every row at
// the top level in the alphabetic order of the names (rows of one name keep table order).
void CPropertiesWnd::BuildGrid()
{
    m_grid->clear();
    const int count = m_model.Count();
    m_items.assign(size_t(count), nullptr);
    m_cells.assign(size_t(count), nullptr);
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    const bool sorted = m_sorted->isChecked();
    if (sorted)
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            return TxString(m_model.Definition(a).name).compare(TxString(m_model.Definition(b).name), Qt::CaseInsensitive) < 0;
        });
    QTreeWidgetItem* group = nullptr;
    for (int row : order) {
        const PropertyDefinition& d = m_model.Definition(row);
        QTreeWidgetItem* parent = nullptr;
        if (!sorted) {
            if (!group || group->data(0, kRowRole).toInt() != -d.group) {
                group = new QTreeWidgetItem(m_grid, {TxString(d.group)});
                group->setData(0, kRowRole, -d.group);
                group->setFirstColumnSpanned(true);
                QFont bold = group->font(0);
                bold.setBold(true);
                group->setFont(0, bold);
            }
            parent = group;
        }
        auto* item = parent ? new QTreeWidgetItem(parent, {TxString(d.name)}) : new QTreeWidgetItem(m_grid, {TxString(d.name)});
        item->setData(0, kRowRole, row);
        item->setToolTip(0, TxString(d.description));
        auto* cell = new CPropertyCell(d, &m_hooks);
        cell->Show(m_model.Value(row));
        connect(cell, &CPropertyCell::Edited, this, [this, row](const PropertyValue& v) { OnEdited(row, v); });
        m_grid->setItemWidget(item, 1, cell);
        m_items[size_t(row)] = item;
        m_cells[size_t(row)] = cell;
    }
    m_grid->expandAll();
    ShowModel();
}

void CPropertiesWnd::OnEdited(int row, const PropertyValue& value)
{
    m_model.Edit(row, value);
    ShowModel();
}

void CPropertiesWnd::Reload()
{
    m_model.Reload();
    ShowModel();
}

void CPropertiesWnd::ShowModel()
{
    for (int row = 0; row < m_model.Count(); ++row) {
        CPropertyCell* cell = m_cells[size_t(row)];
        QTreeWidgetItem* item = m_items[size_t(row)];
        if (!cell || !item)
            continue;
        if (!(cell->Value() == m_model.Value(row)))
            cell->Show(m_model.Value(row));
        // Values waiting for "Apply Changes" show in bold.
        const bool pending = m_model.IsPending(row);
        QFont font = item->font(0);
        font.setBold(pending);
        item->setFont(0, font);
        QFont cellFont = cell->Editor()->font();
        cellFont.setBold(pending);
        cell->Editor()->setFont(cellFont);
        const bool enabled = m_model.IsEnabled(row);
        item->setDisabled(!enabled);
        cell->setEnabled(enabled);
    }
    // The symbol's range and sample follow the set shown.
    static const int symbolRow = FindProperty(IDS_PROP_GROUP_POSITIONS, IDS_PROP_SYMBOL);
    if (CPropertyCell* symbol = m_cells.at(size_t(symbolRow)))
        symbol->Show(m_model.Value(symbolRow));
    {
        const QSignalBlocker block(m_delay);
        m_delay->setChecked(m_model.DelayUpdate());
    }
    m_apply->setEnabled(m_model.CanApplyChanges());
}

void CPropertiesWnd::ShowDescription(QTreeWidgetItem* item)
{
    const int row = item ? item->data(0, kRowRole).toInt() : -1;
    if (!item || row < 0) {
        m_description->setText(item ? QStringLiteral("<b>%1</b>").arg(item->text(0).toHtmlEscaped()) : QString());
        return;
    }
    const PropertyDefinition& d = m_model.Definition(row);
    m_description->setText(QStringLiteral("<b>%1</b><br>%2")
                               .arg(TxString(d.name).toHtmlEscaped(), TxString(d.description).toHtmlEscaped()));
}
