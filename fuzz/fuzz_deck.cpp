// Any bytes as a deck file: the reader never crashes or hangs, and whatever it accepts writes out
// and reads back to the same words and position.
//
// The round trip holds because a parsed field can hold nothing the writer would have to escape:
// no line end (lines are split first), no U+0000 (it ends the text), no "=" or fullwidth "＝"
// (separators, the latter replaced before the split into fields), no blanks at either end
// (trimmed), and an active word's kanji never starts with "#" or "＃" (that marks an inactive
// word). The counts are 32-bit integers the writer prints in decimal, and a missing position
// line (-1) is written as "*-1", which reads back as -1.
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
    if (!again.ok || again.dict.Words != words || again.position != first.position ||
        again.entryCount != first.entryCount)
        std::abort();
    return 0;
}
