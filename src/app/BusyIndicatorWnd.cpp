#include "app/BusyIndicatorWnd.h"

#include <QPainter>

#include <cmath>

CBusyIndicatorWnd::CBusyIndicatorWnd(QWidget* parent) : QWidget(parent)
{
    setFixedSize(sizeHint());
    m_timer.setInterval(kFrameMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_frame = (m_frame + 1) % kFrameCount;
        update();
    });
}

void CBusyIndicatorWnd::Start()
{
    if (!m_timer.isActive()) {
        m_frame = 0;
        m_timer.start();
    }
    update();
}

void CBusyIndicatorWnd::Stop()
{
    m_timer.stop();
    update();
}

void CBusyIndicatorWnd::paintEvent(QPaintEvent*)
{
    if (!IsRunning())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(width() / 2.0, height() / 2.0);
    const qreal r = 5.5;
    for (int i = 0; i < kFrameCount; ++i) {
        const qreal a = 2 * M_PI * i / kFrameCount - M_PI / 2;
        // The dot of the current frame is darkest; the ones behind it fade out.
        const int age = (m_frame - i + kFrameCount) % kFrameCount;
        QColor dot(0x2f, 0x6f, 0xc8);
        dot.setAlphaF(1.0 - age * 0.11);
        p.setPen(Qt::NoPen);
        p.setBrush(dot);
        p.drawEllipse(QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a)), 1.6, 1.6);
    }
}
