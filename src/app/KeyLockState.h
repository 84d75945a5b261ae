#pragma once
// The state of the Caps, Num and Scroll Lock keys for the classic status bar. Only the X11
// platform lets a program ask; elsewhere the state is unknown and the panes are left out.

struct KeyLockState {
    bool known = false;
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

KeyLockState QueryKeyLocks();
