#pragma once

// Writes GIF files byte by byte for the tests of the GIF reader and the animated picture: the
// blocks are spelled out here rather than kept as opaque sample files.

#include <QByteArray>
#include <QRandomGenerator>
#include <QRgb>
#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace gifbuilder {

// Codes of given widths packed LSB first, as the image data carry them.
class BitWriter {
public:
    void put(int code, int width) {
        m_acc |= uint32_t(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_out.append(char(m_acc & 0xFF));
            m_acc >>= 8;
            m_bits -= 8;
        }
    }
    QByteArray finish() {
        if (m_bits > 0)
            m_out.append(char(m_acc & 0xFF));
        m_acc = 0;
        m_bits = 0;
        return m_out;
    }

private:
    QByteArray m_out;
    uint32_t m_acc = 0;
    int m_bits = 0;
};

// A plain LZW encoder: clear, codes, end. The table grows to 4096 entries and is then kept
// (no clear), so the reader's full-table path is exercised too.
inline QByteArray lzw(const std::vector<uint8_t>& pixels, int codeSize) {
    const int clear = 1 << codeSize;
    BitWriter w;
    int width = codeSize + 1;
    int next = clear + 2;
    std::map<std::pair<int, int>, int> table;
    w.put(clear, width);
    int prefix = -1;
    for (uint8_t p : pixels) {
        if (prefix < 0) {
            prefix = p;
            continue;
        }
        const auto it = table.find({prefix, p});
        if (it != table.end()) {
            prefix = it->second;
            continue;
        }
        w.put(prefix, width);
        if (next < 4096) {
            table[{prefix, p}] = next++;
            // The decoder widens one code later than the encoder adds the entry.
            if (next - 1 == (1 << width) && width < 12)
                ++width;
        }
        prefix = p;
    }
    if (prefix >= 0)
        w.put(prefix, width);
    w.put(clear + 1, width);
    return w.finish();
}

inline QByteArray u16(int v) {
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char((v >> 8) & 0xFF));
}

inline QByteArray table(const std::vector<QRgb>& colors) {
    QByteArray out;
    for (QRgb c : colors) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    return out;
}

// The data sub-blocks of a payload (at most 255 bytes each) and the terminator.
inline QByteArray subBlocks(const QByteArray& payload) {
    QByteArray out;
    for (qsizetype i = 0; i < payload.size(); i += 255) {
        const QByteArray part = payload.mid(i, 255);
        out.append(char(part.size()));
        out.append(part);
    }
    out.append('\0');
    return out;
}

// 2^n entries, n = 1..8: the packed-field size code of a table of that many entries.
inline int sizeCode(size_t entries) {
    int n = 0;
    while ((size_t(2) << n) < entries)
        ++n;
    return n;
}

inline const std::vector<QRgb> kFour = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0),
                                        qRgb(0, 0, 255)};

// A GIF assembled block by block.
struct Gif {
    QByteArray bytes;

    explicit Gif(int width = 4, int height = 4, const std::vector<QRgb>& global = kFour,
                 int background = 0, const char* version = "GIF89a") {
        bytes = version;
        bytes += u16(width) + u16(height);
        bytes += char(global.empty() ? 0 : 0x80 | sizeCode(global.size()));
        bytes += char(background);
        bytes += '\0';
        bytes += table(global);
    }
    Gif& control(int delay, int disposal = 0, int transparent = -1) {
        bytes += "\x21\xF9\x04";
        bytes += char(disposal << 2 | (transparent >= 0 ? 1 : 0));
        bytes += u16(delay);
        bytes += char(transparent >= 0 ? transparent : 0);
        bytes += '\0';
        return *this;
    }
    Gif& extension(int label, const QByteArray& payload = "abc") {
        bytes += '\x21';
        bytes += char(label);
        bytes += subBlocks(payload);
        return *this;
    }
    // An image descriptor, optional local table, and the given code size and payload.
    Gif& rawImage(int left, int top, int w, int h, int codeSize, const QByteArray& payload,
                  const std::vector<QRgb>& local = {}, bool interlaced = false) {
        bytes += '\x2C';
        bytes += u16(left) + u16(top) + u16(w) + u16(h);
        bytes +=
            char((local.empty() ? 0 : 0x80 | sizeCode(local.size())) | (interlaced ? 0x40 : 0));
        bytes += table(local);
        bytes += char(codeSize);
        bytes += subBlocks(payload);
        return *this;
    }
    // An image of the given indices, encoded (rows in interlaced order when asked).
    Gif& image(int left, int top, int w, int h, const std::vector<uint8_t>& pixels,
               const std::vector<QRgb>& local = {}, bool interlaced = false, int codeSize = 2) {
        std::vector<uint8_t> rows = pixels;
        if (interlaced) {
            rows.clear();
            for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
                for (int y = start; y < h; y += step)
                    rows.insert(rows.end(), pixels.begin() + y * w, pixels.begin() + (y + 1) * w);
        }
        // The code size must cover the largest index.
        const int largest = rows.empty() ? 0 : *std::max_element(rows.begin(), rows.end());
        while (largest >= 1 << codeSize)
            ++codeSize;
        return rawImage(left, top, w, h, codeSize, lzw(rows, codeSize), local, interlaced);
    }
    Gif& trailer() {
        bytes += ';';
        return *this;
    }
};

inline std::vector<uint8_t> pattern(int n, int colors, quint32 seed = 1) {
    QRandomGenerator rng(seed);
    std::vector<uint8_t> out(static_cast<size_t>(n));
    for (uint8_t& p : out)
        p = uint8_t(rng.bounded(colors));
    return out;
}

} // namespace gifbuilder
