// Any bytes as a deck file: the reader never crashes or hangs, and whatever it accepts writes out
// and reads back to the same words and position.
#include "app/model/deckcodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const deckcodec::ParseResult first = deckcodec::parse(bytes);
    if (!first.ok)
        return 0;
    const std::vector<TDictRec>& words = first.dict.Words;
    const deckcodec::ParseResult again =
        deckcodec::parse(deckcodec::encode(words, qsizetype(words.size()), first.position));
    // Fields read from a file are trimmed and hold no separator or line end, so they survive.
    if (!again.ok || again.dict.Words != words || again.position != first.position)
        std::abort();
    return 0;
}
