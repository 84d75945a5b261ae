#pragma once
// The colour schemes behind the application looks: 210..214 for the classic style, 215..218 for
// the ribbon. A scheme gives the widget style, the palette and the few colours the ribbon and
// the toolbars paint themselves with.

#include <QColor>
#include <QPalette>
#include <QString>

struct LookScheme {
    int look = 0;
    QString widgetStyle;     // Qt style name
    QColor window;           // dialogs, status bar
    QColor chromeTop;        // ribbon / toolbar gradient
    QColor chromeBottom;
    QColor tabRow;           // ribbon tab row
    QColor tabText;          // text on the tab row
    QColor panelText;        // panel captions
    QColor highlight;        // hovered and checked buttons
    QColor highlightBorder;
    QColor applicationButton;
};

// An unknown look gives the Visual Studio 2005 scheme (214).
LookScheme LookSchemeOf(int look);
QPalette PaletteOf(const LookScheme& scheme);
// Style sheet for the main window's bars (menu bar, toolbars, status bar, tabs).
QString StyleSheetOf(const LookScheme& scheme);
