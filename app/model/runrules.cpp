#include "app/model/runrules.h"

namespace {

QString twoDigits(qint32 v) {
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

} // namespace

QString FormatCountdown(qint32 seconds) {
    const qint32 h = seconds / 3600;
    const qint32 m = (seconds % 3600) / 60;
    const qint32 s = seconds % 60;
    QString text;
    if (h > 0)
        text = twoDigits(h) + u':';
    return text + twoDigits(m) + u':' + twoDigits(s);
}
