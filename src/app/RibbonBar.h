#pragma once
// CRibbonBar: the ribbon of the Office-style interface. A tab row carries the application button
// (with its menu), the category tabs, the "Style" menu and the about button; below it the panels
// of the selected category show their commands as large buttons (icon above the text) or as
// small ones stacked three high. The buttons run QActions, so their state follows the commands.

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

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void EndSmallColumn();

    QString m_title;
    QHBoxLayout* m_row;
    QBoxLayout* m_smallColumn = nullptr;
    int m_smallCount = 0;
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

private:
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
