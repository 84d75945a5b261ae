#include "dataentry/EditDataDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/KWGridWnd.h"
#include "dataentry/NumberText.h"
#include "dataentry/TXKeyPadDlg.h"
#include "dataentry/TableClipboard.h"
#include "document/TessarixDoc.h"
#include "util/KWProfileStore.h"
#include "util/StringTable.h"
#include "util/UserPromptBox.h"

namespace {

const QString kProfileSection = QStringLiteral("EditDataDlg");

RecalcXYHandler& RecalcHandler()
{
    static RecalcXYHandler handler;
    return handler;
}

// The boundary fields: "." in every locale, and every digit the value needs.
QString FloatText(float v)
{
    return FloatFieldText(v, QLocale::c());
}

}  // namespace

QPixmap BoundaryLayoutPicture(int layout, const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(size.width() * 0.25, size.height() * 0.25, size.width() * 0.5, size.height() * 0.5);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(QColor(220, 232, 255));
    p.drawRect(frame);
    const qreal gapX = size.width() * 0.14;
    const qreal gapY = size.height() * 0.14;
    const QRectF outer = frame.adjusted(-gapX, -gapY, gapX, gapY);
    std::vector<QPointF> points;
    if (layout == 0 || layout == 2)
        points.insert(points.end(), {outer.topLeft(), outer.topRight(), outer.bottomLeft(), outer.bottomRight()});
    if (layout == 1 || layout == 2) {
        const QPointF c = outer.center();
        points.insert(points.end(), {QPointF(c.x(), outer.top()), QPointF(c.x(), outer.bottom()),
                                     QPointF(outer.left(), c.y()), QPointF(outer.right(), c.y())});
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 0, 0));
    const qreal radius = std::max(2.0, size.width() * 0.06);
    for (const QPointF& pt : points)
        p.drawEllipse(pt, radius, radius);
    return pixmap;
}

CEditDataDlg::~CEditDataDlg()
{
    disconnect(m_count, nullptr, this, nullptr);
}

CEditDataDlg::CEditDataDlg(const CTessarixDoc& doc, QWidget* parent) : QDialog(parent), m_model(doc)
{
    setWindowTitle(TxString(IDS_EDIT_DATA_TITLE));
    setSizeGripEnabled(true);

    m_grid = new CKWGridWnd(this, this);
    m_grid->SetOptions(GridOptRowHeaders | GridOptColumnHeaders | GridOptDragSelect | GridOptLines | GridOptOutline);

    auto* countLabel = new QLabel(TxString(IDS_EDIT_NUMBER_OF_POINTS), this);
    m_count = new CEditKeyPadInteger(this);
    m_count->SetControlId(kNumberOfPointsId);
    m_count->setMaximumWidth(90);
    countLabel->setBuddy(m_count);
    m_spinUp = new QToolButton(this);
    m_spinUp->setArrowType(Qt::UpArrow);
    m_spinDown = new QToolButton(this);
    m_spinDown->setArrowType(Qt::DownArrow);
    m_remove = new QPushButton(TxString(IDS_EDIT_REMOVE_POINT), this);
    m_recalc = new QPushButton(TxString(IDS_EDIT_RECALC_XY), this);
    m_recalc->setVisible(bool(RecalcHandler()));

    auto* boundaryBox = new QGroupBox(this);
    m_useBoundary = new QCheckBox(TxString(IDS_EDIT_USE_BOUNDARY), boundaryBox);
    auto* layoutRow = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        m_layouts[i] = new QToolButton(boundaryBox);
        m_layouts[i]->setCheckable(true);
        m_layouts[i]->setAutoExclusive(true);
        m_layouts[i]->setIcon(QIcon(BoundaryLayoutPicture(i, QSize(40, 30))));
        m_layouts[i]->setIconSize(QSize(40, 30));
        layoutRow->addWidget(m_layouts[i]);
    }
    layoutRow->addStretch();
    m_levelLabel = new QLabel(TxString(IDS_EDIT_LEVEL), boundaryBox);
    m_level = new CEditKeyPadReal(boundaryBox);
    m_distanceLabel = new QLabel(TxString(IDS_EDIT_DISTANCE), boundaryBox);
    m_distance = new CEditKeyPadReal(boundaryBox);
    // These fields show and read numbers with "." in every locale, as the grid does.
    m_level->SetDecimalSeparator(QStringLiteral("."));
    m_distance->SetDecimalSeparator(QStringLiteral("."));
    auto* boundaryLayout = new QGridLayout(boundaryBox);
    boundaryLayout->addWidget(m_useBoundary, 0, 0, 1, 4);
    boundaryLayout->addLayout(layoutRow, 1, 0, 1, 4);
    boundaryLayout->addWidget(m_levelLabel, 2, 0);
    boundaryLayout->addWidget(m_level, 2, 1);
    boundaryLayout->addWidget(m_distanceLabel, 2, 2);
    boundaryLayout->addWidget(m_distance, 2, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* countRow = new QHBoxLayout;
    countRow->addWidget(countLabel);
    countRow->addWidget(m_count);
    auto* spin = new QVBoxLayout;
    spin->setSpacing(0);
    spin->addWidget(m_spinUp);
    spin->addWidget(m_spinDown);
    countRow->addLayout(spin);
    countRow->addStretch();
    auto* left = new QVBoxLayout;
    left->addLayout(countRow);
    left->addWidget(m_remove);
    left->addWidget(m_recalc);
    left->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(left);
    bottom->addWidget(boundaryBox);
    auto* main = new QVBoxLayout(this);
    main->addWidget(m_grid, 1);
    main->addLayout(bottom);
    main->addWidget(buttons);

    // The designed size is also the smallest; the last used size is taken when larger.
    const QSize designed = sizeHint().expandedTo(QSize(520, 420));
    setMinimumSize(designed);
    CKWProfileStore& profile = CKWProfileStore::Instance();
    resize(QSize(profile.ReadInt(kProfileSection, QStringLiteral("Width"), designed.width()),
                 profile.ReadInt(kProfileSection, QStringLiteral("Height"), designed.height()))
               .expandedTo(designed));

    connect(buttons, &QDialogButtonBox::accepted, this, &CEditDataDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEditDataDlg::reject);
    connect(m_count, &CEditKeyPad::changedByKeyPad, this, [this](int id) {
        int n = 0;
        if (id == kNumberOfPointsId && CKeyPadModel::ParseInteger(m_count->text(), &n))
            SetPointCount(n);
    });
    // Enter in the field applies the number instead of pressing OK; leaving it applies it too.
    m_count->installEventFilter(this);
    connect(m_count, &QLineEdit::editingFinished, this, &CEditDataDlg::ApplyTypedPointCount);
    connect(m_spinUp, &QToolButton::clicked, this, [this] { SetPointCount(m_model.PointCount() + 1); });
    connect(m_spinDown, &QToolButton::clicked, this, [this] { SetPointCount(std::max(0, m_model.PointCount() - 1)); });
    connect(m_remove, &QPushButton::clicked, this, &CEditDataDlg::RemoveSelectedPoints);
    connect(m_recalc, &QPushButton::clicked, this, &CEditDataDlg::RecalculateXY);
    connect(m_useBoundary, &QCheckBox::clicked, this, &CEditDataDlg::UpdateBoundaryEnabling);

    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}) {
        auto* s = new QShortcut(keys, this);
        connect(s, &QShortcut::activated, this, &CEditDataDlg::Copy);
    }
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}) {
        auto* s = new QShortcut(keys, this);
        connect(s, &QShortcut::activated, this, &CEditDataDlg::Paste);
    }

    const BoundaryConditions& b = m_model.boundary;
    m_useBoundary->setChecked(b.use != 0);
    m_layouts[std::clamp(b.layout, 0, 2)]->setChecked(true);
    m_level->setText(FloatText(b.level));
    m_distance->setText(FloatText(b.distance));
    UpdateBoundaryEnabling();
    m_grid->ResetScrollPosition();
    RefreshFields();
    m_grid->setFocus();
    m_ready = true;
}

void CEditDataDlg::SetRecalcXYHandler(RecalcXYHandler handler)
{
    RecalcHandler() = std::move(handler);
}

int CEditDataDlg::OnGridQuery(GridQueryCode code, int argument, GridCellRequest& cell)
{
    const int n = m_model.PointCount();
    const int columns = m_model.ColumnCount();
    switch (code) {
    case GridCanEdit:
        return 1;
    case GridRowCount:
        return n;
    case GridColumnCount:
        return columns;
    case GridSetCellText: {
        if (cell.row < 0 || cell.row >= n || cell.column < 0 || cell.column >= columns)
            return 0;
        const CellAcceptance a = m_model.SetCellText(cell.row, cell.column, cell.text);
        cell.number = a.errorPosition;
        return a.accepted ? 1 : 0;
    }
    case GridCellText:
        if (cell.row < 0 || cell.row >= n || cell.column < 0 || cell.column >= columns)
            return 0;
        cell.text = m_model.CellText(cell.row, cell.column);
        cell.alignment = GridAlignLeft;
        return 1;
    case GridColumnWidth:
        return 12;
    case GridRowTitle:
        cell.text = QString::number(cell.row + 1);
        cell.alignment = GridAlignCentre;
        return 1;
    case GridColumnTitle:
        if (cell.column < 0 || cell.column >= columns)
            return 0;
        cell.text = m_model.Names().at(cell.column);
        cell.alignment = GridAlignCentre;
        return 1;
    case GridContextMenu:
        ShowContextMenu(cell.screen);
        return 1;
    case GridRowHeaderWidth:
        return m_grid->fontMetrics().horizontalAdvance(QStringLiteral("0%10").arg(n));
    case GridColumnHeaderHeight:
        return m_grid->fontMetrics().height() + 2;
    case GridLastRow:
        return n - 1;
    case GridLastColumn:
        return columns - 1;
    case GridMayStartEdit:
        return 1;
    default:
        break;
    }
    (void)argument;
    return 0;
}

void CEditDataDlg::ShowContextMenu(const QPoint& screen)
{
    QMenu menu(this);
    QAction* copy = menu.addAction(TxString(IDS_MENU_COPY));
    menu.addSeparator();
    QAction* paste = menu.addAction(TxString(IDS_MENU_PASTE));
    paste->setEnabled(ClipboardHasText());
    QAction* chosen = menu.exec(screen);
    if (chosen == copy)
        Copy();
    else if (chosen == paste)
        Paste();
}

void CEditDataDlg::Copy()
{
    if (m_model.PointCount() == 0)
        return;
    PutTableOnClipboard(m_model.Cells(m_grid->Selection()), m_locale);
}

void CEditDataDlg::Paste()
{
    if (ClipboardHasText())
        PasteText(ClipboardText());
}

void CEditDataDlg::PasteText(const QString& text)
{
    if (!m_grid->CommitEdit())
        return;
    const GridRange range = m_grid->Selection();
    const bool oneCell = range.firstRow == range.lastRow && range.firstColumn == range.lastColumn;
    if (m_model.PointCount() == 0 || oneCell) {
        PasteTable(text, range.firstRow, range.firstColumn, m_model.PointCount() > 0);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PasteBlock block = m_model.Paste(text, range, m_locale);
    QApplication::restoreOverrideCursor();
    const QString message = block.Message();
    if (!message.isEmpty())
        TellUser(this, message);
    m_grid->Redraw();
    RefreshFields();
}

void CEditDataDlg::PasteTable(const QString& text, int row, int column, bool askBeforeAdding)
{
    if (!m_grid->CommitEdit())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TablePaste paste = m_model.ReadTablePaste(text, row, column, m_locale);
    QApplication::restoreOverrideCursor();
    if (paste.status != PasteStatus::Ok) {
        const QString message = paste.Message();
        if (!message.isEmpty())
            TellUser(this, message);
        return;
    }
    const int missing = m_model.PointsMissingFor(paste, row);
    bool addPoints = missing > 0;
    if (addPoints && askBeforeAdding) {
        const QString question = TxFormatInts(IDS_PASTE_ADD_POINTS, {static_cast<long long>(paste.rows.size()), missing, missing});
        const PromptAnswer answer =
            AskUser(this, PromptMessage(question, PromptIcon::Warning, PromptButtons::YesNoCancel, PromptAnswer::Yes));
        if (answer == PromptAnswer::Cancel)
            return;
        addPoints = answer == PromptAnswer::Yes;
    }
    const int before = m_model.PointCount();
    m_model.StoreTablePaste(paste, row, addPoints);
    if (m_model.PointCount() != before)
        m_grid->Redraw();
    RefreshFields();
    if (!paste.leftOut.isEmpty())
        TellUser(this, TxString(IDS_PASTE_COLUMNS_LEFT_OUT).arg(paste.leftOut.join(QStringLiteral(", "))),
                 PromptIcon::Information);
}

void CEditDataDlg::ApplyTypedPointCount()
{
    int n = 0;
    if (!CKeyPadModel::ParseInteger(m_count->text(), &n) || n < 0 || n > CEditDataModel::kMaxPoints)
        return;  // OK says what is wrong with the text
    if (n != m_model.PointCount())
        SetPointCount(n);
}

bool CEditDataDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_count && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ApplyTypedPointCount();
            m_count->selectAll();
            return true;  // the default button never sees it
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CEditDataDlg::SetPointCount(int n)
{
    m_grid->CommitEdit();
    m_model.SetPointCount(n);
    m_grid->ResetScrollPosition();
    RefreshFields();
}

void CEditDataDlg::RemoveSelectedPoints()
{
    if (m_model.PointCount() == 0 || !m_grid->CommitEdit())
        return;
    const GridRange range = m_grid->Selection();
    if (!ConfirmOkCancel(this, CEditDataModel::RemoveQuestion(range.firstRow, range.lastRow)))
        return;
    m_model.RemoveRows(range.firstRow, range.lastRow);
    m_grid->ResetScrollPosition();
    RefreshFields();
}

void CEditDataDlg::RecalculateXY()
{
    if (!RecalcHandler() || !m_grid->CommitEdit())
        return;
    CTXFloatArray x, y;
    const int n = m_model.PointCount();
    if (!RecalcHandler()(this, n, &x, &y))
        return;
    m_model.SetPositions(x, y);
    m_grid->Redraw();
}

void CEditDataDlg::RefreshFields()
{
    m_count->setText(QString::number(m_model.PointCount()));
    m_remove->setEnabled(m_model.PointCount() > 0);
    m_grid->Redraw();
}

void CEditDataDlg::UpdateBoundaryEnabling()
{
    const bool on = m_useBoundary->isChecked();
    for (QToolButton* b : m_layouts)
        b->setEnabled(on);
    m_levelLabel->setEnabled(on);
    m_level->setEnabled(on);
    m_distanceLabel->setEnabled(on);
    m_distance->setEnabled(on);
}

void CEditDataDlg::accept()
{
    if (!m_grid->CommitEdit())
        return;
    int n = 0;
    if (!CKeyPadModel::ParseInteger(m_count->text(), &n) || n < 0 || n > CEditDataModel::kMaxPoints) {
        TellUser(this, TxFormat(IDS_PARSE_INT_RANGE, QStringLiteral("0"), QString::number(CEditDataModel::kMaxPoints)));
        m_count->setFocus();
        m_count->selectAll();
        return;
    }
    double level = 0, distance = 0;
    for (auto [field, value] : {std::pair{m_level, &level}, std::pair{m_distance, &distance}}) {
        if (!CKeyPadModel::ParseReal(field->text(), value)) {
            TellUser(this, TxString(IDS_PARSE_REAL));
            field->setEnabled(true);
            field->setFocus();
            field->selectAll();
            return;
        }
    }
    m_model.SetPointCount(n);
    m_model.FitColumnsToPointCount();
    BoundaryConditions& b = m_model.boundary;
    b.use = m_useBoundary->isChecked() ? 1 : 0;
    for (int i = 0; i < 3; ++i)
        if (m_layouts[i]->isChecked())
            b.layout = i;
    b.level = float(level);
    b.distance = float(distance);
    QDialog::accept();
}

void CEditDataDlg::reject()
{
    // An open cell with typed text, or a number of points typed but not applied yet, counts as a
    // change as well.
    bool changed = m_model.TableChanged() || m_count->text().trimmed() != QString::number(m_model.PointCount());
    if (!changed && m_grid->IsEditing() && m_model.PointCount() > 0)
        changed = m_grid->Editor()->text() != m_model.CellText(m_grid->CurrentRow(), m_grid->CurrentColumn());
    if (changed && !ConfirmOkCancel(this, TxString(IDS_EDIT_DISCARD_CHANGES)))
        return;
    QDialog::reject();
}

void CEditDataDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_ready)
        return;
    CKWProfileStore& profile = CKWProfileStore::Instance();
    profile.WriteInt(kProfileSection, QStringLiteral("Width"), event->size().width());
    profile.WriteInt(kProfileSection, QStringLiteral("Height"), event->size().height());
}

bool RunEditDataDialog(QWidget* parent, CTessarixDoc& doc, const QString& pasteText)
{
    CEditDataDlg dialog(doc, parent);
    if (!pasteText.isEmpty())
        dialog.PasteTable(pasteText, dialog.Model().PointCount(), 0, false);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.Model().ApplyTo(doc);
    return true;
}
