#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

// 8-bit text in the system's code page. On Linux that is the locale's encoding (UTF-8); bytes
// that are not valid UTF-8 come from the Windows world and are read as Windows-1251.
QString decode8Bit(QByteArrayView bytes);
QByteArray encode8Bit(const QString& text);

// Windows-1251 alone, for callers that know the bytes are not UTF-8.
QString decodeWindows1251(QByteArrayView bytes);

} // namespace platform
