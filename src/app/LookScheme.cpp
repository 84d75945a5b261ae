#include "app/LookScheme.h"

#include "app/CommandIds.h"

LookScheme LookSchemeOf(int look)
{
    LookScheme s;
    s.look = look;
    s.widgetStyle = QStringLiteral("Fusion");
    switch (look) {
    case ID_LOOK_WIN_2000:
        s.widgetStyle = QStringLiteral("Windows");
        s.window = QColor(0xd4, 0xd0, 0xc8);
        s.chromeTop = s.chromeBottom = s.window;
        s.highlight = QColor(0x0a, 0x24, 0x6a).lighter(300);
        s.highlightBorder = QColor(0x0a, 0x24, 0x6a);
        break;
    case ID_LOOK_OFFICE_XP:
        s.window = QColor(0xf0, 0xef, 0xed);
        s.chromeTop = QColor(0xf7, 0xf6, 0xf3);
        s.chromeBottom = QColor(0xe8, 0xe6, 0xe1);
        s.highlight = QColor(0xb6, 0xbd, 0xd2);
        s.highlightBorder = QColor(0x0a, 0x24, 0x6a);
        break;
    case ID_LOOK_WIN_XP:
        s.window = QColor(0xec, 0xe9, 0xd8);
        s.chromeTop = QColor(0xfa, 0xf9, 0xf5);
        s.chromeBottom = QColor(0xe3, 0xdf, 0xc9);
        s.highlight = QColor(0xc1, 0xd2, 0xee);
        s.highlightBorder = QColor(0x31, 0x6a, 0xc5);
        break;
    case ID_LOOK_OFFICE_2003:
        s.window = QColor(0xe3, 0xef, 0xff);
        s.chromeTop = QColor(0xdd, 0xec, 0xfe);
        s.chromeBottom = QColor(0x81, 0xa9, 0xe2);
        s.highlight = QColor(0xff, 0xe6, 0xa0);
        s.highlightBorder = QColor(0x00, 0x00, 0x80);
        break;
    case ID_LOOK_OFFICE_2007_BLACK:
        s.window = QColor(0xe2, 0xe4, 0xe7);
        s.chromeTop = QColor(0xf4, 0xf5, 0xf6);
        s.chromeBottom = QColor(0xd6, 0xd9, 0xdd);
        s.tabRow = QColor(0x3d, 0x3f, 0x42);
        s.tabText = QColor(0xff, 0xff, 0xff);
        s.panelText = QColor(0x40, 0x40, 0x40);
        s.highlight = QColor(0xff, 0xe3, 0x9d);
        s.highlightBorder = QColor(0xd9, 0xa5, 0x3c);
        s.applicationButton = QColor(0x2b, 0x2d, 0x30);
        break;
    case ID_LOOK_OFFICE_2007_SILVER:
        s.window = QColor(0xe8, 0xea, 0xee);
        s.chromeTop = QColor(0xfb, 0xfb, 0xfc);
        s.chromeBottom = QColor(0xdc, 0xdf, 0xe5);
        s.tabRow = QColor(0xd0, 0xd4, 0xdc);
        s.tabText = QColor(0x28, 0x2c, 0x34);
        s.panelText = QColor(0x4c, 0x53, 0x5c);
        s.highlight = QColor(0xff, 0xe3, 0x9d);
        s.highlightBorder = QColor(0xd9, 0xa5, 0x3c);
        s.applicationButton = QColor(0x6e, 0x76, 0x84);
        break;
    case ID_LOOK_OFFICE_2007_AQUA:
        s.window = QColor(0xdd, 0xec, 0xee);
        s.chromeTop = QColor(0xf3, 0xf9, 0xfa);
        s.chromeBottom = QColor(0xc8, 0xe0, 0xe4);
        s.tabRow = QColor(0xb4, 0xd6, 0xdc);
        s.tabText = QColor(0x15, 0x3a, 0x42);
        s.panelText = QColor(0x2a, 0x5a, 0x64);
        s.highlight = QColor(0xff, 0xe3, 0x9d);
        s.highlightBorder = QColor(0xd9, 0xa5, 0x3c);
        s.applicationButton = QColor(0x1f, 0x7a, 0x8c);
        break;
    case ID_LOOK_OFFICE_2007_BLUE:
        s.window = QColor(0xdb, 0xe6, 0xf4);
        s.chromeTop = QColor(0xf5, 0xf9, 0xfe);
        s.chromeBottom = QColor(0xc9, 0xdb, 0xf1);
        s.tabRow = QColor(0xbf, 0xdb, 0xff);
        s.tabText = QColor(0x15, 0x42, 0x8b);
        s.panelText = QColor(0x3e, 0x6a, 0xaa);
        s.highlight = QColor(0xff, 0xe3, 0x9d);
        s.highlightBorder = QColor(0xd9, 0xa5, 0x3c);
        s.applicationButton = QColor(0x2a, 0x5c, 0xaa);
        break;
    case ID_LOOK_VS_2005:
    default:
        s.window = QColor(0xf0, 0xf0, 0xea);
        s.chromeTop = QColor(0xfa, 0xfa, 0xf8);
        s.chromeBottom = QColor(0xdb, 0xd8, 0xd1);
        s.highlight = QColor(0xc1, 0xd2, 0xee);
        s.highlightBorder = QColor(0x31, 0x6a, 0xc5);
        s.look = ID_LOOK_VS_2005;
        break;
    }
    if (!s.tabRow.isValid()) {
        s.tabRow = s.chromeBottom;
        s.tabText = QColor(0, 0, 0);
        s.panelText = QColor(0x40, 0x40, 0x40);
        s.applicationButton = s.highlightBorder;
    }
    return s;
}

QPalette PaletteOf(const LookScheme& s)
{
    QPalette p;
    p.setColor(QPalette::Window, s.window);
    p.setColor(QPalette::Button, s.window.lighter(104));
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, s.window.lighter(108));
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::Highlight, s.highlightBorder);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xe1));
    p.setColor(QPalette::ToolTipText, Qt::black);
    // setColor above fills every colour group; disabled controls must still look disabled.
    const QColor disabledText(0x80, 0x80, 0x80);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        p.setColor(QPalette::Disabled, role, disabledText);
    return p;
}

QString StyleSheetOf(const LookScheme& s)
{
    const QString top = s.chromeTop.name(), bottom = s.chromeBottom.name();
    const QString hi = s.highlight.name(), hiBorder = s.highlightBorder.name();
    return QStringLiteral(
               "QMenuBar { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 %1, stop:1 %2); }"
               "QMenuBar::item:selected { background: %3; border: 1px solid %4; }"
               "QToolBar { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 %1, stop:1 %2);"
               " border: none; spacing: 2px; padding: 2px; }"
               "QToolBar QToolButton:hover { background: %3; border: 1px solid %4; border-radius: 2px; }"
               "QStatusBar { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 %1, stop:1 %2); }"
               "QStatusBar QLabel { padding: 0 4px; }"
               "QStatusBar::item { border: 1px solid %5; border-radius: 1px; }")
        .arg(top, bottom, hi, hiBorder, s.chromeBottom.darker(125).name());
}
