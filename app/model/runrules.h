#pragma once

#include <QString>

// The countdown text: [hh:]mm:ss, each part with two digits, hours only when there are any.
QString FormatCountdown(qint32 seconds);
