#include "strokes/renderer.h"

#include "strokes/gifwriter.h"
#include "strokes/pathdata.h"
#include "strokes/stroketable.h"
#include "tests/support/printers.h"
#include "widgets/gifimage.h"

#include <QImage>
#include <QPainter>
#include <gif_lib.h>
#include <gtest/gtest.h>

namespace {

const QString kTable = QStringLiteral(SORABI_RESOURCES "/strokes/kanjivg-strokes.qz");

// The picture as shown at its frame `index`: the frames up to it drawn in turn.
QImage shownAt(TGIFImage& gif, int index) {
    QImage canvas(gif.Width(), gif.Height(), QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    for (int i = 0; i <= index; ++i)
        gif.Frame(i).draw(p);
    return canvas;
}

// The comment extensions of a GIF, read by giflib.
QByteArrayList commentsOf(const QByteArray& bytes) {
    struct Source {
        const QByteArray* data;
        qsizetype pos;
    } source{&bytes, 0};
    auto read = [](GifFileType* gif, GifByteType* to, int n) {
        auto* s = static_cast<Source*>(gif->UserData);
        const int take = int(std::min<qsizetype>(n, s->data->size() - s->pos));
        memcpy(to, s->data->constData() + s->pos, size_t(take));
        s->pos += take;
        return take;
    };
    int error = 0;
    GifFileType* gif = DGifOpen(&source, read, &error);
    QByteArrayList comments;
    if (!gif || DGifSlurp(gif) != GIF_OK)
        return comments;
    auto collect = [&](int count, const ExtensionBlock* blocks) {
        QByteArray text;
        for (int i = 0; i < count; ++i) {
            if (blocks[i].Function == COMMENT_EXT_FUNC_CODE)
                text +=
                    QByteArray(reinterpret_cast<const char*>(blocks[i].Bytes), blocks[i].ByteCount);
            else if (blocks[i].Function != CONTINUE_EXT_FUNC_CODE && !text.isEmpty())
                comments << std::exchange(text, QByteArray());
        }
        if (!text.isEmpty())
            comments << text;
    };
    collect(gif->ExtensionBlockCount, gif->ExtensionBlocks);
    for (int i = 0; i < gif->ImageCount; ++i)
        collect(gif->SavedImages[i].ExtensionBlockCount, gif->SavedImages[i].ExtensionBlocks);
    DGifCloseFile(gif, &error);
    return comments;
}

bool dark(QRgb c) {
    return qRed(c) < 90 && qGreen(c) < 90 && qBlue(c) < 90;
}
bool pale(QRgb c) {
    return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200;
}

// A few kanji of the table, drawn and read back through the program's own GIF reader: no damage,
// a frame per step, only changed rectangles after the first, every stroke pale at the start and
// dark at the end, the finished kanji held, the attribution in the comment.
TEST(Renderer, PicturesReadBackWhole) {
    const strokes::StrokeTable* table = strokes::StrokeTable::shared(kTable);
    ASSERT_NE(table, nullptr);
    for (const char32_t kanji : {U'一', U'山', U'猫', U'鬱'}) {
        SCOPED_TRACE(uint(kanji));
        const QList<QByteArrayView> strokes = table->strokesOf(kanji);
        QString error;
        const QByteArray bytes = strokes::makePicture(strokes, &error);
        ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();

        TGIFImage gif;
        gif.LoadFromData(bytes);
        ASSERT_EQ(gif.Width(), strokes::kPictureSize);
        ASSERT_EQ(gif.Height(), strokes::kPictureSize);
        // The pale kanji, at least two steps a stroke, the finished kanji.
        const int frames = gif.FrameCount();
        ASSERT_GE(frames, 2 + strokes::kMinStepsPerStroke * int(strokes.size()));
        EXPECT_EQ(gif.Frame(0).interval(), strokes::kFirstFrameDelay * 10);
        EXPECT_EQ(gif.Frame(frames - 1).interval(), strokes::kFinalDelay * 10);
        for (int i = 1; i < frames; ++i) {
            EXPECT_GE(gif.Frame(i).interval(), 50) << "frame " << i;
            EXPECT_LT(gif.Frame(i).Width() * gif.Frame(i).Height(),
                      strokes::kPictureSize * strokes::kPictureSize / 2)
                << "frame " << i;
        }
        const QImage first = shownAt(gif, 0);
        const QImage last = shownAt(gif, frames - 1);
        for (int i = 0; i < frames; ++i)
            EXPECT_FALSE(gif.Frame(i).damaged()) << "frame " << i;
        const double scale = strokes::kPictureSize / 109.0;
        for (qsizetype s = 0; s < strokes.size(); ++s) {
            const QPainterPath path = strokes::parsePath(strokes[s]).path;
            const QPoint middle = (path.pointAtPercent(0.5) * scale).toPoint();
            EXPECT_TRUE(pale(first.pixel(middle))) << "stroke " << s + 1;
            EXPECT_TRUE(dark(last.pixel(middle))) << "stroke " << s + 1;
        }
        const QByteArrayList comments = commentsOf(bytes);
        ASSERT_EQ(comments.size(), 1);
        EXPECT_EQ(comments[0], strokes::pictureComment());
        EXPECT_TRUE(comments[0].contains("KanjiVG"));
        EXPECT_TRUE(comments[0].contains("Ulrich Apel"));
        EXPECT_TRUE(comments[0].contains("CC BY-SA 3.0"));
    }
}

TEST(Renderer, UnreadableStrokesMakeNoPicture) {
    QString error;
    EXPECT_TRUE(strokes::makePicture({"M1,1c1,1,1,1,1,1", "M1,1L5,5"}, &error).isEmpty());
    EXPECT_EQ(error.toStdString(), "stroke 2: unsupported path command \"L\" at offset 4");
    EXPECT_TRUE(strokes::makePicture({}, &error).isEmpty());
    EXPECT_EQ(error.toStdString(), "no strokes");
    const QList<QByteArrayView> tooMany(strokes::kMaxStrokes + 1, "M1,1c1,1,1,1,1,1");
    EXPECT_TRUE(strokes::makePicture(tooMany, &error).isEmpty());
    EXPECT_EQ(error.toStdString(), "too many strokes");
    // A stroke as long as the data allows still takes a bounded time (frames that change nothing
    // on the picture lengthen the one before, so the total tells the steps).
    TGIFImage gif;
    gif.LoadFromData(strokes::makePicture({"M-999,-999C999,999,-999,999,999,-999"}));
    int total = 0;
    for (int i = 0; i < gif.FrameCount(); ++i)
        total += gif.Frame(i).interval();
    EXPECT_EQ(total,
              10 * (strokes::kFirstFrameDelay + strokes::kMaxStepsPerStroke * strokes::kStepDelay +
                    strokes::kFinalDelay));
}

TEST(GifWriter, RefusesFramesThatDoNotFit) {
    const QList<QRgb> palette{qRgb(0, 0, 0), qRgb(255, 255, 255)};
    const struct {
        QRect rect;
        qsizetype bytes;
    } cases[] = {{{0, 0, 5, 5}, 24}, {{1, 0, 10, 10}, 100}, {{0, 0, 0, 0}, 0}};
    for (const auto& c : cases) {
        QString error;
        EXPECT_TRUE(strokes::writeGif({10, 10}, palette, {{c.rect, QByteArray(c.bytes, 0), 5, -1}},
                                      "", &error)
                        .isEmpty());
        EXPECT_EQ(error.toStdString(), "GIF writing failed: a frame does not fit the picture");
    }
    QString error;
    EXPECT_TRUE(strokes::writeGif({10, 10}, {}, {}, "", &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(strokes::writeGif({10, 10}, palette, {{{0, 0, 10, 10}, QByteArray(100, 1), 5, -1}},
                                   "", &error)
                     .isEmpty());
}

} // namespace
