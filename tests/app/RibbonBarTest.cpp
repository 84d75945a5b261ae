// The ribbon at different window widths: panels that do not fit collapse from the right into one
// menu button each, and no button is squeezed below its label.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QToolButton>

#include <memory>

#include "app/RibbonBar.h"

namespace {

class RibbonBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bar = std::make_unique<CRibbonBar>();
        const int home = bar->AddCategory(QStringLiteral("Home"));
        const char* panels[][4] = {{"Clipboard", "Copy", "Paste", "Paste Special"},
                                   {"Setup", "Main Settings", "Grid Settings", "Import Image"},
                                   {"Map Mode", "Normal Map", "Colour Map", "Image and Colour Map"},
                                   {"Print Texts", "Title", "Text above", "Text below"}};
        for (const auto& p : panels) {
            CRibbonPanel* panel = bar->AddPanel(home, QString::fromLatin1(p[0]));
            for (int k = 1; k < 4; ++k) {
                auto* a = new QAction(QString::fromLatin1(p[k]), bar.get());
                actions.push_back(a);
                k == 3 && p[0][0] == 'P' ? panel->AddSmall(a) : panel->AddLarge(a);
            }
        }
    }

    void ShowAt(int width)
    {
        bar->resize(width, bar->sizeHint().height());
        bar->show();
        QApplication::processEvents();
    }

    std::vector<bool> Collapsed() const
    {
        std::vector<bool> c;
        for (const CRibbonPanel* p : bar->Panels(0))
            c.push_back(p->IsCollapsed());
        return c;
    }

    // Every visible button at least as wide as its label asks.
    bool NothingSqueezed() const
    {
        for (const QToolButton* b : bar->findChildren<QToolButton*>())
            if (b->isVisible() && b->width() < b->sizeHint().width())
                return false;
        return true;
    }

    int WidthOfAll() const
    {
        int w = 0;
        for (const CRibbonPanel* p : bar->Panels(0))
            w += p->ExpandedWidth() + 3;
        return w + 3;
    }

    std::unique_ptr<CRibbonBar> bar;
    std::vector<QAction*> actions;
};

TEST_F(RibbonBarTest, WideWindowShowsEveryPanelWhole)
{
    ShowAt(WidthOfAll() + 40);
    EXPECT_EQ(Collapsed(), (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(NothingSqueezed());
}

TEST_F(RibbonBarTest, NarrowWindowCollapsesFromTheRightAndWideningRestores)
{
    const std::vector<CRibbonPanel*> panels = bar->Panels(0);
    const int lastTwo = panels[2]->ExpandedWidth() + panels[3]->ExpandedWidth();
    ShowAt(WidthOfAll() - lastTwo / 2);
    const std::vector<bool> some = Collapsed();
    EXPECT_FALSE(some[0]);
    EXPECT_TRUE(some[3]);
    EXPECT_TRUE(NothingSqueezed());

    ShowAt(200);
    EXPECT_EQ(Collapsed(), (std::vector<bool>{true, true, true, true}));

    ShowAt(WidthOfAll() + 40);
    EXPECT_EQ(Collapsed(), (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(NothingSqueezed());
}

TEST_F(RibbonBarTest, CollapsedPanelOffersItsCommandsAsAMenu)
{
    ShowAt(200);
    const CRibbonPanel* setup = bar->Panels(0)[1];
    ASSERT_TRUE(setup->IsCollapsed());
    QToolButton* menuButton = nullptr;
    int visibleButtons = 0;
    for (QToolButton* b : setup->findChildren<QToolButton*>())
        if (b->isVisible())
            ++visibleButtons, menuButton = b;
    ASSERT_EQ(visibleButtons, 1);
    ASSERT_NE(menuButton->menu(), nullptr);
    const QList<QAction*> offered = menuButton->menu()->actions();
    ASSERT_EQ(offered.size(), 3);
    EXPECT_EQ(offered[0]->text(), QStringLiteral("Main Settings"));
    EXPECT_EQ(offered[2]->text(), QStringLiteral("Import Image"));
}

}  // namespace
