#pragma once

#include "app/model/trainermodel.h"

#include <QFont>

// A word kind's stored font as a toolkit font: a positive size is in points, a negative one a
// height in pixels.
QFont toQFont(const KindFont& f);

// The em height of a kind's font in pixels: 47 for 35 points at 96 dots per inch.
int emHeight(const KindFont& f, int dpi);
