#include "widgets/gifimage.h"

#include "platform/errors.h"
#include "tests/support/gifbuilder.h"
#include "tests/support/gifcorpus.h"
#include "tests/support/printers.h"
#include "tests/support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

#ifdef SORABI_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace {

using namespace gifbuilder;

QString loadError(TGIFImage& gif, const QByteArray& bytes) {
    try {
        gif.LoadFromData(bytes);
    } catch (const platform::Error& e) {
        return e.text();
    }
    return {};
}

// ---- The file structure -------------------------------------------------------------------------

TEST(GifImage, EmptyDataGiveAnEmptyPictureWithoutError) {
    TGIFImage gif;
    gif.LoadFromData(Gif().image(0, 0, 4, 4, pattern(16, 4)).trailer().bytes);
    ASSERT_EQ(gif.FrameCount(), 1);
    QSignalSpy changed(&gif, &TGIFImage::Changed);
    gif.LoadFromData({});
    EXPECT_EQ(gif.FrameCount(), 0);
    EXPECT_EQ(gif.FrameIndex(), -1);
    EXPECT_TRUE(gif.Empty());
    EXPECT_EQ(gif.Width(), 0);
    EXPECT_EQ(gif.Height(), 0);
    EXPECT_EQ(changed.count(), 1);
}

TEST(GifImage, SignatureAndVersion) {
    const struct {
        const char* head;
        bool ok;
    } cases[] = {{"GIF87a", true},  {"GIF89a", true}, {"GIF88a", false},
                 {"gif89a", false}, {"GIF8", false},  {"PNG89a", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.head);
        TGIFImage gif;
        QByteArray bytes = Gif().image(0, 0, 4, 4, pattern(16, 4)).trailer().bytes;
        bytes = QByteArray(c.head) + bytes.mid(6);
        if (qstrlen(c.head) < 6)
            bytes = c.head;
        EXPECT_EQ(loadError(gif, bytes), c.ok ? QString() : QStringLiteral("Unknown GIF version"));
        EXPECT_EQ(gif.FrameCount(), c.ok ? 1 : 0);
    }
}

TEST(GifImage, LogicalScreenGlobalTableAndBackground) {
    const std::vector<QRgb> eight = {qRgb(1, 2, 3),    qRgb(4, 5, 6),      qRgb(7, 8, 9),
                                     qRgb(10, 11, 12), qRgb(0, 0, 0),      qRgb(0, 0, 0),
                                     qRgb(0, 0, 0),    qRgb(250, 251, 252)};
    TGIFImage gif;
    gif.LoadFromData(Gif(300, 20, eight, 7).image(0, 0, 2, 2, {0, 1, 2, 3}).trailer().bytes);
    EXPECT_EQ(gif.Width(), 300);
    EXPECT_EQ(gif.Height(), 20);
    EXPECT_EQ(gif.BitsPerPixel(), 3);
    EXPECT_EQ(gif.GlobalColorTable(), QList<QRgb>(eight.begin(), eight.end()));
    EXPECT_EQ(gif.BackgroundColor(), qRgb(250, 251, 252));
    EXPECT_EQ(gif.Frame(0).colorTable(), gif.GlobalColorTable());

    // A background index beyond the table, or no global table: no background colour.
    gif.LoadFromData(Gif(4, 4, kFour, 4).image(0, 0, 4, 4, pattern(16, 4)).trailer().bytes);
    EXPECT_EQ(gif.BackgroundColor(), std::nullopt);
    gif.LoadFromData(Gif(4, 4, {}, 0).image(0, 0, 1, 1, {0}, kFour).trailer().bytes);
    EXPECT_EQ(gif.BackgroundColor(), std::nullopt);
    EXPECT_TRUE(gif.GlobalColorTable().isEmpty());
}

TEST(GifImage, ExtensionLabels) {
    TGIFImage gif;
    QSignalSpy changed(&gif, &TGIFImage::Changed);
    Gif g;
    g.image(0, 0, 4, 4, pattern(16, 4)).extension(0x02).image(0, 0, 4, 4, pattern(16, 4));
    EXPECT_EQ(loadError(gif, g.bytes), QStringLiteral("Unrecognized extension block: 02"));
    // The frame read before the failure stays; no change notification for a failed load.
    EXPECT_EQ(gif.FrameCount(), 1);
    changed.clear();
    EXPECT_EQ(loadError(gif, Gif().extension(0xAB).bytes),
              QStringLiteral("Unrecognized extension block: ab"));
    EXPECT_EQ(changed.count(), 0);

    // Comment, application and plain text extensions are known and skipped.
    Gif known;
    known.extension(0xFE).extension(0xFF, "NETSCAPE2.0").extension(0x01, QByteArray(13, 'x'));
    known.image(0, 0, 4, 4, pattern(16, 4)).trailer();
    EXPECT_EQ(loadError(gif, known.bytes), QString());
    EXPECT_EQ(gif.FrameCount(), 1);

    // A graphic control without fields: its terminator ends it, the image after it is read.
    Gif bare;
    bare.bytes += QByteArray("\x21\xF9\x00", 3);
    bare.image(0, 0, 4, 4, pattern(16, 4)).trailer();
    EXPECT_EQ(loadError(gif, bare.bytes), QString());
    ASSERT_EQ(gif.FrameCount(), 1);
    EXPECT_EQ(gif.Frame(0).interval(), 0);
    EXPECT_EQ(gif.Frame(0).transparentColor(), std::nullopt);
}

// What the graphic control extensions before an image give it.
struct ControlCase {
    const char* name;
    std::vector<std::pair<char, std::vector<int>>>
        blocks; // 'g' {delay, disposal, index}, or a label
    int interval;
    int disposal;
    int transparent;
};

TEST(GifImage, GraphicControlExtensionsCollectedBeforeAnImage) {
    const ControlCase cases[] = {
        {"none", {}, 0, 0, -1},
        {"one", {{'g', {150, 2, 1}}}, 1500, 2, 1},
        {"larger delay, last disposal and transparency",
         {{'g', {30, 1, 1}}, {'g', {7, 3, 2}}},
         300,
         3,
         2},
        {"last flag clear removes transparency", {{'g', {1, 1, 1}}, {'g', {2, 2, -1}}}, 20, 2, -1},
        {"last index beyond the table keeps the earlier one",
         {{'g', {1, 1, 1}}, {'g', {2, 2, 9}}},
         20,
         2,
         1},
        {"index beyond the table", {{'g', {0, 0, 4}}}, 0, 0, -1},
        {"plain text drops what came before", {{'g', {40, 2, 1}}, {'p', {}}}, 0, 0, -1},
        {"plain text then another control",
         {{'g', {40, 2, 1}}, {'p', {}}, {'g', {5, 1, 3}}},
         50,
         1,
         3},
        {"comment and application between", {{'g', {40, 2, 1}}, {'c', {}}, {'a', {}}}, 400, 2, 1},
        {"delay beyond 16 bits saturates", {{'g', {7000, 0, -1}}}, 65535, 0, -1},
        {"largest 16-bit delay", {{'g', {65535, 0, -1}}, {'g', {1, 0, -1}}}, 65535, 0, -1},
        {"disposal uses three bits", {{'g', {0, 7, -1}}}, 0, 7, -1},
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.name);
        Gif g;
        for (const auto& [kind, v] : c.blocks) {
            if (kind == 'g')
                g.control(v[0], v[1], v[2]);
            else
                g.extension(kind == 'p' ? 0x01 : kind == 'c' ? 0xFE : 0xFF);
        }
        g.image(0, 0, 4, 4, pattern(16, 4)).control(99, 1, 0).image(0, 0, 1, 1, {0}).trailer();
        TGIFImage gif;
        gif.LoadFromData(g.bytes);
        ASSERT_EQ(gif.FrameCount(), 2);
        const TGIFFrame& f = gif.Frame(0);
        EXPECT_EQ(f.interval(), c.interval);
        EXPECT_EQ(f.disposal(), c.disposal);
        EXPECT_EQ(f.transparentIndex(), c.transparent);
        if (c.transparent >= 0)
            EXPECT_EQ(f.transparentColor(), kFour[size_t(c.transparent)]);
        else
            EXPECT_EQ(f.transparentColor(), std::nullopt);
        EXPECT_EQ(gif.IsTransparent(), true); // the second frame has one
        // Extensions are handed to the next image only.
        EXPECT_EQ(gif.Frame(1).interval(), 990);
        EXPECT_EQ(gif.Frame(1).disposal(), 1);
    }
}

TEST(GifImage, TransparentFlagAndWhetherThePictureCountsAsTransparent) {
    TGIFImage gif;
    EXPECT_TRUE(gif.TransparentFlag());
    gif.LoadFromData(Gif().image(0, 0, 4, 4, pattern(16, 4)).trailer().bytes);
    EXPECT_FALSE(gif.IsTransparent());
    gif.LoadFromData(Gif().control(0, 0, 2).image(0, 0, 4, 4, pattern(16, 4)).trailer().bytes);
    EXPECT_TRUE(gif.IsTransparent());
    gif.setTransparentFlag(false);
    EXPECT_FALSE(gif.IsTransparent());
}

TEST(GifImage, TransparentColourIsMadeUniqueByBlueSteps) {
    const struct {
        const char* name;
        std::vector<QRgb> table;
        int index;
        QRgb expected;
    } cases[] = {
        {"already unique", {qRgb(9, 9, 9), qRgb(1, 2, 3)}, 1, qRgb(1, 2, 3)},
        {"down past clashes",
         {qRgb(10, 20, 5), qRgb(10, 20, 5), qRgb(10, 20, 4), qRgb(0, 0, 0)},
         0,
         qRgb(10, 20, 3)},
        {"up from 0",
         {qRgb(1, 1, 1), qRgb(7, 7, 0), qRgb(7, 7, 0), qRgb(7, 7, 1)},
         2,
         qRgb(7, 7, 2)},
        {"turns at 0 and climbs past its start",
         {qRgb(5, 5, 2), qRgb(5, 5, 2), qRgb(5, 5, 1), qRgb(5, 5, 0), qRgb(5, 5, 3), qRgb(9, 9, 9),
          qRgb(9, 9, 8), qRgb(9, 9, 7)},
         0,
         qRgb(5, 5, 4)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Pixels: every entry once, so the key must hide exactly the transparent ones.
        std::vector<uint8_t> pixels;
        for (size_t i = 0; i < c.table.size(); ++i)
            pixels.push_back(uint8_t(i));
        TGIFImage gif;
        gif.LoadFromData(Gif(8, 1, c.table)
                             .control(0, 0, c.index)
                             .image(0, 0, int(pixels.size()), 1, pixels)
                             .trailer()
                             .bytes);
        TGIFFrame& f = gif.Frame(0);
        EXPECT_EQ(f.transparentColor(), c.expected);
        EXPECT_EQ(f.colorTable()[c.index], c.expected);
        const QImage img = f.image();
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = img.pixel(x, 0);
            if (x == c.index) {
                EXPECT_EQ(qAlpha(px), 0);
                EXPECT_EQ(px & 0xFFFFFF, c.expected & 0xFFFFFF);
            } else {
                EXPECT_EQ(px, c.table[size_t(x)] | 0xFF000000u) << x;
            }
        }
    }
}

TEST(GifImage, ATableFullOfOneColourStillGetsAUniqueTransparentColour) {
    // 256 equal entries: 255 others to step past is impossible, but only one colour clashes.
    const std::vector<QRgb> grey(256, qRgb(128, 128, 128));
    TGIFImage gif;
    gif.LoadFromData(Gif(1, 1, grey).control(0, 0, 255).image(0, 0, 1, 1, {255}).trailer().bytes);
    EXPECT_EQ(gif.Frame(0).transparentColor(), qRgb(128, 128, 127));
}

TEST(GifImage, WhatFollowsABlock) {
    const QByteArray frame = Gif().image(0, 0, 4, 4, pattern(16, 4)).bytes.mid(6 + 7 + 12);
    const struct {
        const char* name;
        QByteArray tail;
        QString error;
        int frames;
    } cases[] = {
        {"no trailer", frame, {}, 1},
        {"zero bytes before blocks",
         QByteArray(5, '\0') + frame + QByteArray(3, '\0') + frame,
         {},
         2},
        {"unknown byte after an image ends the reading", frame + "x" + frame, {}, 1},
        {"unknown byte first ends the reading", "x" + frame, {}, 0},
        {"unknown byte after an extension", Gif().control(1).bytes.mid(25) + "x" + frame,
         QStringLiteral("Stream read error"), 0},
        {"trailer after an extension", Gif().control(1).bytes.mid(25) + ";", {}, 0},
        {"data end after an extension", Gif().extension(0xFE).bytes.mid(25), {}, 0},
        {"nothing after the trailer is read", frame + ";" + "garbage", {}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TGIFImage gif;
        EXPECT_EQ(loadError(gif, Gif().bytes + c.tail), c.error);
        EXPECT_EQ(gif.FrameCount(), c.frames);
    }
}

// Every prefix of a two-frame picture: the header cut short is not a GIF, a screen descriptor,
// global table or extension cut short reads as zeros, an image descriptor, local table or code
// size cut short is a read error, and compressed data cut short load as a damaged frame.
TEST(GifImage, DataCutOffInEachBlock) {
    Gif g;
    g.control(10, 2, 1).extension(0xFE, "comment");
    const qsizetype extensionsEnd = g.bytes.size();
    g.image(1, 1, 3, 3, pattern(9, 4));
    const qsizetype firstEnd = g.bytes.size();
    const qsizetype descriptor2 = firstEnd;
    g.rawImage(0, 0, 4, 4, 2, lzw(pattern(16, 2), 2), {qRgb(1, 1, 1), qRgb(2, 2, 2)});
    const qsizetype data2 = descriptor2 + 10 + 6 + 1; // descriptor, local table, code size
    const QByteArray whole = g.trailer().bytes;

    for (qsizetype n = 1; n < whole.size(); ++n) {
        SCOPED_TRACE(n);
        TGIFImage gif;
        const QString error = loadError(gif, whole.left(n));
        if (n < 6) {
            EXPECT_EQ(error, QStringLiteral("Unknown GIF version"));
        } else if (n <= extensionsEnd) {
            EXPECT_EQ(error, QString());
            EXPECT_EQ(gif.FrameCount(), 0);
            EXPECT_TRUE(gif.Empty());
        } else if (n < extensionsEnd + 11 || (n > descriptor2 && n < data2)) {
            // Inside an image descriptor, its local table or its code size byte.
            EXPECT_EQ(error, QStringLiteral("Stream read error"));
            EXPECT_EQ(gif.FrameCount(), n < firstEnd ? 0 : 1);
        } else {
            EXPECT_EQ(error, QString());
            const int frames = n < firstEnd ? 1 : n == firstEnd ? 1 : 2;
            ASSERT_EQ(gif.FrameCount(), frames);
            TGIFFrame& last = gif.Frame(frames - 1);
            last.bitmap();
            // Cut before the end code: the frame is damaged (the whole image lies in its data).
            const bool complete = n >= (frames == 1 ? firstEnd - 1 : whole.size() - 2);
            EXPECT_EQ(last.damaged(), !complete);
        }
    }
}

// ---- Decoding -----------------------------------------------------------------------------------

TEST(GifImage, DecodesWhatWasEncoded) {
    const struct {
        int w, h, colors, codeSize;
    } cases[] = {{1, 1, 2, 2},     {4, 4, 4, 2},     {17, 5, 16, 4},  {100, 60, 256, 8},
                 {300, 300, 2, 2}, {500, 400, 7, 3}, {64, 64, 256, 8}};
    for (const auto& c : cases) {
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) +
                         (interlaced ? " interlaced" : ""));
            const std::vector<uint8_t> px = pattern(c.w * c.h, c.colors, quint32(c.w));
            std::vector<QRgb> colors(size_t(1) << c.codeSize);
            for (size_t i = 0; i < colors.size(); ++i)
                colors[i] = qRgb(int(i), 255 - int(i), int(i * 7 % 256));
            TGIFImage gif;
            gif.LoadFromData(Gif(c.w, c.h, colors)
                                 .image(0, 0, c.w, c.h, px, {}, interlaced, c.codeSize)
                                 .trailer()
                                 .bytes);
            TGIFFrame& f = gif.Frame(0);
            EXPECT_EQ(f.interlaced(), interlaced);
            EXPECT_EQ(f.bitmap(), px);
            EXPECT_FALSE(f.damaged());
            const QImage img = f.image();
            ASSERT_EQ(img.size(), QSize(c.w, c.h));
            EXPECT_EQ(img.format(), QImage::Format_ARGB32);
            EXPECT_EQ(img.pixel(c.w - 1, c.h - 1), colors[px.back()] | 0xFF000000u);
        }
    }
}

TEST(GifImage, InterlacedRowsOfEveryHeightUpToSeventeen) {
    for (int h = 1; h <= 17; ++h) {
        SCOPED_TRACE(h);
        std::vector<uint8_t> px;
        for (int y = 0; y < h; ++y)
            px.insert(px.end(), 3, uint8_t(y));
        std::vector<QRgb> colors(32);
        TGIFImage gif;
        gif.LoadFromData(Gif(3, h, colors).image(0, 0, 3, h, px, {}, true, 5).trailer().bytes);
        EXPECT_EQ(gif.Frame(0).bitmap(), px);
    }
}

TEST(GifImage, LongCodeChainsDecodeWithoutRecursion) {
    // One colour, each code the entry being made: strings of 2, 3, ... pixels up to 4091 once the
    // table is full, then that longest string again until the frame is full (the last one cut).
    const int w = 3000, h = 2800;
    BitWriter bits;
    bits.put(4, 3);
    bits.put(1, 3);
    size_t written = 1;
    int width = 3;
    for (int code = 6; written < size_t(w) * h; code = std::min(code + 1, 4095)) {
        bits.put(code, width);
        written += size_t(code - 4);
        if (code + 1 == 1 << width && width < 12)
            ++width;
    }
    const std::vector<uint8_t> px(size_t(w) * h, 1);
    TGIFImage gif;
    gif.LoadFromData(Gif(w, h).rawImage(0, 0, w, h, 2, bits.finish()).trailer().bytes);
    TGIFFrame& f = gif.Frame(0);
    EXPECT_FALSE(f.damaged());
    EXPECT_EQ(f.bitmap(), px);
}

// Damaged image data: decoding stops, what is left keeps colour index 0, the frame is marked.
TEST(GifImage, DamagedDataStopTheDecoding) {
    const auto codes = [](std::vector<std::pair<int, int>> list) {
        BitWriter w;
        for (auto [code, width] : list)
            w.put(code, width);
        return w.finish();
    };
    const struct {
        const char* name;
        int codeSize;
        QByteArray data;
        std::vector<uint8_t> expected; // 3 x 2 pixels
        bool damaged;
    } cases[] = {
        {"whole",
         2,
         codes({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {6, 4}, {3, 4}, {5, 4}}),
         {1, 2, 3, 1, 2, 3},
         false},
        {"code beyond the next free entry",
         2,
         codes({{4, 3}, {1, 3}, {7, 3}, {3, 3}}),
         {1, 0, 0, 0, 0, 0},
         true},
        {"first code after clear not a colour",
         2,
         codes({{4, 3}, {6, 3}, {1, 3}}),
         {0, 0, 0, 0, 0, 0},
         true},
        {"end code before the last pixel",
         2,
         codes({{4, 3}, {1, 3}, {2, 3}, {5, 3}}),
         {1, 2, 0, 0, 0, 0},
         true},
        {"data end before the last pixel",
         2,
         codes({{4, 3}, {3, 3}, {3, 3}}),
         {3, 3, 0, 0, 0, 0},
         true},
        {"no data", 2, {}, {0, 0, 0, 0, 0, 0}, true},
        {"code size 0 clamped to 2",
         0,
         codes({{4, 3}, {1, 3}, {1, 3}, {6, 3}, {1, 4}, {5, 4}}),
         {1, 1, 1, 1, 1, 0},
         true},
        {"code size 12 clamped to 9",
         12,
         codes({{512, 10}, {7, 10}, {7, 10}, {7, 10}, {514, 10}, {7, 10}, {513, 10}}),
         {7, 7, 7, 7, 7, 7},
         true},
        {"root code without a byte value",
         9,
         codes({{512, 10}, {7, 10}, {300, 10}}),
         {7, 0, 0, 0, 0, 0},
         true},
        {"string longer than the frame is clipped",
         2,
         codes({{4, 3}, {1, 3}, {1, 3}, {6, 3}, {7, 4}}),
         {1, 1, 1, 1, 1, 1},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TGIFImage gif;
        gif.LoadFromData(Gif().rawImage(0, 0, 3, 2, c.codeSize, c.data).trailer().bytes);
        TGIFFrame& f = gif.Frame(0);
        EXPECT_EQ(f.bitmap(), c.expected);
        EXPECT_EQ(f.damaged(), c.damaged);
    }
}

TEST(GifImage, FileCutInTheLastFramesDataLoadsWithThatFrameDamaged) {
    const QByteArray whole = Gif()
                                 .image(0, 0, 4, 4, pattern(16, 4))
                                 .image(0, 0, 40, 40, pattern(1600, 4))
                                 .trailer()
                                 .bytes;
    TGIFImage gif;
    gif.LoadFromData(whole.left(whole.size() - 100));
    ASSERT_EQ(gif.FrameCount(), 2);
    EXPECT_FALSE(gif.Frame(0).damaged());
    const std::vector<uint8_t> px = gif.Frame(1).bitmap();
    EXPECT_TRUE(gif.Frame(1).damaged());
    EXPECT_EQ(px.back(), 0);
    const std::vector<uint8_t> full = pattern(1600, 4);
    EXPECT_TRUE(std::equal(px.begin(), px.begin() + 100, full.begin()));
}

TEST(GifImage, OnlyTheFirstFrameIsDecodedWhileLoading) {
    TGIFImage gif;
    gif.LoadFromData(Gif()
                         .image(0, 0, 4, 4, pattern(16, 4))
                         .image(0, 0, 4, 4, pattern(16, 4, 2))
                         .image(0, 0, 4, 4, pattern(16, 4, 3))
                         .trailer()
                         .bytes);
    ASSERT_EQ(gif.FrameCount(), 3);
    EXPECT_EQ(gif.FrameIndex(), 0);
    EXPECT_TRUE(gif.Frame(0).decoded());
    EXPECT_FALSE(gif.Frame(1).decoded());
    EXPECT_FALSE(gif.Frame(2).decoded());
    EXPECT_EQ(gif.Frame(2).bitmap(), pattern(16, 4, 3));
    EXPECT_TRUE(gif.Frame(2).decoded());
    EXPECT_FALSE(gif.Frame(1).decoded());
}

// ---- Geometry, colour indices and sizes out of range --------------------------------------------

TEST(GifImage, FrameGeometryIsKeptAsGivenAndDecodedAtItsOwnSize) {
    const struct {
        const char* name;
        int left, top, w, h;
        QRect expected;
    } cases[] = {
        {"inside", 1, 2, 3, 2, {1, 2, 3, 2}},
        {"partly outside", 3, 3, 5, 6, {3, 3, 5, 6}},
        {"wholly outside", 200, 0, 4, 4, {200, 0, 4, 4}},
        {"far corner", 65535, 65535, 2, 2, {65535, 65535, 2, 2}},
        {"zero width takes the screen's", 0, 0, 0, 3, {0, 0, 10, 3}},
        {"zero height takes the screen's", 0, 0, 3, 0, {0, 0, 3, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int n = c.expected.width() * c.expected.height();
        const std::vector<uint8_t> px = pattern(n, 4);
        TGIFImage gif;
        gif.LoadFromData(Gif(10, 6).rawImage(c.left, c.top, c.w, c.h, 2, lzw(px, 2)).bytes);
        TGIFFrame& f = gif.Frame(0);
        EXPECT_EQ(f.rect(), c.expected);
        EXPECT_EQ(f.bitmap(), px);
        EXPECT_EQ(f.image().size(), c.expected.size());
        QImage canvas(10, 6, QImage::Format_ARGB32);
        canvas.fill(Qt::white);
        QPainter p(&canvas);
        f.draw(p); // clipped by the painter, never out of bounds
    }
}

TEST(GifImage, ZeroSizedScreenAndFrame) {
    TGIFImage gif;
    gif.LoadFromData(Gif(0, 0).rawImage(0, 0, 0, 0, 2, "\x04\x05").trailer().bytes);
    ASSERT_EQ(gif.FrameCount(), 1);
    EXPECT_TRUE(gif.Frame(0).bitmap().empty());
    EXPECT_TRUE(gif.Frame(0).image().isNull());
    EXPECT_EQ(gif.Width(), 0);
}

TEST(GifImage, IndicesBeyondTheColourTableShowOpaqueBlack) {
    TGIFImage gif;
    // A two-entry local table with pixels 0 to 3, and a frame with no table at all.
    gif.LoadFromData(Gif(4, 1, {})
                         .image(0, 0, 4, 1, {0, 1, 2, 3}, {qRgb(9, 9, 9), qRgb(8, 8, 8)})
                         .image(0, 0, 2, 1, {1, 0})
                         .trailer()
                         .bytes);
    const QImage a = gif.Frame(0).image();
    EXPECT_EQ(a.pixel(0, 0), qRgb(9, 9, 9));
    EXPECT_EQ(a.pixel(1, 0), qRgb(8, 8, 8));
    EXPECT_EQ(a.pixel(2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(a.pixel(3, 0), qRgb(0, 0, 0));
    const QImage b = gif.Frame(1).image();
    EXPECT_EQ(b.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_TRUE(gif.Frame(1).colorTable().isEmpty());
}

TEST(GifImage, OversizedScreensAndFramesAreRefused) {
    const QString tooLarge = QStringLiteral("GIF picture too large");
    TGIFImage gif;
    EXPECT_EQ(loadError(gif, Gif(65535, 65535).image(0, 0, 1, 1, {0}).bytes), tooLarge);
    EXPECT_EQ(gif.FrameCount(), 0);
    // A frame of 0 x 0 on the largest screen allowed is the screen's size.
    EXPECT_EQ(loadError(gif, Gif(4096, 4096).rawImage(0, 0, 0, 0, 2, "\x04\x05").bytes), QString());
    // A huge frame on a small screen.
    EXPECT_EQ(
        loadError(gif, Gif(4, 4).image(0, 0, 1, 1, {0}).rawImage(0, 0, 65535, 300, 2, {}).bytes),
        tooLarge);
    EXPECT_EQ(gif.FrameCount(), 1);
    // Many large frames: their pixels together are bounded too.
    Gif many(4096, 4096);
    for (int i = 0; i < 17; ++i)
        many.rawImage(0, 0, 4096, 4096, 2, {});
    EXPECT_EQ(loadError(gif, many.bytes), tooLarge);
    EXPECT_EQ(gif.FrameCount(), 16);
}

TEST(GifImage, DrawKeysOutTransparentPixels) {
    TGIFImage gif;
    gif.LoadFromData(Gif(4, 2).control(0, 0, 0).image(1, 0, 2, 2, {0, 1, 2, 0}).trailer().bytes);
    QImage canvas(4, 2, QImage::Format_ARGB32);
    canvas.fill(qRgb(50, 60, 70));
    QPainter p(&canvas);
    gif.Frame(0).draw(p);
    p.end();
    const QRgb under = qRgb(50, 60, 70);
    EXPECT_EQ(canvas.pixel(0, 0), under);
    EXPECT_EQ(canvas.pixel(1, 0), under);
    EXPECT_EQ(canvas.pixel(2, 0), kFour[1]);
    EXPECT_EQ(canvas.pixel(1, 1), kFour[2]);
    EXPECT_EQ(canvas.pixel(2, 1), under);
}

// ---- Files and resources ------------------------------------------------------------------------

TEST(GifImage, LoadsFilesAndReportsOpenErrors) {
    TempDir dir;
    dir.write(QStringLiteral("a.gif"), Gif().image(0, 0, 4, 4, pattern(16, 4)).trailer().bytes);
    TGIFImage gif;
    gif.LoadGifFile(dir.file(QStringLiteral("a.gif")));
    EXPECT_EQ(gif.FrameCount(), 1);
    // A file that cannot be opened leaves the picture as it was.
    EXPECT_THROW(gif.LoadGifFile(dir.file(QStringLiteral("missing.gif"))), platform::Error);
    EXPECT_EQ(gif.FrameCount(), 1);
    EXPECT_THROW(gif.LoadGifResource(QStringLiteral("NO_SUCH_RESOURCE")), platform::Error);
}

// ---- Outside checks -----------------------------------------------------------------------------

QString sharedDir(const char* name) {
    return QStringLiteral(SORABI_SHARED "/") + QLatin1String(name);
}

// The corpus gives the full picture of every frame, so the test composes frames the plain way:
// a transparent canvas; each frame drawn at its rectangle, clipped to the screen, its transparent
// pixels left out; before the next frame, disposal 2 clears the frame's rectangle to transparent
// and disposal 3 puts back the canvas as it was before the frame. A pixel compares equal when
// both are transparent or both are the same opaque colour.
TEST(GifImage, FramesOfThePublishedCorpusMatchTheirExpectedPictures) {
    const QDir dir(sharedDir("gif-corpus/gifs"));
    if (!dir.exists())
        GTEST_SKIP() << "no " << dir.path().toStdString();
    const QStringList names = dir.entryList({QStringLiteral("*.gif")}, QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    int compared = 0;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        TGIFImage gif;
        gif.LoadGifFile(dir.filePath(name));
        QImage canvas(gif.Width(), gif.Height(), QImage::Format_ARGB32);
        canvas.fill(Qt::transparent);
        for (int i = 0; i < gif.FrameCount(); ++i) {
            TGIFFrame& f = gif.Frame(i);
            const QImage before = canvas;
            {
                QPainter p(&canvas);
                f.draw(p);
            }
            const QString png = corpusFramePath(dir, name, i, gif.FrameCount());
            QImage expected(png);
            ASSERT_FALSE(expected.isNull()) << png.toStdString();
            expected = expected.convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(expected.size(), canvas.size());
            int wrong = 0;
            for (int y = 0; y < canvas.height(); ++y)
                for (int x = 0; x < canvas.width(); ++x) {
                    const QRgb a = canvas.pixel(x, y);
                    const QRgb b = expected.pixel(x, y);
                    const bool same = (qAlpha(a) == 0 && qAlpha(b) == 0) || a == b;
                    wrong += same ? 0 : 1;
                }
            EXPECT_EQ(wrong, 0) << "frame " << i;
            EXPECT_FALSE(f.damaged()) << "frame " << i;
            ++compared;
            if (f.disposal() == 2) {
                QPainter p(&canvas);
                p.setCompositionMode(QPainter::CompositionMode_Source);
                p.fillRect(f.rect(), Qt::transparent);
            } else if (f.disposal() == 3) {
                canvas = before;
            }
        }
    }
    EXPECT_GT(compared, 0);
}

#ifdef SORABI_HAVE_GIFLIB
// Every frame of the stroke-order animations: our colour indices and 32-bit pixels against
// giflib's.
TEST(GifImage, FramesOfTheSampleAnimationsMatchGiflib) {
    const QDir dir(sharedDir("pics-sample"));
    if (!dir.exists())
        GTEST_SKIP() << "no " << dir.path().toStdString();
    const QStringList names = dir.entryList({QStringLiteral("*.gif")}, QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    int frames = 0;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        TGIFImage ours;
        ours.LoadGifFile(dir.filePath(name));
        int error = 0;
        GifFileType* theirs = DGifOpenFileName(QFile::encodeName(dir.filePath(name)), &error);
        ASSERT_NE(theirs, nullptr);
        ASSERT_EQ(DGifSlurp(theirs), GIF_OK) << theirs->Error;
        ASSERT_EQ(ours.FrameCount(), theirs->ImageCount);
        EXPECT_EQ(ours.Width(), theirs->SWidth);
        EXPECT_EQ(ours.Height(), theirs->SHeight);
        for (int i = 0; i < theirs->ImageCount; ++i) {
            const SavedImage& s = theirs->SavedImages[i];
            TGIFFrame& f = ours.Frame(i);
            EXPECT_EQ(f.rect(), QRect(s.ImageDesc.Left, s.ImageDesc.Top, s.ImageDesc.Width,
                                      s.ImageDesc.Height));
            const std::vector<uint8_t>& px = f.bitmap();
            EXPECT_FALSE(f.damaged());
            ASSERT_EQ(px.size(), size_t(s.ImageDesc.Width) * size_t(s.ImageDesc.Height));
            EXPECT_TRUE(std::equal(px.begin(), px.end(), s.RasterBits)) << "frame " << i;

            GraphicsControlBlock gcb{};
            int transparent = NO_TRANSPARENT_COLOR;
            if (DGifSavedExtensionToGCB(theirs, i, &gcb) == GIF_OK)
                transparent = gcb.TransparentColor;
            const ColorMapObject* map =
                s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap : theirs->SColorMap;
            const QImage img = f.image();
            int wrong = 0;
            for (size_t k = 0; k < px.size(); ++k) {
                const int index = s.RasterBits[k];
                const QRgb got =
                    img.pixel(int(k % size_t(img.width())), int(k / size_t(img.width())));
                if (index == transparent) {
                    wrong += qAlpha(got) == 0 ? 0 : 1;
                    continue;
                }
                const GifColorType c = map->Colors[index];
                wrong += got == qRgb(c.Red, c.Green, c.Blue) ? 0 : 1;
            }
            EXPECT_EQ(wrong, 0) << "frame " << i;
            ++frames;
        }
        DGifCloseFile(theirs, &error);
    }
    EXPECT_GT(frames, 0);
}
#else
TEST(GifImage, FramesOfTheSampleAnimationsMatchGiflib) {
    GTEST_SKIP() << "giflib (libgif-dev) is not installed";
}
#endif

} // namespace
