// The start-up picture: shown only when asked and only once, closed by a key or a click anywhere,
// with the version written near its bottom.
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "app/TessarixSplashWnd.h"

namespace {

void DeleteLater()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class SplashWndTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (CTessarixSplashWnd* s = CTessarixSplashWnd::Instance())
            s->HideSplash();
        DeleteLater();
    }
    QWidget mainWindow;
};

TEST_F(SplashWndTest, OffMeansNoWindowAndNoTimer)
{
    EXPECT_EQ(CTessarixSplashWnd::ShowSplash(&mainWindow, false), nullptr);
    EXPECT_EQ(CTessarixSplashWnd::Instance(), nullptr);
}

TEST_F(SplashWndTest, AtMostOneSizedToThePictureWithItsTimer)
{
    const QImage picture(CTessarixSplashWnd::PicturePath());
    ASSERT_FALSE(picture.isNull());
    CTessarixSplashWnd* splash = CTessarixSplashWnd::ShowSplash(&mainWindow, true);
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->TimerActive());
    EXPECT_EQ(splash->size(), picture.size() + QSize(2, 2));  // the picture inside a thin frame
    EXPECT_EQ(CTessarixSplashWnd::ShowSplash(&mainWindow, true), nullptr);
    EXPECT_EQ(CTessarixSplashWnd::Instance(), splash);
}

TEST_F(SplashWndTest, AKeyAnywhereClosesItAndShowsTheMainWindow)
{
    QPointer<CTessarixSplashWnd> splash = CTessarixSplashWnd::ShowSplash(&mainWindow, true);
    ASSERT_TRUE(splash);
    QWidget other;
    other.show();
    QTest::keyClick(&other, Qt::Key_A);
    DeleteLater();
    EXPECT_TRUE(splash.isNull());
    EXPECT_EQ(CTessarixSplashWnd::Instance(), nullptr);
    EXPECT_TRUE(mainWindow.isVisible());
}

TEST_F(SplashWndTest, AClickOnTheSplashIsSwallowedAClickElsewhereStillWorks)
{
    QPushButton button(QStringLiteral("OK"));
    button.show();
    QSignalSpy clicked(&button, &QPushButton::clicked);
    QPointer<CTessarixSplashWnd> splash = CTessarixSplashWnd::ShowSplash(&mainWindow, true);
    ASSERT_TRUE(splash);
    QTest::mouseClick(&button, Qt::LeftButton);
    DeleteLater();
    EXPECT_TRUE(splash.isNull());
    EXPECT_EQ(clicked.count(), 1);

    splash = CTessarixSplashWnd::ShowSplash(&mainWindow, true);
    ASSERT_TRUE(splash);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton, Qt::LeftButton, {});
    EXPECT_TRUE(CTessarixSplashWnd::FilterSplashMessage(splash, &press));
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), QPointF(10, 10), Qt::NoButton, Qt::NoButton, {});
    EXPECT_FALSE(CTessarixSplashWnd::FilterSplashMessage(&button, &move));
}

TEST_F(SplashWndTest, VersionIsWrittenCentredAboveTheBottomEdge)
{
    QImage plain(400, 200, QImage::Format_RGB32);
    plain.fill(Qt::white);
    const QImage composed = CTessarixSplashWnd::ComposePicture(plain);
    ASSERT_EQ(composed.size(), plain.size());
    int left = composed.width(), right = -1, top = composed.height(), bottom = -1;
    for (int y = 0; y < composed.height(); ++y)
        for (int x = 0; x < composed.width(); ++x)
            if (qGray(composed.pixel(x, y)) < 100) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0) << "no text drawn";
    EXPECT_NEAR((left + right) / 2.0, composed.width() / 2.0, 4.0);
    EXPECT_LT(bottom, composed.height() - 21 - 5 + 1);  // inside the box that ends 21 pixels up
    EXPECT_GT(top, composed.height() - 21 - 40);
}

}  // namespace
