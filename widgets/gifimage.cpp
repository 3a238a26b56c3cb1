#include "widgets/gifimage.h"

#include "platform/errors.h"

#include <QFile>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cstring>

namespace {

const char* const kStreamReadError = "Stream read error";
const char* const kTooLarge = "GIF picture too large";

[[noreturn]] void fail(const QString& text) {
    throw platform::Error(text);
}

[[noreturn]] void fail(const char* text) {
    throw platform::Error(QString::fromLatin1(text));
}

// A cursor over the file's bytes. byte() and u16() read 0 past the end, for the blocks that are
// read as far as the data go.
class Reader {
public:
    explicit Reader(const QByteArray& data)
        : m_p(reinterpret_cast<const uint8_t*>(data.constData())), m_size(size_t(data.size())) {}

    bool atEnd() const { return m_pos >= m_size; }
    size_t left() const { return m_size - m_pos; }
    uint8_t peek() const { return m_p[m_pos]; }
    uint8_t byte() { return m_pos < m_size ? m_p[m_pos++] : 0; }
    int u16() {
        const int lo = byte();
        return lo | byte() << 8;
    }
    const uint8_t* take(size_t n) {
        const uint8_t* p = m_p + m_pos;
        m_pos += n;
        return p;
    }
    // Reads one data sub-block into out (appending). Returns its length, 0 at the terminator or
    // at the end of the data; sets cut when the block is longer than the data left.
    size_t subBlock(QByteArray* out, bool* cut) {
        const size_t len = byte();
        const size_t n = std::min(len, left());
        if (out)
            out->append(reinterpret_cast<const char*>(take(n)), qsizetype(n));
        else
            take(n);
        if (n < len && cut)
            *cut = true;
        return len;
    }

private:
    const uint8_t* m_p;
    size_t m_size;
    size_t m_pos = 0;
};

QList<QRgb> readTable(Reader& r, int entries) {
    QList<QRgb> table(entries);
    for (QRgb& c : table) {
        const int red = r.byte();
        const int green = r.byte();
        c = qRgb(red, green, r.byte());
    }
    return table;
}

// A graphic control extension as collected before an image.
struct ControlExt {
    int packed = 0;
    int delay = 0;
    int transparentIndex = 0;
};

// The blue component of table[index] moved by steps of 1 (down first, turning at 0 and 255) until
// no other entry has the same colour. A free value always exists: at most 255 other entries.
QRgb uniqueColor(const QList<QRgb>& table, int index) {
    QRgb c = table[index] & 0xFFFFFF;
    int step = -1;
    for (;;) {
        bool clash = false;
        for (int i = 0; i < table.size() && !clash; ++i)
            clash = i != index && (table[i] & 0xFFFFFF) == c;
        if (!clash)
            return qRgb(qRed(c), qGreen(c), qBlue(c));
        int blue = qBlue(c);
        if (blue == 0)
            step = 1;
        else if (blue == 255)
            step = -1;
        blue += step;
        c = (c & 0xFFFF00) | uint(blue);
    }
}

// The LZW decoder of the GIF format: codes of growing width (up to 12 bits) packed LSB first,
// a table of at most 4096 strings kept as (prefix, last byte, first byte, length), so a string is
// written back to front by following its prefixes and no stack is needed. Decoding stops at the
// end code, when the output is full, when the data run out or at a code the table cannot hold;
// the output keeps what it had (colour index 0 where nothing was decoded). Returns false when the
// data were damaged or ended before the output was full.
bool decodeLzw(const uint8_t* in, size_t inSize, int codeSize, uint8_t* out, size_t outSize) {
    constexpr int kMaxCodes = 4096;
    std::array<uint16_t, kMaxCodes> prefix;
    std::array<uint8_t, kMaxCodes> suffix;
    std::array<uint8_t, kMaxCodes> first;
    std::array<uint16_t, kMaxCodes> length;

    const int clear = 1 << codeSize;
    const int end = clear + 1;
    // Root codes beyond 255 (possible with a 9-bit code size) have no byte value: using one is
    // damage.
    const int roots = std::min(clear, 256);
    for (int i = 0; i < roots; ++i) {
        prefix[size_t(i)] = 0;
        suffix[size_t(i)] = uint8_t(i);
        first[size_t(i)] = uint8_t(i);
        length[size_t(i)] = 1;
    }

    int width = codeSize + 1;
    int next = clear + 2;
    int prev = -1;
    uint32_t acc = 0;
    int bits = 0;
    size_t pos = 0;
    size_t o = 0;

    while (o < outSize) {
        while (bits < width) {
            if (pos >= inSize)
                return false;
            acc |= uint32_t(in[pos++]) << bits;
            bits += 8;
        }
        const int code = int(acc & ((1u << width) - 1));
        acc >>= width;
        bits -= width;

        if (code == clear) {
            width = codeSize + 1;
            next = clear + 2;
            prev = -1;
            continue;
        }
        if (code == end)
            return false; // the output is not full yet
        if (prev < 0) {
            if (code >= roots)
                return false;
            out[o++] = uint8_t(code);
            prev = code;
            continue;
        }
        if (code > next || (code < clear && code >= roots) || (code == next && next >= kMaxCodes))
            return false;
        if (next < kMaxCodes) {
            // The new entry: the previous string plus the first byte of this one (of the
            // previous one when this code is the entry being made).
            const size_t n = size_t(next);
            prefix[n] = uint16_t(prev);
            first[n] = first[size_t(prev)];
            suffix[n] = code == next ? first[size_t(prev)] : first[size_t(code)];
            length[n] = uint16_t(length[size_t(prev)] + 1);
            ++next;
            if (next == 1 << width && width < 12)
                ++width;
        }
        // Write the string of code back to front, clipped at the end of the output.
        const size_t len = length[size_t(code)];
        size_t c = size_t(code);
        if (o + len <= outSize) {
            uint8_t* p = out + o + len;
            for (size_t i = len; i > 0; --i) {
                *--p = suffix[c];
                c = prefix[c];
            }
            o += len;
        } else {
            for (size_t i = len; i-- > 0;) {
                if (o + i < outSize)
                    out[o + i] = suffix[c];
                c = prefix[c];
            }
            o = outSize;
        }
        prev = code;
    }
    return true;
}

} // namespace

QList<QRgb> TGIFFrame::colorTable() const {
    QList<QRgb> table = m_table;
    if (m_transparentIndex >= 0)
        table[m_transparentIndex] = m_transparentRgb;
    return table;
}

std::optional<QRgb> TGIFFrame::transparentColor() const {
    if (m_transparentIndex < 0)
        return std::nullopt;
    return m_transparentRgb;
}

const std::vector<uint8_t>& TGIFFrame::bitmap() {
    if (!m_decoded)
        decode();
    return m_bitmap;
}

void TGIFFrame::decode() {
    const size_t w = size_t(m_width);
    const size_t h = size_t(m_height);
    m_bitmap.assign(w * h, 0);
    m_decoded = true;
    bool ok = !m_truncated;
    int codeSize = m_codeSize;
    if (codeSize < 2 || codeSize > 9) {
        codeSize = std::clamp(codeSize, 2, 9);
        ok = false;
    }
    if (m_bitmap.empty()) {
        m_damaged = !ok;
        return;
    }
    const auto* in = reinterpret_cast<const uint8_t*>(m_data.constData());
    if (!m_interlaced) {
        ok = decodeLzw(in, size_t(m_data.size()), codeSize, m_bitmap.data(), m_bitmap.size()) && ok;
    } else {
        // Rows arrive in four passes: every 8th from 0, every 8th from 4, every 4th from 2, every
        // 2nd from 1.
        std::vector<uint8_t> rows(w * h, 0);
        ok = decodeLzw(in, size_t(m_data.size()), codeSize, rows.data(), rows.size()) && ok;
        static constexpr int kStart[] = {0, 4, 2, 1};
        static constexpr int kStep[] = {8, 8, 4, 2};
        size_t src = 0;
        for (int pass = 0; pass < 4; ++pass) {
            for (size_t y = size_t(kStart[pass]); y < h; y += size_t(kStep[pass])) {
                std::memcpy(m_bitmap.data() + y * w, rows.data() + src * w, w);
                ++src;
            }
        }
    }
    m_damaged = !ok;
}

QImage TGIFFrame::image() {
    const std::vector<uint8_t>& indices = bitmap();
    QImage img(m_width, m_height, QImage::Format_ARGB32);
    if (img.isNull())
        return img;
    std::array<QRgb, 256> lut;
    lut.fill(qRgba(0, 0, 0, 255));
    const int n = std::min<int>(int(m_table.size()), 256);
    for (int i = 0; i < n; ++i)
        lut[size_t(i)] = m_table[i] | 0xFF000000u;
    if (m_transparentIndex >= 0)
        lut[size_t(m_transparentIndex)] = m_transparentRgb & 0x00FFFFFFu;
    const size_t w = size_t(m_width);
    for (int y = 0; y < m_height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const uint8_t* src = indices.data() + size_t(y) * w;
        for (size_t x = 0; x < w; ++x)
            line[x] = lut[src[x]];
    }
    return img;
}

void TGIFFrame::draw(QPainter& painter) {
    const QImage img = image();
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(m_transparentIndex >= 0 ? QPainter::CompositionMode_SourceOver
                                                       : QPainter::CompositionMode_Source);
    painter.drawImage(m_left, m_top, img);
    painter.setCompositionMode(mode);
}

TGIFImage::TGIFImage(QObject* parent) : QObject(parent) {}

TGIFImage::~TGIFImage() = default;

void TGIFImage::LoadGifFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(file.errorString());
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(kStreamReadError);
    LoadFromData(data);
}

void TGIFImage::LoadGifResource(const QString& name) {
    QFile file(QStringLiteral(":/") + name);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Resource %1 not found").arg(name));
    LoadFromData(file.readAll());
}

void TGIFImage::LoadFromData(const QByteArray& data) {
    clear();
    parse(data);
    if (!m_frames.empty()) {
        m_frameIndex = 0;
        try {
            m_frames.front()->decode();
        } catch (...) {
            m_frames.erase(m_frames.begin());
            m_frameIndex = m_frames.empty() ? -1 : 0;
            throw;
        }
    }
    emit Changed();
}

void TGIFImage::clear() {
    m_width = m_height = m_bitsPerPixel = 0;
    m_globalTable.clear();
    m_background.reset();
    m_frames.clear();
    m_frameIndex = -1;
}

void TGIFImage::parse(const QByteArray& data) {
    if (data.isEmpty())
        return;
    if (data.size() < 6 || !data.startsWith("GIF") ||
        (data.mid(3, 3) != "87a" && data.mid(3, 3) != "89a"))
        fail("Unknown GIF version");
    Reader r(data);
    r.take(6);

    // The logical screen descriptor and the global table are read as far as the data go.
    m_width = r.u16();
    m_height = r.u16();
    const int packed = r.byte();
    const int backgroundIndex = r.byte();
    r.byte(); // pixel aspect ratio
    m_bitsPerPixel = (packed & 7) + 1;
    if (qint64(m_width) * m_height > kMaxPixels)
        fail(kTooLarge);
    if (packed & 0x80) {
        m_globalTable = readTable(r, 1 << m_bitsPerPixel);
        if (backgroundIndex < m_globalTable.size())
            m_background = m_globalTable[backgroundIndex];
    }

    std::vector<ControlExt> controls;
    bool afterExtension = false;
    qint64 totalPixels = 0;
    for (;;) {
        while (!r.atEnd() && r.peek() == 0)
            r.byte();
        if (r.atEnd())
            break;
        const uint8_t introducer = r.byte();
        if (introducer == 0x21) {
            if (r.atEnd())
                break;
            const int label = r.byte();
            if (label == 0xF9) {
                QByteArray body;
                // Its fields are the first sub-block; an empty one is the terminator itself.
                if (r.subBlock(&body, nullptr) != 0) {
                    while (r.subBlock(nullptr, nullptr) != 0) {
                    }
                }
                body.append(4, '\0');
                const auto* b = reinterpret_cast<const uint8_t*>(body.constData());
                controls.push_back({b[0], b[1] | b[2] << 8, b[3]});
            } else if (label == 0xFE || label == 0x01 || label == 0xFF) {
                while (r.subBlock(nullptr, nullptr) != 0) {
                }
                // A plain text block takes the controls collected before it with it.
                if (label == 0x01)
                    controls.clear();
            } else {
                fail(QStringLiteral("Unrecognized extension block: %1")
                         .arg(label, 2, 16, QLatin1Char('0')));
            }
            afterExtension = true;
            continue;
        }
        if (introducer == 0x3B)
            break;
        if (introducer != 0x2C) {
            if (afterExtension)
                fail(kStreamReadError);
            break;
        }
        afterExtension = false;

        // The image descriptor, the local table and the code size byte must be whole.
        if (r.left() < 9)
            fail(kStreamReadError);
        auto frame = std::make_unique<TGIFFrame>();
        frame->m_left = r.u16();
        frame->m_top = r.u16();
        frame->m_width = r.u16();
        frame->m_height = r.u16();
        const int flags = r.byte();
        if (frame->m_width == 0)
            frame->m_width = m_width;
        if (frame->m_height == 0)
            frame->m_height = m_height;
        frame->m_interlaced = flags & 0x40;
        if (flags & 0x80) {
            const int entries = 1 << ((flags & 7) + 1);
            if (r.left() < size_t(entries) * 3)
                fail(kStreamReadError);
            frame->m_table = readTable(r, entries);
        } else {
            frame->m_table = m_globalTable;
        }
        if (r.atEnd())
            fail(kStreamReadError);
        frame->m_codeSize = r.byte();
        while (r.subBlock(&frame->m_data, &frame->m_truncated) != 0) {
        }
        const qint64 pixels = qint64(frame->m_width) * frame->m_height;
        totalPixels += pixels;
        if (pixels > kMaxPixels || totalPixels > kMaxTotalPixels)
            fail(kTooLarge);

        // The collected controls in order: the largest delay, the last disposal, and the last
        // transparency setting whose index fits the table (a cleared flag removes it).
        int interval = 0;
        for (const ControlExt& c : controls) {
            interval = std::max(interval, c.delay * 10);
            frame->m_disposal = (c.packed >> 2) & 7;
            if (!(c.packed & 1))
                frame->m_transparentIndex = -1;
            else if (c.transparentIndex < frame->m_table.size())
                frame->m_transparentIndex = c.transparentIndex;
        }
        // Delays beyond 655.35 s saturate rather than wrap to a short interval.
        frame->m_interval = quint16(std::min(interval, 0xFFFF));
        if (frame->m_transparentIndex >= 0)
            frame->m_transparentRgb = uniqueColor(frame->m_table, frame->m_transparentIndex);
        controls.clear();
        m_frames.push_back(std::move(frame));
    }
}

bool TGIFImage::Empty() const {
    if (m_frames.empty() || m_frameIndex < 0)
        return true;
    const TGIFFrame& f = *m_frames[size_t(m_frameIndex)];
    return f.m_data.isEmpty() && !f.m_decoded;
}

bool TGIFImage::IsTransparent() const {
    if (!m_transparentFlag)
        return false;
    return std::any_of(m_frames.begin(), m_frames.end(),
                       [](const auto& f) { return f->m_transparentIndex >= 0; });
}
