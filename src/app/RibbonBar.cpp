#include "app/RibbonBar.h"

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStackedWidget>
#include <QToolButton>

#include <cstdlib>

namespace {

constexpr int kLargeIcon = 32;
constexpr int kSmallIcon = 16;
constexpr int kCaptionHeight = 17;
constexpr int kPanelMargin = 4;
constexpr int kButtonSpacing = 1;
constexpr int kPanelSpacing = 3;

// A label of several words under a large icon takes two lines, broken at the space nearest its
// middle, so that a full ribbon narrows its buttons instead of eliding their labels.
QString TwoLineLabel(const QString& label)
{
    if (label.contains(QLatin1Char('\n')))
        return label;
    int best = -1;
    for (int i = 0; i < label.size(); ++i)
        if (label[i] == QLatin1Char(' ') && (best < 0 || std::abs(i - label.size() / 2) < std::abs(best - label.size() / 2)))
            best = i;
    if (best < 0)
        return label;
    QString two = label;
    two[best] = QLatin1Char('\n');
    return two;
}

}  // namespace

CRibbonPanel::CRibbonPanel(const QString& title, QWidget* parent) : QWidget(parent), m_title(title)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kPanelMargin, 3, kPanelMargin, kCaptionHeight);
    outer->setSpacing(0);
    m_row = new QHBoxLayout;
    m_row->setSpacing(kButtonSpacing);
    outer->addLayout(m_row);
    outer->addStretch();
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);

    m_collapsedMenu = new QMenu(this);
    m_collapsedButton = new QToolButton(this);
    m_collapsedButton->setText(TwoLineLabel(title));
    m_collapsedButton->setMenu(m_collapsedMenu);
    m_collapsedButton->setPopupMode(QToolButton::InstantPopup);
    m_collapsedButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_collapsedButton->setIconSize(QSize(kLargeIcon, kLargeIcon));
    m_collapsedButton->setAutoRaise(true);
    m_collapsedButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    m_collapsedButton->hide();
    m_row->addWidget(m_collapsedButton);
}

void CRibbonPanel::AddToCollapsedMenu(QAction* action)
{
    m_collapsedMenu->addAction(action);
    if (m_collapsedButton->icon().isNull())
        m_collapsedButton->setIcon(action->icon());
}

void CRibbonPanel::SetCollapsed(bool collapsed)
{
    if (collapsed == m_collapsed)
        return;
    m_collapsed = collapsed;
    for (QToolButton* b : m_buttons)
        b->setVisible(!collapsed);
    m_collapsedButton->setVisible(collapsed);
}

int CRibbonPanel::ExpandedWidth() const
{
    // Summed from the buttons' own hints, so that it is known while the panel is collapsed.
    int width = 2 * kPanelMargin;
    int items = 0;
    for (int i = 0; i < m_row->count(); ++i) {
        QLayoutItem* item = m_row->itemAt(i);
        int itemWidth = 0;
        if (QWidget* w = item->widget()) {
            if (w == m_collapsedButton)
                continue;
            itemWidth = w->sizeHint().width();
        } else if (QLayout* column = item->layout()) {
            for (int k = 0; k < column->count(); ++k)
                if (QWidget* w = column->itemAt(k)->widget())
                    itemWidth = std::max(itemWidth, w->sizeHint().width());
        }
        width += itemWidth;
        ++items;
    }
    width += std::max(0, items - 1) * kButtonSpacing;
    // The caption must fit too.
    return std::max(width, fontMetrics().horizontalAdvance(m_title) + 2 * kPanelMargin + 8);
}

int CRibbonPanel::CollapsedWidth() const
{
    return std::max(m_collapsedButton->sizeHint().width() + 2 * kPanelMargin,
                    fontMetrics().horizontalAdvance(m_title) + 2 * kPanelMargin + 8);
}

void CRibbonPanel::EndSmallColumn()
{
    m_smallColumn = nullptr;
    m_smallCount = 0;
}

QToolButton* CRibbonPanel::AddLargeButton()
{
    EndSmallColumn();
    auto* b = new QToolButton(this);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIconSize(QSize(kLargeIcon, kLargeIcon));
    b->setAutoRaise(true);
    b->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Expanding);
    m_row->insertWidget(m_row->indexOf(m_collapsedButton), b);
    m_buttons.push_back(b);
    b->setVisible(!m_collapsed);
    return b;
}

QToolButton* CRibbonPanel::AddLarge(QAction* action)
{
    QToolButton* b = AddLargeButton();
    b->setDefaultAction(action);
    b->setText(TwoLineLabel(action->iconText()));
    connect(action, &QAction::changed, b, [b, action] { b->setText(TwoLineLabel(action->iconText())); });
    AddToCollapsedMenu(action);
    return b;
}

QToolButton* CRibbonPanel::AddSmall(QAction* action)
{
    if (!m_smallColumn || m_smallCount == 3) {
        m_smallColumn = new QVBoxLayout;
        m_smallColumn->setSpacing(0);
        m_row->insertLayout(m_row->indexOf(m_collapsedButton), m_smallColumn);
        m_smallCount = 0;
    }
    auto* b = new QToolButton(this);
    b->setDefaultAction(action);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setIconSize(QSize(kSmallIcon, kSmallIcon));
    b->setAutoRaise(true);
    b->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);
    m_smallColumn->addWidget(b);
    ++m_smallCount;
    m_buttons.push_back(b);
    b->setVisible(!m_collapsed);
    AddToCollapsedMenu(action);
    return b;
}

QToolButton* CRibbonPanel::AddMenuButton(const QString& text, const QIcon& icon, QMenu* menu, QAction* action)
{
    QToolButton* b = AddLargeButton();
    if (action)
        b->setDefaultAction(action);
    b->setText(TwoLineLabel(text));
    b->setIcon(icon);
    b->setMenu(menu);
    b->setPopupMode(action ? QToolButton::MenuButtonPopup : QToolButton::InstantPopup);
    menu->setTitle(text);
    menu->setIcon(icon);
    if (action)
        AddToCollapsedMenu(action);
    m_collapsedMenu->addMenu(menu);
    if (m_collapsedButton->icon().isNull())
        m_collapsedButton->setIcon(icon);
    return b;
}

void CRibbonPanel::paintEvent(QPaintEvent*)
{
    // A rounded frame with the caption strip along its bottom.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor base = palette().color(QPalette::Window);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, base.lighter(112));
    g.setColorAt(1, base);
    p.setPen(QPen(base.darker(125), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, 3, 3);
    const QRectF caption(r.left() + 1, r.bottom() - kCaptionHeight + 1, r.width() - 2, kCaptionHeight - 2);
    p.setPen(Qt::NoPen);
    p.setBrush(base.darker(106));
    p.drawRoundedRect(caption, 2, 2);
    p.setPen(palette().color(QPalette::PlaceholderText));
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 0.92);
    p.setFont(f);
    p.drawText(caption, Qt::AlignCenter, m_title);
}

CRibbonBar::CRibbonBar(QWidget* parent) : QWidget(parent)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 2);
    outer->setSpacing(0);
    m_tabRow = new QHBoxLayout;
    m_tabRow->setContentsMargins(2, 2, 6, 0);
    m_tabRow->setSpacing(2);
    outer->addLayout(m_tabRow);
    m_appButton = new QToolButton(this);
    m_appButton->setObjectName(QStringLiteral("RibbonApplicationButton"));
    m_appButton->setPopupMode(QToolButton::InstantPopup);
    m_appButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_appButton->setMinimumSize(56, 24);
    m_tabRow->addWidget(m_appButton);
    m_tabRow->addStretch();
    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("RibbonPages"));
    m_pages->setFixedHeight(kLargeIcon + 3 * 16 + kCaptionHeight + 4);
    // Panels collapse to fit, so the pages must not hold the window as wide as all of them.
    m_pages->setMinimumWidth(1);
    outer->addWidget(m_pages);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void CRibbonBar::SetApplicationMenu(const QString& text, QMenu* menu)
{
    m_appButton->setText(text);
    m_appButton->setMenu(menu);
}

int CRibbonBar::AddCategory(const QString& name)
{
    Category c;
    c.tab = new QToolButton(this);
    c.tab->setText(name);
    c.tab->setCheckable(true);
    c.tab->setAutoRaise(true);
    c.tab->setObjectName(QStringLiteral("RibbonCategoryTab"));
    c.tab->setMinimumHeight(24);
    m_tabRow->insertWidget(m_tabInsertAt++, c.tab);
    c.page = new QWidget(m_pages);
    c.panels = new QHBoxLayout(c.page);
    c.panels->setContentsMargins(kPanelSpacing, 3, kPanelSpacing, 1);
    c.panels->setSpacing(kPanelSpacing);
    c.panels->addStretch();
    m_pages->addWidget(c.page);
    const int index = int(m_categories.size());
    connect(c.tab, &QToolButton::clicked, this, [this, index] { SelectCategory(index); });
    m_categories.push_back(c);
    if (index == 0)
        SelectCategory(0);
    return index;
}

CRibbonPanel* CRibbonBar::AddPanel(int category, const QString& title)
{
    Category& c = m_categories.at(size_t(category));
    auto* panel = new CRibbonPanel(title, c.page);
    c.panels->insertWidget(c.panels->count() - 1, panel);
    c.panelList.push_back(panel);
    if (isVisible())
        FitPanels();
    return panel;
}

void CRibbonBar::SetStyleMenu(const QString& text, QMenu* menu)
{
    if (!m_styleButton) {
        m_styleButton = new QToolButton(this);
        m_styleButton->setPopupMode(QToolButton::InstantPopup);
        m_styleButton->setAutoRaise(true);
        m_tabRow->insertWidget(m_tabRow->count() - (m_aboutButton ? 1 : 0), m_styleButton);
    }
    m_styleButton->setText(text);
    m_styleButton->setMenu(menu);
}

void CRibbonBar::SetAboutAction(QAction* about)
{
    if (!m_aboutButton) {
        m_aboutButton = new QToolButton(this);
        m_aboutButton->setAutoRaise(true);
        m_aboutButton->setIconSize(QSize(18, 18));
        m_tabRow->addWidget(m_aboutButton);
    }
    m_aboutButton->setDefaultAction(about);
    m_aboutButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
}

std::vector<CRibbonPanel*> CRibbonBar::Panels(int category) const
{
    return m_categories.at(size_t(category)).panelList;
}

void CRibbonBar::SelectCategory(int i)
{
    for (size_t k = 0; k < m_categories.size(); ++k)
        m_categories[k].tab->setChecked(int(k) == i);
    m_pages->setCurrentIndex(i);
    FitPanels();
}

void CRibbonBar::FitPanels()
{
    const int current = m_pages->currentIndex();
    if (current < 0 || size_t(current) >= m_categories.size())
        return;
    const std::vector<CRibbonPanel*>& panels = m_categories[size_t(current)].panelList;
    const int available = width() - 2 * kPanelSpacing;
    int needed = std::max(0, int(panels.size()) - 1) * kPanelSpacing;
    for (const CRibbonPanel* panel : panels)
        needed += panel->ExpandedWidth();
    // From the right: the first panels hold the commands used most.
    size_t expanded = panels.size();
    while (expanded > 0 && needed > available) {
        --expanded;
        needed -= panels[expanded]->ExpandedWidth() - panels[expanded]->CollapsedWidth();
    }
    for (size_t k = 0; k < panels.size(); ++k)
        panels[k]->SetCollapsed(k >= expanded);
}

void CRibbonBar::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    FitPanels();
}

void CRibbonBar::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    FitPanels();
}

void CRibbonBar::ApplyScheme(const LookScheme& s)
{
    m_scheme = s;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, s.chromeBottom);
    pal.setColor(QPalette::PlaceholderText, s.panelText);
    setPalette(pal);
    for (Category& c : m_categories)
        for (CRibbonPanel* panel : c.panelList)
            panel->setPalette(pal);
    const QString hi = s.highlight.name(), hiBorder = s.highlightBorder.name();
    setStyleSheet(QStringLiteral(
                      "QToolButton { border: 1px solid transparent; border-radius: 3px; padding: 1px 3px; }"
                      "QToolButton:hover { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #fff7dc, stop:1 %1);"
                      " border: 1px solid %2; }"
                      "QToolButton:checked { background: %1; border: 1px solid %2; }"
                      "QToolButton:disabled { color: #8a8a8a; }"
                      "QToolButton[popupMode=\"2\"] { padding-right: 14px; }"
                      "QToolButton#RibbonCategoryTab { color: %3; padding: 2px 14px; border-bottom: none;"
                      " border-bottom-left-radius: 0; border-bottom-right-radius: 0; }"
                      "QToolButton#RibbonCategoryTab:checked { background: %4; color: black; border: 1px solid %5;"
                      " border-bottom: none; }"
                      "QToolButton#RibbonCategoryTab:hover:!checked { background: transparent; border: 1px solid %5; }"
                      "QToolButton#RibbonApplicationButton { color: white; font-weight: bold; padding: 2px 12px;"
                      " background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 %6, stop:1 %7); border: 1px solid %7; }"
                      "QToolButton#RibbonApplicationButton::menu-indicator { image: none; width: 0; }"
                      "QToolButton#RibbonApplicationButton:hover { border: 1px solid %2; }")
                      .arg(hi, hiBorder, s.tabText.name(), s.chromeTop.name(), s.chromeBottom.darker(125).name(),
                           s.applicationButton.lighter(135).name(), s.applicationButton.name()));
    update();
}

void CRibbonBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int tabBottom = m_pages->geometry().top();
    p.fillRect(QRect(0, 0, width(), tabBottom), m_scheme.tabRow.isValid() ? m_scheme.tabRow : palette().color(QPalette::Window));
    QLinearGradient g(0, tabBottom, 0, height());
    g.setColorAt(0, m_scheme.chromeTop.isValid() ? m_scheme.chromeTop : palette().color(QPalette::Window));
    g.setColorAt(1, m_scheme.chromeBottom.isValid() ? m_scheme.chromeBottom : palette().color(QPalette::Window));
    p.fillRect(QRect(0, tabBottom, width(), height() - tabBottom), g);
    p.setPen(m_scheme.chromeBottom.isValid() ? m_scheme.chromeBottom.darker(125) : QColor(Qt::gray));
    p.drawLine(0, height() - 1, width(), height() - 1);
}
