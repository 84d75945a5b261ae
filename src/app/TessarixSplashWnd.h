#pragma once
// CTessarixSplashWnd: the start-up picture with the version written over it. At most one exists;
// it closes after 20 seconds or at the first key press or mouse button anywhere in the program,
// and then brings the main window to the front.

#include <QBasicTimer>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class CTessarixSplashWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 20000;

    // Creates and shows the splash over `mainWindow` unless `enabled` is false, one already
    // exists, or the picture resource is missing. Returns the window or null.
    static CTessarixSplashWnd* ShowSplash(QWidget* mainWindow, bool enabled);
    static CTessarixSplashWnd* Instance();
    // Hides the splash when `event` is a key or mouse-button press; returns true when the event
    // was aimed at the splash window itself (and so needs no further handling).
    static bool FilterSplashMessage(QObject* target, QEvent* event);
    // The picture with the version text, as the window paints it.
    static QImage ComposePicture(const QImage& picture);
    static QString PicturePath();

    bool TimerActive() const { return m_timer.isActive(); }
    void HideSplash();

protected:
    void paintEvent(QPaintEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CTessarixSplashWnd(const QPixmap& picture, QWidget* mainWindow);
    ~CTessarixSplashWnd() override;

    QPixmap m_picture;
    QPointer<QWidget> m_mainWindow;
    QBasicTimer m_timer;
};
