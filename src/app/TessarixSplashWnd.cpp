#include "app/TessarixSplashWnd.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>

#include "app/AppStrings.h"
#include "app/CommandIcons.h"
#include "util/StringTable.h"

namespace {

CTessarixSplashWnd* g_splash = nullptr;
constexpr int kFrame = 1;  // the thin frame around the picture

bool IsDismissingEvent(QEvent::Type t)
{
    switch (t) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        return true;
    default:
        return false;
    }
}

}  // namespace

QString CTessarixSplashWnd::PicturePath()
{
    return QStringLiteral(":/tessarix/splash.jpg");
}

CTessarixSplashWnd* CTessarixSplashWnd::Instance()
{
    return g_splash;
}

CTessarixSplashWnd* CTessarixSplashWnd::ShowSplash(QWidget* mainWindow, bool enabled)
{
    if (!enabled || g_splash)
        return nullptr;
    EnsureShellResources();
    QImage picture(PicturePath(), "JPG");
    if (picture.isNull())
        return nullptr;
    auto* splash = new CTessarixSplashWnd(QPixmap::fromImage(ComposePicture(picture)), mainWindow);
    splash->show();
    splash->raise();
    splash->repaint();
    return splash;
}

CTessarixSplashWnd::CTessarixSplashWnd(const QPixmap& picture, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(picture),
      m_mainWindow(mainWindow)
{
    g_splash = this;
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(picture.width() + 2 * kFrame, picture.height() + 2 * kFrame);
    const QScreen* screen = mainWindow && mainWindow->screen() ? mainWindow->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
    m_timer.start(kTimeoutMs, this);
    qApp->installEventFilter(this);
}

CTessarixSplashWnd::~CTessarixSplashWnd()
{
    qApp->removeEventFilter(this);
    if (g_splash == this)
        g_splash = nullptr;
}

QImage CTessarixSplashWnd::ComposePicture(const QImage& source)
{
    QImage image = source.convertToFormat(QImage::Format_RGB32);
    QPainter p(&image);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(20);
    font.setWeight(QFont::Bold);
    font.setItalic(true);
    font.setStyleStrategy(QFont::PreferQuality);
    p.setFont(font);
    p.setPen(Qt::black);
    const QString text = TxString(IDS_SPLASH_VERSION).replace(QLatin1String("%s"), QStringLiteral(TESSARIX_VERSION));
    const QFontMetrics fm(font);
    // The text's extent grown by 5 pixels on every side, centred, its bottom 21 pixels above the
    // picture's bottom edge.
    const QSize extent(fm.horizontalAdvance(text) + 10, fm.height() + 10);
    const QRect box((image.width() - extent.width()) / 2, image.height() - 21 - extent.height(), extent.width(),
                    extent.height());
    p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, text);
    return image;
}

void CTessarixSplashWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(kFrame, kFrame, m_picture);
    p.setPen(QColor(0x50, 0x50, 0x50));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CTessarixSplashWnd::HideSplash()
{
    m_timer.stop();
    QPointer<QWidget> main = m_mainWindow;
    close();  // deletes the window
    if (main) {
        main->show();
        main->raise();
        main->activateWindow();
        main->update();
    }
}

void CTessarixSplashWnd::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == m_timer.timerId())
        HideSplash();
}

bool CTessarixSplashWnd::FilterSplashMessage(QObject* target, QEvent* event)
{
    CTessarixSplashWnd* splash = g_splash;
    if (!splash || !IsDismissingEvent(event->type()))
        return false;
    const bool aimedAtSplash = target == splash || (target->isWidgetType() && splash->isAncestorOf(static_cast<QWidget*>(target)));
    splash->HideSplash();
    return aimedAtSplash;
}

bool CTessarixSplashWnd::eventFilter(QObject* watched, QEvent* event)
{
    // Only widget events: the same press also travels through the window object first.
    if (!watched->isWidgetType())
        return false;
    return FilterSplashMessage(watched, event);
}
