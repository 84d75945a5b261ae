#pragma once
// The pictures of the commands on the ribbon, the toolbar and in the menus, drawn as vector
// shapes so they stay sharp at every size and need no image files.

#include <QIcon>

QIcon CommandIcon(int commandId);
// The program's own icon (window, desktop entry).
QIcon ApplicationIcon();
// Makes the pictures compiled into the program (icon, splash) available; safe to call often.
void EnsureShellResources();
