#pragma once

class QFont;
class QWidget;

namespace platform {

// Tahoma 8 pt, the font of every window's text unless a control says otherwise.
QFont windowFont();

// Places a window's frame in the middle of the work area of the screen it is on (again once the
// window manager has framed it).
void centreOnScreen(QWidget& window);

// The font names stored in settings and layouts come from another desktop ("Tahoma",
// "MS Mincho"); maps them to fonts a Linux desktop has, a Japanese-capable family first for the
// card font so that kanji and kana never show as boxes. Safe to call more than once.
void registerFontSubstitutions();

} // namespace platform
