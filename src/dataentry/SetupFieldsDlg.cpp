#include "dataentry/SetupFieldsDlg.h"
#include "dataentry/TXKeyPadDlg.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

QLineEdit* NewIntegerEdit(QWidget* parent)
{
    return new CEditKeyPadInteger(parent);
}

QLineEdit* NewRealEdit(QWidget* parent)
{
    return new CEditKeyPadReal(parent);
}

CSpinButtonBar::CSpinButtonBar(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(18, 11);
        layout->addWidget(b);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { emit Stepped(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { emit Stepped(-1); });
}

QWidget* WithSpinButtons(QLineEdit* field, CSpinButtonBar* spin, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    field->setParent(row);
    spin->setParent(row);
    layout->addWidget(field, 1);
    layout->addWidget(spin);
    return row;
}
