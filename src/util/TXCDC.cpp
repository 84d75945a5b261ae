#include "util/TXCDC.h"

#include <QFontMetricsF>
#include <QHash>
#include <QMutex>

#include <cmath>
#include <cstdlib>

namespace {

// Ratio of a family's character cell (ascent + descent) to its em size, measured once.
double CellToEmRatio(const QFont& font)
{
    static QMutex mutex;
    static QHash<QString, double> cache;
    const QString key = font.family() + QString::number(font.weight()) +
                        (font.italic() ? QLatin1String("i") : QLatin1String(""));
    QMutexLocker lock(&mutex);
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    QFont probe(font);
    probe.setPixelSize(1000);
    const QFontMetricsF m(probe);
    const double cell = m.ascent() + m.descent();
    const double ratio = cell > 0 ? 1000.0 / cell : 1.0;
    cache.insert(key, ratio);
    return ratio;
}

}  // namespace

QFont TxMakeDeviceFont(const CKWFont& f, int height)
{
    QFont font(f.Face().isEmpty() ? QStringLiteral("Arial") : f.Face());
    font.setWeight(QFont::Weight(f.weight <= 0 ? 400 : std::clamp<int>(f.weight, 1, 1000)));
    font.setItalic(f.style & CKWFont::Italic);
    font.setUnderline(f.style & CKWFont::Underline);
    font.setStrikeOut(f.style & CKWFont::StrikeOut);
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferNoHinting);
    int em = std::abs(height);
    if (height > 0)
        em = int(std::lround(height * CellToEmRatio(font)));
    font.setPixelSize(std::max(1, em));
    return font;
}

QFont TxMakeDeviceFont(const FontRecord& record, int height)
{
    return TxMakeDeviceFont(CKWFont(record), height);
}

CTXCDC::CTXCDC(QPainter* painter, int dpiX, int dpiY)
    : m_painter(painter), m_dpiX(dpiX), m_dpiY(dpiY)
{
    if (m_painter)
        m_font = m_painter->font();
}

TxColor CTXCDC::SetTextColor(TxColor c)
{
    return std::exchange(m_textColor, c);
}

TxColor CTXCDC::SetBkColor(TxColor c)
{
    return std::exchange(m_bkColor, c);
}

int CTXCDC::SetBkMode(int mode)
{
    return std::exchange(m_bkMode, mode);
}

unsigned CTXCDC::SetTextAlign(unsigned flags)
{
    return std::exchange(m_textAlign, flags);
}

CTXCDC::FontState CTXCDC::SelectFont(const QFont& font, int escapement)
{
    FontState previous{m_font, m_escapement};
    m_font = font;
    m_escapement = escapement;
    return previous;
}

QSize CTXCDC::TextExtent(const QString& text) const
{
    const QFontMetrics m(m_font);
    return QSize(m.horizontalAdvance(text), m.ascent() + m.descent());
}

void CTXCDC::TextOut(int x, int y, const QString& text)
{
    if (!m_painter || text.isEmpty())
        return;
    const QFontMetrics m(m_font);
    const int w = m.horizontalAdvance(text);
    const int h = m.ascent() + m.descent();
    int dx = 0;
    if ((m_textAlign & TA_CENTER) == TA_CENTER)
        dx = -w / 2;
    else if (m_textAlign & TA_RIGHT)
        dx = -w;
    int dy = 0;
    if ((m_textAlign & TA_BASELINE) == TA_BASELINE)
        dy = -m.ascent();
    else if (m_textAlign & TA_BOTTOM)
        dy = -h;

    QPainter& p = *m_painter;
    p.save();
    p.translate(x, y);
    if (m_escapement % 3600 != 0)
        p.rotate(-m_escapement / 10.0);
    if (m_bkMode == OPAQUE)
        p.fillRect(QRect(dx, dy, w, h), TxToQColor(m_bkColor));
    p.setFont(m_font);
    p.setPen(TxToQColor(m_textColor));
    p.drawText(QPoint(dx, dy + m.ascent()), text);
    p.restore();
}

int CKWFontSelection::ResolutionFor(const CTXCDC& dc, int resolution)
{
    if (resolution >= 2)
        return resolution;
    if (resolution == 1)
        return 1270;
    return dc.DpiY();
}

bool CKWFontSelection::Open(CTXCDC& dc, const CKWFont& font, int angle, int bkMode,
                            TxColor textColor, int resolution)
{
    Close();
    m_previousBkMode = dc.SetBkMode(bkMode);
    m_previousTextColor = dc.SetTextColor(textColor);
    deviceHeight = TxMulDiv(font.size, ResolutionFor(dc, resolution), 720);
    const QFont device = TxMakeDeviceFont(font, deviceHeight);
    m_previousFont = dc.SelectFont(device, 0);
    zeroExtent = dc.TextExtent(QStringLiteral("0"));
    dc.SelectFont(device, Escapement(angle));

    const QFontMetrics m(device);
    ascent = m.ascent();
    descent = m.descent();
    height = ascent + descent;
    aveCharWidth = m.averageCharWidth();
    superscriptSize = height * 2 / 3;
    subscriptSize = height * 2 / 3;
    superscriptOffset = height / 3;
    subscriptOffset = height / 3;
    m_dc = &dc;
    return true;
}

void CKWFontSelection::Close()
{
    if (!m_dc)
        return;
    m_dc->RestoreFont(m_previousFont);
    m_dc->SetBkMode(m_previousBkMode);
    m_dc->SetTextColor(m_previousTextColor);
    m_dc = nullptr;
}
