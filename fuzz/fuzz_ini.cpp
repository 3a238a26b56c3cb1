// Any bytes as an INI file: reading never crashes or hangs, and values written read back.
#include "platform/inistore.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    platform::IniStore store = platform::IniStore::fromBytes(bytes);
    const QString main = QStringLiteral("MAIN");
    store.readString(main, QStringLiteral("Dictionary"), QString());
    store.readInteger(main, QStringLiteral("Style"), 1);
    store.readBool(main, QStringLiteral("ShowHint"), true);

    store.writeInteger(main, QStringLiteral("Style"), -12345);
    store.writeString(main, QStringLiteral("Dictionary"), QStringLiteral("деки/n5.sb"));
    store.writeBool(QStringLiteral("Other"), QStringLiteral("Flag"), true);
    const platform::IniStore back = platform::IniStore::fromBytes(store.toBytes());
    if (back.readInteger(main, QStringLiteral("Style"), 0) != -12345 ||
        back.readString(main, QStringLiteral("Dictionary"), QString()) !=
            QStringLiteral("деки/n5.sb") ||
        !back.readBool(QStringLiteral("Other"), QStringLiteral("Flag"), false))
        std::abort();
    return 0;
}
