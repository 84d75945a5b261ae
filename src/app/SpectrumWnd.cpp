#include "app/SpectrumWnd.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "app/AppStrings.h"
#include "document/TessarixDoc.h"
#include "util/StringTable.h"

namespace {

constexpr int kMargin = 6;
constexpr int kTickLength = 3;

QString TickText(double v)
{
    return QString::asprintf("%g", v);
}

}  // namespace

// ---- chart ----

CSpectrumChart::CSpectrumChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SpectrumChart"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize CSpectrumChart::sizeHint() const
{
    return {240, 220};
}

QSize CSpectrumChart::minimumSizeHint() const
{
    return {120, 120};
}

void CSpectrumChart::SetEntries(std::vector<SpectrumEntry> entries, const CursorReadout& position,
                                const SpectrumScale& scale)
{
    m_entries = std::move(entries);
    m_position = position;
    m_scale = scale;
    m_held = false;
    update();
}

void CSpectrumChart::Hold()
{
    if (m_held || !m_position.xyValid)
        return;
    m_held = true;
    update();
}

void CSpectrumChart::Clear(std::vector<SpectrumEntry> columns)
{
    m_entries = std::move(columns);
    m_position = CursorReadout{};
    m_held = false;
    update();
}

QString CSpectrumChart::CopyText() const
{
    return m_position.xyValid ? SpectrumCopyText(m_entries, ExchangeLocale::System()) : QString();
}

bool CSpectrumChart::CopyToClipboard() const
{
    const QString text = CopyText();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (text.isEmpty() || !clipboard)
        return false;
    clipboard->setText(text);
    return true;
}

bool CSpectrumChart::event(QEvent* e)
{
    // The main window's Copy (the map picture) is a window shortcut; with the focus here Ctrl+C
    // copies the values instead, as a text field takes it over.
    if (e->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(e)->matches(QKeySequence::Copy)) {
        e->accept();
        return true;
    }
    return QWidget::event(e);
}

void CSpectrumChart::keyPressEvent(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Copy)) {
        CopyToClipboard();
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void CSpectrumChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Base));
    const QFontMetrics fm(font());
    const QColor ink = pal.color(QPalette::Text);
    const QColor faint = pal.color(QPalette::Disabled, QPalette::Text);

    // The position the values belong to, or what to do to get one.
    const QRect header(kMargin, kMargin, width() - 2 * kMargin, fm.height());
    p.setPen(m_position.xyValid && !m_held ? ink : faint);
    p.drawText(header, Qt::AlignLeft | Qt::AlignVCenter,
               m_position.xyValid ? m_position.XText() + QStringLiteral("   ") + m_position.YText()
                                  : TxString(IDS_SPECTRUM_NO_POSITION));

    // Names run upwards under their bars; the value axis takes the widest tick label.
    int nameHeight = 0;
    for (const SpectrumEntry& e : m_entries)
        nameHeight = std::max(nameHeight, fm.horizontalAdvance(e.name));
    int tickWidth = 0;
    const int ticks = int(std::lround((m_scale.high - m_scale.low) / m_scale.step));
    for (int t = 0; t <= ticks; ++t)
        tickWidth = std::max(tickWidth, fm.horizontalAdvance(TickText(m_scale.low + t * m_scale.step)));
    const QRectF plot(kMargin + tickWidth + kTickLength + 2, header.bottom() + fm.height() / 2 + kMargin,
                      width() - (2 * kMargin + tickWidth + kTickLength + 2),
                      height() - (header.bottom() + fm.height() / 2 + 2 * kMargin + nameHeight + 4));
    if (plot.width() < 4 || plot.height() < 4)
        return;

    p.setPen(faint);
    for (int t = 0; t <= ticks; ++t) {
        const double v = m_scale.low + t * m_scale.step;
        const double y = SpectrumValueY(m_scale, plot, v);
        p.drawLine(QPointF(plot.left() - kTickLength, y), QPointF(plot.right(), y));
        p.setPen(ink);
        p.drawText(QRectF(kMargin, y - fm.height() / 2.0, tickWidth, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                   TickText(v));
        p.setPen(faint);
    }

    const std::vector<SpectrumBar> bars = LayoutSpectrumBars(m_entries, m_scale, plot);
    const QColor fill = m_held ? QColor(170, 170, 170) : QColor(40, 110, 200);
    for (size_t i = 0; i < bars.size(); ++i) {
        if (bars[i].valid) {
            p.fillRect(bars[i].bar, fill);
            // The value over its bar when it fits the slot (inside the bar's top when at the top).
            const QString value = QString::number(double(m_entries[i].value), 'f', 1);
            if (fm.horizontalAdvance(value) + 2 <= bars[i].slot.width()) {
                const bool inside = bars[i].bar.top() - fm.height() < plot.top();
                const QRectF box(bars[i].slot.left(), inside ? bars[i].bar.top() : bars[i].bar.top() - fm.height(),
                                 bars[i].slot.width(), fm.height());
                p.setPen(inside ? pal.color(QPalette::Base) : ink);
                p.drawText(box, Qt::AlignCenter, value);
            }
        }
        // The name, read from bottom to top, centred under its slot.
        p.save();
        p.translate(bars[i].slot.center().x() + (fm.ascent() - fm.descent()) / 2.0, plot.bottom() + 4 + nameHeight);
        p.rotate(-90);
        p.setPen(bars[i].valid ? ink : faint);
        p.drawText(QPointF(nameHeight - fm.horizontalAdvance(m_entries[i].name), 0), m_entries[i].name);
        p.restore();
    }
    p.setPen(ink);
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    if (hasFocus()) {
        p.setPen(QPen(pal.color(QPalette::Highlight), 1, Qt::DotLine));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

// ---- pane ----

CSpectrumWnd::CSpectrumWnd(CTessarixDoc& doc, QWidget* parent)
    : QDockWidget(TxString(IDS_SPECTRUM_TITLE), parent), m_doc(doc)
{
    // The frame's saved layout finds the pane by this name.
    setObjectName(QStringLiteral("SpectrumWnd"));
    m_chart = new CSpectrumChart(this);
    setWidget(m_chart);
    OnDocumentChanged();
}

void CSpectrumWnd::ShowReadout(const CursorReadout& readout)
{
    if (!readout.xyValid) {
        m_chart->Hold();
        return;
    }
    std::vector<SpectrumEntry> entries = SpectrumAt(m_doc, readout.x, readout.y);
    float lo = NAN, hi = NAN;
    SpectrumInputRange(m_doc, &lo, &hi);
    double smallest = lo, largest = hi;
    WidenToEntries(entries, &smallest, &largest);
    m_chart->SetEntries(std::move(entries), readout, SpectrumScaleFor(smallest, largest));
}

void CSpectrumWnd::OnDocumentChanged()
{
    m_chart->Clear(SpectrumColumns(m_doc));
}
