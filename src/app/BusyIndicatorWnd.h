#pragma once
// CBusyIndicatorWnd: the status bar pane that shows that maps are being computed: a ring of
// dots that advances one frame every 150 ms while running and is blank otherwise.

#include <QTimer>
#include <QWidget>

class CBusyIndicatorWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameMs = 150;
    static constexpr int kFrameCount = 8;

    explicit CBusyIndicatorWnd(QWidget* parent = nullptr);
    void Start();
    void Stop();
    bool IsRunning() const { return m_timer.isActive(); }
    int Frame() const { return m_frame; }
    QSize sizeHint() const override { return {22, 16}; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QTimer m_timer;
    int m_frame = 0;
};
