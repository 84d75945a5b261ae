#include "app/PropertyCells.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>
#include <cmath>

#include "app/SimplePenDlg.h"
#include "dataentry/TXKeyPadDlg.h"
#include "document/DocStrings.h"
#include "render/MapAnnotations.h"
#include "util/StringTable.h"
#include "util/TXCDC.h"

namespace {

constexpr int kSampleWidth = 40;
constexpr int kSymbolSampleSide = 16;
constexpr int kBoldWeight = 700;
constexpr int kNormalWeight = 400;
// The picker's swatches: the sixteen colours of the basic palette.
constexpr TxColor kSwatches[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                                 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

QIcon SwatchIcon(TxColor c)
{
    QPixmap p(14, 14);
    p.fill(ToQColor(c));
    QPainter(&p).drawRect(0, 0, 13, 13);
    return QIcon(p);
}

Qt::PenStyle QtPenStyle(uint32_t style)
{
    switch (style) {
    case PenDash:
        return Qt::DashLine;
    case PenDot:
        return Qt::DotLine;
    case PenDashDot:
        return Qt::DashDotLine;
    case PenDashDotDot:
        return Qt::DashDotDotLine;
    case PenInvisible:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

}  // namespace

QFont FontRecordToQFont(const FontRecord& f)
{
    QFont font(QString::fromLatin1(f.Face()));
    font.setPointSizeF(std::max(1.0, std::abs(f.height) / 10.0));
    font.setBold(f.weight >= kBoldWeight);
    font.setItalic(f.italic != 0);
    font.setUnderline(f.underline != 0);
    font.setStrikeOut(f.strikeOut != 0);
    return font;
}

FontRecord QFontToFontRecord(const QFont& font, const FontRecord& base)
{
    FontRecord f = base;
    f.SetFace(font.family().toLatin1().constData());
    f.height = int32_t(std::lround(font.pointSizeF() * 10.0));
    f.weight = font.bold() ? kBoldWeight : kNormalWeight;
    f.italic = font.italic() ? 1 : 0;
    f.underline = font.underline() ? 1 : 0;
    f.strikeOut = font.strikeOut() ? 1 : 0;
    return f;
}

CPropertyCell::CPropertyCell(const PropertyDefinition& d, const PropertyCellHooks* hooks, QWidget* parent)
    : QWidget(parent), m_def(d), m_hooks(hooks)
{
    Build();
}

bool CPropertyCell::HasSample() const
{
    return m_def.type == PropertyEditor::Pen || m_def.type == PropertyEditor::ColorScale ||
           m_def.type == PropertyEditor::Symbol;
}

QRect CPropertyCell::SampleRect() const
{
    const int width = m_def.type == PropertyEditor::Symbol ? kSymbolSampleSide : kSampleWidth;
    return QRect(2, 2, width, height() - 4);
}

void CPropertyCell::Build()
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(HasSample() ? SampleRect().width() + 6 : 0, 0, 0, 0);
    row->setSpacing(2);
    switch (m_def.type) {
    case PropertyEditor::Integer:
    case PropertyEditor::Real:
    case PropertyEditor::Text:
        BuildLineField();
        break;
    case PropertyEditor::Boolean:
        BuildList({TxString(IDS_PROP_TRUE), TxString(IDS_PROP_FALSE)});
        break;
    case PropertyEditor::List:
        BuildList(PropertyChoices(m_def));
        break;
    case PropertyEditor::SymbolSet:
        BuildList(QStringList{TxString(IDS_PROP_DEFAULT_SET)} + m_hooks->symbolSets);
        break;
    case PropertyEditor::Color:
        BuildColorPicker();
        break;
    case PropertyEditor::FontColor:
    case PropertyEditor::Pen:
    case PropertyEditor::ColorScale:
        BuildDialogButton();
        break;
    case PropertyEditor::Symbol:
        BuildSymbol();
        break;
    }
    row->addWidget(m_editor, 1);
    if (m_fontColor)
        row->addWidget(m_fontColor);
    setFocusProxy(m_editor);
}

void CPropertyCell::BuildLineField()
{
    if (m_def.type == PropertyEditor::Integer)
        m_line = new CEditKeyPadInteger(this);
    else if (m_def.type == PropertyEditor::Real)
        m_line = new CEditKeyPadReal(this);
    else
        m_line = new QLineEdit(this);
    // The table's number texts always use ".", whatever the locale.
    if (auto* keypad = qobject_cast<CEditKeyPad*>(m_line)) {
        keypad->SetDecimalSeparator(QStringLiteral("."));
        connect(keypad, &CEditKeyPad::changedByKeyPad, this, [this] { CommitText(); });
    }
    m_line->setFrame(false);
    connect(m_line, &QLineEdit::editingFinished, this, &CPropertyCell::CommitText);
    m_editor = m_line;
}

void CPropertyCell::BuildList(const QStringList& choices)
{
    m_combo = new QComboBox(this);
    m_combo->addItems(choices);
    m_combo->setFrame(false);
    // The drop-down is as wide as its longest entry, even where the cell is narrower.
    m_combo->view()->setMinimumWidth(m_combo->view()->sizeHintForColumn(0) + 8);
    connect(m_combo, &QComboBox::activated, this, [this](int index) {
        PropertyValue v = m_value;
        if (m_def.type == PropertyEditor::SymbolSet)
            v.text = index == 0 ? QString() : m_combo->itemText(index);
        else if (m_def.type == PropertyEditor::Boolean)
            v.number = index == 0 ? 1 : 0;
        else
            v.number = index;
        Commit(v);
    });
    m_editor = m_combo;
}

void CPropertyCell::BuildColorPicker()
{
    m_button = new QToolButton(this);
    m_button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_button->setPopupMode(QToolButton::InstantPopup);
    m_button->setAutoRaise(true);
    m_colorMenu = new QMenu(m_button);
    const TxColor automatic = m_hooks->defaultColor;
    m_colorMenu->addAction(SwatchIcon(automatic), TxString(IDS_PROP_COLOR_DEFAULT), this, [this, automatic] {
        PropertyValue v = m_value;
        v.color = automatic;
        Commit(v);
    });
    for (TxColor c : kSwatches)
        m_colorMenu->addAction(SwatchIcon(c), ColorText(c), this, [this, c] {
            PropertyValue v = m_value;
            v.color = c;
            Commit(v);
        });
    m_colorMenu->addSeparator();
    m_colorMenu->addAction(TxString(IDS_PROP_COLOR_OTHER), this, [this] {
        PropertyValue v = m_value;
        if (m_hooks->chooseColor && m_hooks->chooseColor(this, v.color))
            Commit(v);
    });
    m_button->setMenu(m_colorMenu);
    m_editor = m_button;
}

void CPropertyCell::BuildDialogButton()
{
    m_button = new QToolButton(this);
    m_button->setAutoRaise(true);
    m_button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    connect(m_button, &QToolButton::clicked, this, &CPropertyCell::RunDialog);
    if (m_def.type == PropertyEditor::FontColor) {
        m_fontColor = new QToolButton(this);
        m_fontColor->setAutoRaise(true);
        connect(m_fontColor, &QToolButton::clicked, this, [this] {
            PropertyValue v = m_value;
            if (m_hooks->chooseColor && m_hooks->chooseColor(this, v.color))
                Commit(v);
        });
    } else {
        m_button->setText(QStringLiteral("..."));
        m_button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        if (m_def.type == PropertyEditor::ColorScale)
            m_button->setEnabled(bool(m_hooks->editColorScale));
    }
    m_editor = m_button;
}

void CPropertyCell::BuildSymbol()
{
    m_spin = new QSpinBox(this);
    m_spin->setFrame(false);
    connect(m_spin, &QSpinBox::valueChanged, this, [this](int symbol) {
        if (m_pushing)
            return;
        PropertyValue v = m_value;
        v.number = symbol;
        Commit(v);
    });
    m_editor = m_spin;
}

void CPropertyCell::RunDialog()
{
    PropertyValue v = m_value;
    bool changed = false;
    switch (m_def.type) {
    case PropertyEditor::FontColor:
        changed = m_hooks->chooseFont && m_hooks->chooseFont(this, v.font);
        break;
    case PropertyEditor::Pen:
        changed = m_hooks->editPen && m_hooks->editPen(this, v.pen);
        break;
    case PropertyEditor::ColorScale:
        changed = m_hooks->editColorScale && m_hooks->editColorScale(this, v.scale);
        break;
    default:
        break;
    }
    if (changed)
        Commit(v);
}

void CPropertyCell::CommitText()
{
    if (m_pushing || !m_line)
        return;
    PropertyValue v = m_value;
    if (ParsePropertyValue(m_def, m_line->text(), &v))
        Commit(v);
    else
        ShowInEditor();
}

void CPropertyCell::Commit(const PropertyValue& v)
{
    if (v == m_value)
        return;
    m_value = v;
    ShowInEditor();
    emit Edited(m_value);
}

void CPropertyCell::Show(const PropertyValue& v)
{
    m_value = v;
    ShowInEditor();
}

void CPropertyCell::ShowInEditor()
{
    m_pushing = true;
    const QString text = PropertyValueText(m_def, m_value);
    if (m_line) {
        m_line->setText(text);
        m_line->setCursorPosition(0);
    } else if (m_combo) {
        int index = m_combo->findText(text);
        if (index < 0 && m_def.type == PropertyEditor::SymbolSet) {
            // A set that is no longer installed stays selected by its name.
            m_combo->addItem(text);
            index = m_combo->count() - 1;
        }
        m_combo->setCurrentIndex(index);
    } else if (m_spin) {
        const SymbolRange r = m_hooks->symbolRange ? m_hooks->symbolRange() : kDefaultSetRange;
        m_spin->setRange(std::min(r.first, m_value.number), std::max(r.last, m_value.number));
        m_spin->setValue(m_value.number);
    } else if (m_def.type == PropertyEditor::Color) {
        m_button->setIcon(SwatchIcon(m_value.color));
        m_button->setText(m_value.color == m_hooks->defaultColor ? TxString(IDS_PROP_COLOR_DEFAULT) : text);
    } else if (m_def.type == PropertyEditor::FontColor) {
        m_button->setText(QStringLiteral("%1, %2").arg(QString::fromLatin1(m_value.font.Face()),
                                                       ShortFloatText(float(m_value.font.height) / 10.0f)));
        m_fontColor->setIcon(SwatchIcon(m_value.color));
    }
    m_pushing = false;
    update();
}

void CPropertyCell::paintEvent(QPaintEvent* e)
{
    QWidget::paintEvent(e);
    if (!HasSample())
        return;
    QPainter p(this);
    const QRect r = SampleRect();
    if (m_def.type == PropertyEditor::Pen) {
        QPen pen(ToQColor(m_value.pen.color), std::max(1, m_value.pen.width), QtPenStyle(m_value.pen.style));
        p.setPen(pen);
        p.drawLine(r.left(), r.center().y(), r.right(), r.center().y());
    } else if (m_def.type == PropertyEditor::ColorScale) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const float at = r.width() > 1 ? float(x - r.left()) / float(r.width() - 1) : 0.0f;
            p.setPen(ToQColor(m_value.scale.ColorAt(at) & 0xFFFFFF));
            p.drawLine(x, r.top(), x, r.bottom());
        }
        p.setPen(palette().color(QPalette::Text));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    } else {
        const int side = std::min(r.width(), r.height());
        const QRect square(r.left(), r.center().y() - side / 2, side, side);
        p.setPen(palette().color(QPalette::Text));
        p.setBrush(palette().color(QPalette::Base));
        CTXCDC dc(&p, logicalDpiX(), logicalDpiY());
        dc.SetTextColor(FromQColor(palette().color(QPalette::Text)));
        const QString set = m_hooks->shownSymbolSet ? m_hooks->shownSymbolSet() : QString();
        DrawSymbol(dc, set, m_value.number,
                   TxRect{square.left(), square.top(), square.right() + 1, square.bottom() + 1});
    }
}
