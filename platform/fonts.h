#pragma once

namespace platform {

// The font names stored in settings and layouts come from another desktop ("Tahoma",
// "MS Mincho"); maps them to fonts a Linux desktop has, a Japanese-capable family first for the
// card font so that kanji and kana never show as boxes. Safe to call more than once.
void registerFontSubstitutions();

} // namespace platform
