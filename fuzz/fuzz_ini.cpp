// Any bytes as an INI file: reading never crashes or hangs, and values written read back, both
// from the store itself and after it is turned into bytes and parsed again.
#include "platform/inistore.h"

#include <climits>
#include <cstdlib>

namespace {

const QString kMain = QStringLiteral("MAIN");
const QString kOther = QStringLiteral("Other");
// A path with a separator inside the value: only the first "=" of a line ends the key.
const QString kDictionary = QStringLiteral("C:\\деки\\n5=old.sb");

void checkWritten(const platform::IniStore& store) {
    if (store.readInteger(kMain, QStringLiteral("Style"), 0) != INT_MIN ||
        store.readString(kMain, QStringLiteral("Dictionary"), QString()) != kDictionary ||
        store.readBool(kMain, QStringLiteral("ShowHint"), true) ||
        !store.readBool(kOther, QStringLiteral("Flag"), false))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    platform::IniStore store = platform::IniStore::fromBytes(bytes);
    store.readString(kMain, QStringLiteral("Dictionary"), QString());
    store.readInteger(kMain, QStringLiteral("Style"), 1);
    store.readBool(kMain, QStringLiteral("ShowHint"), true);

    // Existing keys are rewritten in place, missing ones and missing sections are added.
    store.writeInteger(kMain, QStringLiteral("Style"), INT_MIN);
    store.writeString(kMain, QStringLiteral("Dictionary"), kDictionary);
    store.writeBool(kMain, QStringLiteral("ShowHint"), false);
    store.writeBool(kOther, QStringLiteral("Flag"), true);
    checkWritten(store);
    checkWritten(platform::IniStore::fromBytes(store.toBytes()));
    return 0;
}
