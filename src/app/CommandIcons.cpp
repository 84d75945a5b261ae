#include "app/CommandIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

#include "app/CommandIds.h"

namespace {

// Every shape is drawn on a 32 x 32 grid and scaled to the size asked for.
constexpr qreal kGrid = 32.0;

const QColor kInk(0x33, 0x3d, 0x4d);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kBlue(0x2f, 0x6f, 0xc8);
const QColor kGreen(0x3c, 0x9a, 0x48);
const QColor kRed(0xd2, 0x3c, 0x2e);
const QColor kYellow(0xf2, 0xc1, 0x2e);
const QColor kOrange(0xe8, 0x7d, 0x1e);

void Page(QPainter& p, QRectF r, const QColor& fill = kPaper)
{
    QPainterPath path;
    const qreal fold = r.width() * 0.3;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void TextLines(QPainter& p, QRectF r, int n)
{
    p.setPen(QPen(kInk.lighter(160), 1.2));
    for (int i = 0; i < n; ++i) {
        const qreal y = r.top() + (i + 1) * r.height() / (n + 1);
        p.drawLine(QPointF(r.left(), y), QPointF(r.right() - (i % 2) * r.width() * 0.3, y));
    }
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& c, qreal width = 2.5)
{
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF a = line, b = line;
    a.setLength(6);
    b.setLength(6);
    a.setAngle(line.angle() + 35);
    b.setAngle(line.angle() - 35);
    p.drawLine(a);
    p.drawLine(b);
}

void CurvedArrow(QPainter& p, bool clockwise)
{
    QPainterPath path;
    const qreal s = clockwise ? -1 : 1;
    const qreal cx = 16;
    path.moveTo(cx + s * 9, 24);
    path.cubicTo(cx + s * 11, 12, cx - s * 2, 6, cx - s * 9, 13);
    p.setPen(QPen(kBlue, 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    QPainterPath head;
    head.moveTo(cx - s * 12, 7);
    head.lineTo(cx - s * 13, 17);
    head.lineTo(cx - s * 4, 15);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPath(head);
}

void Folder(QPainter& p)
{
    QPainterPath back;
    back.moveTo(3, 8);
    back.lineTo(12, 8);
    back.lineTo(14, 11);
    back.lineTo(27, 11);
    back.lineTo(27, 26);
    back.lineTo(3, 26);
    back.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(0xe8, 0xb8, 0x4a));
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(3, 26);
    front.lineTo(7, 15);
    front.lineTo(30, 15);
    front.lineTo(27, 26);
    front.closeSubpath();
    p.setBrush(QColor(0xf7, 0xd3, 0x6b));
    p.drawPath(front);
}

void Disk(QPainter& p)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(5, 5, 22, 22), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(9, 5, 14, 9));
    p.setBrush(QColor(0xd8, 0xdd, 0xe6));
    p.drawRect(QRectF(10, 18, 12, 9));
    p.setBrush(kInk);
    p.drawRect(QRectF(18, 7, 3, 5));
}

void Printer(QPainter& p)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(QRectF(9, 4, 14, 10));
    p.setBrush(QColor(0xc6, 0xcc, 0xd6));
    p.drawRoundedRect(QRectF(4, 12, 24, 11), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(9, 19, 14, 9));
    TextLines(p, QRectF(11, 19, 10, 9), 2);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(24, 15.5), 1.3, 1.3);
}

// A small contour map: nested closed curves filled from cool to warm.
void ContourMap(QPainter& p, QRectF r, bool filled, bool picture)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(picture ? QColor(0xe9, 0xe2, 0xcf) : kPaper);
    p.drawRect(r);
    if (picture) {
        p.setPen(QPen(QColor(0x9a, 0x8a, 0x6a), 1));
        p.drawLine(QPointF(r.left() + 2, r.center().y() + 4), QPointF(r.right() - 2, r.center().y() + 4));
        p.drawLine(QPointF(r.left() + r.width() * 0.35, r.top() + 2), QPointF(r.left() + r.width() * 0.35, r.bottom() - 2));
    }
    const QColor fills[4] = {kBlue.lighter(150), kGreen.lighter(130), kYellow, kRed};
    const QPointF c(r.left() + r.width() * 0.55, r.top() + r.height() * 0.45);
    p.save();
    p.setClipRect(r.adjusted(1, 1, -1, -1));
    for (int i = 0; i < 4; ++i) {
        const qreal rx = r.width() * (0.62 - i * 0.14), ry = r.height() * (0.55 - i * 0.12);
        QColor f = fills[i];
        if (picture && filled)
            f.setAlpha(150);
        p.setBrush(filled ? QBrush(f) : QBrush(Qt::NoBrush));
        p.setPen(QPen(filled ? kInk.lighter(130) : kBlue, 1.1));
        p.drawEllipse(c, rx, ry);
    }
    p.restore();
}

void Table(QPainter& p, QRectF r)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setBrush(QColor(0xcf, 0xde, 0xf3));
    p.drawRect(QRectF(r.left(), r.top(), r.width(), r.height() / 4));
    p.setPen(QPen(kInk.lighter(160), 1));
    for (int i = 1; i < 4; ++i)
        p.drawLine(QPointF(r.left(), r.top() + i * r.height() / 4), QPointF(r.right(), r.top() + i * r.height() / 4));
    for (int i = 1; i < 3; ++i)
        p.drawLine(QPointF(r.left() + i * r.width() / 3, r.top()), QPointF(r.left() + i * r.width() / 3, r.bottom()));
}

void Picture(QPainter& p, QRectF r)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(0xbf, 0xdc, 0xf5));
    p.drawRect(r);
    QPainterPath hills;
    hills.moveTo(r.left(), r.bottom());
    hills.lineTo(r.left() + r.width() * 0.35, r.top() + r.height() * 0.45);
    hills.lineTo(r.left() + r.width() * 0.55, r.top() + r.height() * 0.7);
    hills.lineTo(r.left() + r.width() * 0.75, r.top() + r.height() * 0.5);
    hills.lineTo(r.right(), r.bottom());
    hills.closeSubpath();
    p.setBrush(kGreen);
    p.drawPath(hills);
    p.setPen(Qt::NoPen);
    p.setBrush(kYellow);
    p.drawEllipse(QPointF(r.right() - r.width() * 0.22, r.top() + r.height() * 0.25), 2.5, 2.5);
}

void Gear(QPainter& p, QPointF c, qreal radius)
{
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a = i * M_PI / teeth;
        const qreal r = (i % 2 == 0) ? radius : radius * 0.78;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        i == 0 ? path.moveTo(pt) : path.lineTo(pt);
    }
    path.closeSubpath();
    path.addEllipse(c, radius * 0.32, radius * 0.32);
    path.setFillRule(Qt::OddEvenFill);
    p.setPen(QPen(kInk, 1.1));
    p.setBrush(QColor(0x8c, 0x96, 0xa6));
    p.drawPath(path);
}

void DrawCommand(QPainter& p, int id)
{
    switch (id) {
    case ID_FILE_NEW:
        Page(p, QRectF(7, 3, 18, 26));
        p.setPen(Qt::NoPen);
        p.setBrush(kYellow);
        p.drawEllipse(QPointF(23, 9), 4, 4);
        break;
    case ID_FILE_OPEN:
        Folder(p);
        break;
    case ID_FILE_SAVE:
        Disk(p);
        break;
    case ID_FILE_SAVE_AS:
        Disk(p);
        p.setPen(QPen(kOrange, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 29), QPointF(29, 19));
        break;
    case ID_FILE_CLOSE:
        Page(p, QRectF(5, 3, 18, 24));
        p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(18, 18), QPointF(27, 27));
        p.drawLine(QPointF(27, 18), QPointF(18, 27));
        break;
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_SETUP:
        Printer(p);
        break;
    case ID_FILE_PRINT_PREVIEW:
        Page(p, QRectF(4, 3, 18, 24));
        p.setPen(QPen(kInk, 2));
        p.setBrush(QColor(0xdd, 0xee, 0xff, 200));
        p.drawEllipse(QPointF(19, 17), 6, 6);
        p.setPen(QPen(kInk, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(23.5, 21.5), QPointF(29, 27));
        break;
    case ID_FILE_PAGE_SETUP:
        Page(p, QRectF(6, 3, 20, 26));
        p.setPen(QPen(kBlue, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(10, 9, 12, 16));
        break;
    case ID_APP_EXIT:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(0x9b, 0x6b, 0x43));
        p.drawRect(QRectF(6, 4, 14, 24));
        Arrow(p, QPointF(14, 16), QPointF(29, 16), kRed, 3);
        break;
    case ID_EDIT_COPY:
        Page(p, QRectF(4, 3, 15, 20));
        Page(p, QRectF(12, 9, 15, 20));
        TextLines(p, QRectF(14, 13, 9, 13), 3);
        break;
    case ID_EDIT_PASTE:
        // A clipboard board with a table on it.
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(0x9b, 0x6b, 0x43));
        p.drawRoundedRect(QRectF(5, 4, 18, 24), 2, 2);
        Table(p, QRectF(11, 11, 17, 17));
        break;
    case ID_EDIT_UNDO:
        CurvedArrow(p, false);
        break;
    case ID_EDIT_REDO:
        CurvedArrow(p, true);
        break;
    case ID_AUTORANGE_COLOR: {
        QLinearGradient g(0, 28, 0, 4);
        g.setColorAt(0, kBlue);
        g.setColorAt(0.4, kGreen);
        g.setColorAt(0.7, kYellow);
        g.setColorAt(1, kRed);
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(g);
        p.drawRect(QRectF(6, 4, 9, 24));
        Arrow(p, QPointF(23, 15), QPointF(23, 4), kInk, 2);
        Arrow(p, QPointF(23, 17), QPointF(23, 28), kInk, 2);
        break;
    }
    case ID_TX_SETUP:
        Table(p, QRectF(3, 5, 20, 18));
        Gear(p, QPointF(22, 21), 8);
        break;
    case ID_TX_GRID:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kPaper);
        p.drawRect(QRectF(4, 4, 24, 24));
        p.setPen(QPen(kBlue, 1));
        for (int i = 1; i < 4; ++i) {
            p.drawLine(QPointF(4 + i * 6, 4), QPointF(4 + i * 6, 28));
            p.drawLine(QPointF(4, 4 + i * 6), QPointF(28, 4 + i * 6));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        for (QPointF pt : {QPointF(10, 10), QPointF(22, 16), QPointF(16, 22)})
            p.drawEllipse(pt, 2, 2);
        break;
    case ID_TX_BAND_SUM:
        // Octave band bars adding up into one overall bar.
        p.setPen(QPen(kInk, 1));
        p.setBrush(kBlue);
        for (int b = 0; b < 4; ++b)
            p.drawRect(QRectF(3 + b * 4.5, 28 - (6 + 4 * (b % 3)), 3.5, 6 + 4 * (b % 3)));
        p.setBrush(kRed);
        p.drawRect(QRectF(23, 5, 6, 23));
        break;
    case ID_TX_MERGE_READINGS:
        // Two readings at one position joined into one.
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kRed);
        p.drawEllipse(QPointF(8, 9), 4, 4);
        p.drawEllipse(QPointF(8, 23), 4, 4);
        Arrow(p, QPointF(12, 10), QPointF(20, 15), kInk, 1.5);
        Arrow(p, QPointF(12, 22), QPointF(20, 17), kInk, 1.5);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(25, 16), 4.5, 4.5);
        break;
    case ID_TX_SURFACE_CHECK:
        // A surface profile through its points, one of them circled.
        p.setPen(QPen(kBlue, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(3, 22), QPointF(10, 14), QPointF(17, 18), QPointF(24, 8), QPointF(29, 12)}));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        for (QPointF pt : {QPointF(3, 22), QPointF(10, 14), QPointF(24, 8), QPointF(29, 12)})
            p.drawEllipse(pt, 1.8, 1.8);
        p.drawEllipse(QPointF(17, 24), 1.8, 1.8);
        p.setPen(QPen(kRed, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(17, 24), 5, 5);
        break;
    case ID_VIEW_SPECTRUM:
        // Bars of unequal height over a base line.
        p.setPen(QPen(kInk, 1));
        p.setBrush(kGreen);
        for (int b = 0; b < 6; ++b)
            p.drawRect(QRectF(3 + b * 4.5, 28 - (8 + 3 * ((b * 5) % 7)), 3.5, 8 + 3 * ((b * 5) % 7)));
        p.drawLine(QPointF(2, 28), QPointF(30, 28));
        break;
    case ID_TX_NOISE_ZONES:
        // Nested zones around a source: the louder, the smaller.
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(255, 230, 120));
        p.drawEllipse(QPointF(16, 16), 13, 10);
        p.setBrush(QColor(255, 150, 60));
        p.drawEllipse(QPointF(17, 16), 8, 6);
        p.setBrush(kRed);
        p.drawEllipse(QPointF(18, 16), 3.5, 2.5);
        break;
    case ID_TX_IMPORT_IMAGE:
        Picture(p, QRectF(3, 8, 22, 18));
        Arrow(p, QPointF(25, 3), QPointF(25, 14), kGreen, 3);
        break;
    case ID_TX_IMAGE_SCALE:
        Picture(p, QRectF(5, 5, 22, 22));
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPaper);
        for (QPointF pt : {QPointF(5, 5), QPointF(27, 5), QPointF(5, 27), QPointF(27, 27), QPointF(16, 5),
                           QPointF(16, 27), QPointF(5, 16), QPointF(27, 16)})
            p.drawRect(QRectF(pt.x() - 2, pt.y() - 2, 4, 4));
        break;
    case ID_TX_IMAGE_CLIP: {
        Picture(p, QRectF(3, 3, 26, 26));
        QPolygonF poly({QPointF(7, 9), QPointF(20, 6), QPointF(26, 18), QPointF(15, 26), QPointF(6, 20)});
        p.setPen(QPen(kRed, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(poly);
        break;
    }
    case ID_TX_EDIT_DATA:
        Table(p, QRectF(3, 5, 22, 20));
        p.setPen(QPen(kOrange, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(18, 29), QPointF(29, 18));
        break;
    case ID_TX_INSERT_DATA:
        ContourMap(p, QRectF(3, 3, 22, 22), false, false);
        p.setPen(QPen(kGreen, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(25, 19), QPointF(25, 30));
        p.drawLine(QPointF(19.5, 24.5), QPointF(30.5, 24.5));
        break;
    case ID_MAP_MODE_NORMAL:
        ContourMap(p, QRectF(3, 4, 26, 24), false, false);
        break;
    case ID_MAP_MODE_COLORMAP:
        ContourMap(p, QRectF(3, 4, 26, 24), true, false);
        break;
    case ID_MAP_MODE_IMAGE:
        ContourMap(p, QRectF(3, 4, 26, 24), false, true);
        break;
    case ID_MAP_MODE_IMAGE_COLORMAP:
        ContourMap(p, QRectF(3, 4, 26, 24), true, true);
        break;
    case ID_SET_TITLE:
    case ID_SET_TEXT_ABOVE:
    case ID_SET_TEXT_BELOW:
    case ID_SET_FOOTER: {
        Page(p, QRectF(6, 3, 20, 26));
        const qreal y = id == ID_SET_TITLE ? 7 : id == ID_SET_TEXT_ABOVE ? 12 : id == ID_SET_TEXT_BELOW ? 19 : 24;
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRect(QRectF(9, y, 13, 3));
        break;
    }
    case ID_VIEW_PDF:
        Page(p, QRectF(6, 3, 20, 26));
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawRoundedRect(QRectF(3, 15, 20, 10), 2, 2);
        p.setPen(kPaper);
        p.setFont(QFont(QStringLiteral("Sans"), 6, QFont::Bold));
        p.drawText(QRectF(3, 15, 20, 10), Qt::AlignCenter, QStringLiteral("PDF"));
        break;
    case ID_APP_ABOUT:
        p.setPen(QPen(kBlue.darker(120), 1.2));
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(16, 16), 12, 12);
        p.setPen(Qt::NoPen);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(16, 9.5), 2.2, 2.2);
        p.drawRoundedRect(QRectF(14, 13.5, 4, 11), 1, 1);
        break;
    case ID_VIEW_STATUS_BAR:
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_PROPERTIES:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kPaper);
        p.drawRect(QRectF(3, 5, 26, 22));
        p.setBrush(kBlue.lighter(140));
        if (id == ID_VIEW_STATUS_BAR)
            p.drawRect(QRectF(3, 23, 26, 4));
        else if (id == ID_VIEW_TOOLBAR)
            p.drawRect(QRectF(3, 5, 26, 5));
        else
            p.drawRect(QRectF(20, 5, 9, 22));
        break;
    default:
        if (id >= ID_LOOK_WIN_2000 && id <= ID_LOOK_OFFICE_2007_AQUA) {
            p.setPen(QPen(kInk, 1.2));
            p.setBrush(kPaper);
            p.drawEllipse(QPointF(16, 16), 12, 12);
            break;
        }
        Page(p, QRectF(7, 3, 18, 26));
        break;
    }
}

class CDrawnIconEngine final : public QIconEngine {
public:
    explicit CDrawnIconEngine(int id) : m_id(id) {}
    void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->translate(rect.topLeft());
        p->scale(rect.width() / kGrid, rect.height() / kGrid);
        if (mode == QIcon::Disabled)
            p->setOpacity(0.35);
        DrawCommand(*p, m_id);
        p->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paint(&p, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }
    QIconEngine* clone() const override { return new CDrawnIconEngine(m_id); }

private:
    int m_id;
};

}  // namespace

QIcon CommandIcon(int commandId)
{
    return QIcon(new CDrawnIconEngine(commandId));
}

static void InitResourcesOnce()
{
    Q_INIT_RESOURCE(tessarix);
}

void EnsureShellResources()
{
    static const bool done = (InitResourcesOnce(), true);
    (void)done;
}

QIcon ApplicationIcon()
{
    EnsureShellResources();
    QIcon icon(QStringLiteral(":/tessarix/tessarix.svg"));
    if (icon.isNull())
        icon = CommandIcon(ID_MAP_MODE_COLORMAP);
    return icon;
}
