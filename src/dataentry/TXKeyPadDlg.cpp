#include "dataentry/TXKeyPadDlg.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>
#include <qdrawutil.h>

#include "util/StringTable.h"
#include "util/UserPromptBox.h"

CKeyPadButton::CKeyPadButton(const QString& text, Glyph glyph, QWidget* parent)
    : QAbstractButton(parent), m_glyph(glyph)
{
    setText(text);
    // The caret stays in the keypad's edit line while buttons are clicked.
    setFocusPolicy(Qt::NoFocus);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(20);
    f.setBold(true);
    f.setItalic(glyph == Glyph::Text);
    setFont(f);
}

QSize CKeyPadButton::sizeHint() const
{
    return {38, m_glyph == Glyph::Text ? 32 : 38};
}

void CKeyPadButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, palette().button());
    qDrawWinPanel(&p, r, palette(), isDown());
    const QColor ink = isEnabled() ? palette().color(QPalette::ButtonText)
                                   : palette().color(QPalette::Disabled, QPalette::ButtonText);
    const QPoint shift = isDown() ? QPoint(1, 1) : QPoint();
    const QRectF face = QRectF(r.adjusted(6, 6, -6, -6)).translated(shift);
    p.setRenderHint(QPainter::Antialiasing);
    if (m_glyph == Glyph::Text) {
        p.setPen(ink);
        p.drawText(r.translated(shift), Qt::AlignCenter, text());
        return;
    }
    // Check mark and cross drawn as shapes: the symbol font they come from is rarely installed.
    const qreal side = std::min(face.width(), face.height());
    const QRectF box(face.center().x() - side / 2, face.center().y() - side / 2, side, side);
    QPen pen(m_glyph == Glyph::CheckMark ? QColor(0, 128, 0) : QColor(192, 0, 0));
    if (!isEnabled())
        pen.setColor(ink);
    pen.setWidthF(std::max(2.0, side / 6));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    QPainterPath path;
    if (m_glyph == Glyph::CheckMark) {
        path.moveTo(box.left() + side * 0.1, box.top() + side * 0.55);
        path.lineTo(box.left() + side * 0.4, box.top() + side * 0.85);
        path.lineTo(box.left() + side * 0.9, box.top() + side * 0.15);
    } else {
        path.moveTo(box.topLeft() + QPointF(side * 0.15, side * 0.15));
        path.lineTo(box.bottomRight() - QPointF(side * 0.15, side * 0.15));
        path.moveTo(box.topRight() + QPointF(-side * 0.15, side * 0.15));
        path.lineTo(box.bottomLeft() + QPointF(side * 0.15, -side * 0.15));
    }
    p.drawPath(path);
}

CTXKeyPad::CTXKeyPad(KeyPadMode mode, const QString& text, bool acceptEmpty, QWidget* parent,
                     const QString& decimal)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_mode(mode), m_acceptEmpty(acceptEmpty),
      m_decimal(decimal.size() == 1 ? decimal : QStringLiteral("."))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    m_line = new QLineEdit(text, this);
    layout->addWidget(m_line);

    auto* keys = new QGridLayout;
    keys->setSpacing(3);
    const char* labels[12] = {"7", "8", "9", "4", "5", "6", "1", "2", "3", "0", "+/-", "."};
    for (int i = 0; i < 12; ++i) {
        const QString label = QString::fromLatin1(labels[i]);
        const bool point = label == QLatin1String(".");
        // The decimal key shows and types the field's own separator.
        auto* b = new CKeyPadButton(point ? m_decimal : label, CKeyPadButton::Glyph::Text, this);
        b->setObjectName(label);
        keys->addWidget(b, i / 3, i % 3);
        const QChar typed = point ? m_decimal.at(0) : label.at(0);
        if (label == QLatin1String("+/-"))
            connect(b, &QAbstractButton::clicked, this, &CTXKeyPad::ToggleSign);
        else
            connect(b, &QAbstractButton::clicked, this, [this, typed] { TypeCharacter(typed); });
        if (label == QLatin1String("."))
            b->setEnabled(mode == KeyPadMode::Real);
    }
    layout->addLayout(keys);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(3);
    auto* ok = new CKeyPadButton(QStringLiteral("OK"), CKeyPadButton::Glyph::CheckMark, this);
    ok->setObjectName(QStringLiteral("OK"));
    auto* cancel = new CKeyPadButton(QStringLiteral("Cancel"), CKeyPadButton::Glyph::Cross, this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    connect(ok, &QAbstractButton::clicked, this, &CTXKeyPad::accept);
    connect(cancel, &QAbstractButton::clicked, this, &CTXKeyPad::reject);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    layout->addLayout(bottom);

    // 86 x 125 dialog units of the classic dialog font.
    setFixedSize(130, 204);
    m_line->setFocus();
    m_line->selectAll();
}

QString CTXKeyPad::Text() const
{
    return m_line->text();
}

CKeyPadButton* CTXKeyPad::Button(const QString& label) const
{
    return findChild<CKeyPadButton*>(label);
}

void CTXKeyPad::PlaceNear(const QRect& fieldOnScreen)
{
    QScreen* screen = QGuiApplication::screenAt(fieldOnScreen.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    move(CKeyPadModel::Placement(fieldOnScreen, size(), area));
}

void CTXKeyPad::TypeCharacter(QChar c)
{
    const int key = c == u'.' ? Qt::Key_Period : c == u',' ? Qt::Key_Comma
                  : c.isDigit() ? Qt::Key_0 + (c.unicode() - u'0') : Qt::Key_unknown;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(m_line, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(m_line, &release);
    m_line->setFocus();
}

void CTXKeyPad::ToggleSign()
{
    QString negated;
    if (CKeyPadModel::Negate(m_line->text(), m_mode, &negated, m_decimal))
        m_line->setText(negated);
    else
        TellUser(this, TxString(CKeyPadModel::PromptId(m_mode)));
    m_line->setFocus();
}

void CTXKeyPad::accept()
{
    const int prompt = CKeyPadModel::Validate(m_line->text(), m_mode, m_acceptEmpty, m_decimal);
    if (prompt != 0) {
        TellUser(this, TxString(prompt));
        m_line->setFocus();
        m_line->selectAll();
        return;
    }
    QDialog::accept();
}

CEditKeyPad::CEditKeyPad(KeyPadMode mode, QWidget* parent) : QLineEdit(parent), m_mode(mode) {}

QString CEditKeyPad::DecimalSeparator() const
{
    return m_decimal.isEmpty() ? locale().decimalPoint() : m_decimal;
}

bool CEditKeyPad::OpenKeyPad()
{
    CTXKeyPad pad(m_mode, text(), m_acceptEmpty, this, DecimalSeparator());
    pad.PlaceNear(QRect(mapToGlobal(QPoint(0, 0)), size()));
    const bool ok = pad.exec() == QDialog::Accepted;
    if (ok) {
        setText(pad.Text());
        emit changedByKeyPad(m_controlId);
    }
    setFocus();
    return ok;
}

void CEditKeyPad::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (isReadOnly() || !isEnabled()) {
        QLineEdit::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    OpenKeyPad();
}
