#pragma once
// CRibbonBar: the ribbon of the Office-style interface. A tab row carries the application button
// (with its menu), the category tabs, the "Style" menu and the about button; below it the panels
// of the selected category show their commands as large buttons (icon above the text) or as
// small ones stacked three high. The buttons run QActions, so their state follows the commands.
// When a category's panels are wider than the window, panels collapse from the right, each to one
// large button that opens its commands as a menu; buttons are never squeezed below their labels.

#include <QWidget>

#include <vector>

#include "app/LookScheme.h"

class QAction;
class QBoxLayout;
class QHBoxLayout;
class QMenu;
class QToolButton;
class QStackedWidget;

class CRibbonPanel : public QWidget {
    Q_OBJECT
public:
    CRibbonPanel(const QString& title, QWidget* parent);
    const QString& Title() const { return m_title; }
    QToolButton* AddLarge(QAction* action);
    QToolButton* AddSmall(QAction* action);
    // A large button that opens `menu`; it runs `action` too when that is given.
    QToolButton* AddMenuButton(const QString& text, const QIcon& icon, QMenu* menu, QAction* action = nullptr);

    // The command buttons in the order they were added (not the collapsed panel's menu button).
    const std::vector<QToolButton*>& Buttons() const { return m_buttons; }
    // Shows the panel as its one menu button (true) or with all its buttons.
    void SetCollapsed(bool collapsed);
    bool IsCollapsed() const { return m_collapsed; }
    // The panel's width with all its buttons, and as its one menu button.
    int ExpandedWidth() const;
    int CollapsedWidth() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void EndSmallColumn();
    // A large button (icon above its label) at the end of the row.
    QToolButton* AddLargeButton();
    void AddToCollapsedMenu(QAction* action);

    QString m_title;
    QHBoxLayout* m_row;
    QBoxLayout* m_smallColumn = nullptr;
    int m_smallCount = 0;
    std::vector<QToolButton*> m_buttons;
    QToolButton* m_collapsedButton;
    QMenu* m_collapsedMenu;
    bool m_collapsed = false;
};

class CRibbonBar : public QWidget {
    Q_OBJECT
public:
    explicit CRibbonBar(QWidget* parent = nullptr);

    void SetApplicationMenu(const QString& text, QMenu* menu);
    // Adds a category tab; its panels are added to the returned page.
    int AddCategory(const QString& name);
    CRibbonPanel* AddPanel(int category, const QString& title);
    void SetStyleMenu(const QString& text, QMenu* menu);
    void SetAboutAction(QAction* about);
    void ApplyScheme(const LookScheme& scheme);

    std::vector<CRibbonPanel*> Panels(int category) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    // Collapses the selected category's panels from the right until the rest fit the width.
    void FitPanels();
    struct Category {
        QToolButton* tab = nullptr;
        QWidget* page = nullptr;
        QHBoxLayout* panels = nullptr;
        std::vector<CRibbonPanel*> panelList;
    };
    void SelectCategory(int i);

    LookScheme m_scheme;
    QHBoxLayout* m_tabRow;
    QStackedWidget* m_pages;
    QToolButton* m_appButton;
    QToolButton* m_styleButton = nullptr;
    QToolButton* m_aboutButton = nullptr;
    std::vector<Category> m_categories;
    int m_tabInsertAt = 1;
};
