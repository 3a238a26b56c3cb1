#include "hint/kanjipictures.h"

#include "hint/kanjicodes.h"
#include "hint/uhint.h"
#include "strokes/stroketable.h"
#include "tests/support/gifbuilder.h"
#include "tests/support/printers.h"
#include "tests/support/tempdir.h"
#include "widgets/gifanimator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

static void initPictureResources() {
    Q_INIT_RESOURCE(resources);
}

namespace {

const QString kTable = QStringLiteral(SORABI_RESOURCES "/strokes/kanjivg-strokes.qz");
constexpr char16_t kMountain = u'山';
const quint16 kMountainCode = 0x8E52;
const QString kMountainFile = QStringLiteral("8E52.gif");

const strokes::StrokeTable* table() {
    const strokes::StrokeTable* t = strokes::StrokeTable::shared(kTable);
    EXPECT_NE(t, nullptr);
    return t;
}

// Two picture folders, a cache folder (not made yet) and the shipped stroke table.
class PicturesFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initPictureResources(); }
    QString first() const { return dir.file(QStringLiteral("first")); }
    QString second() const { return dir.file(QStringLiteral("second")); }
    QString cache() const { return dir.file(QStringLiteral("cache/sorabi/pics")); }
    KanjiPictures pictures(const strokes::StrokeTable* t) const {
        return KanjiPictures({first(), second()}, cache(), t);
    }
    void put(const QString& folder, const QByteArray& bytes) const {
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile f(folder + u'/' + kMountainFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    TempDir dir;
};

TEST_F(PicturesFixture, FoldersFirstThenTheCacheThenDrawnIntoTheCache) {
    const KanjiPictures p = pictures(table());
    EXPECT_TRUE(p.available());

    // Nothing anywhere: drawn, written into the (new) cache folder, handed over as that file.
    const KanjiPictures::Picture made = p.pictureOf(kMountain, kMountainCode);
    EXPECT_EQ(made.file, cache() + u'/' + kMountainFile);
    EXPECT_TRUE(made.fromCache);
    const QByteArray madeBytes = dir.read(QStringLiteral("cache/sorabi/pics/") + kMountainFile);
    EXPECT_TRUE(madeBytes.startsWith("GIF89a"));
    EXPECT_EQ(QDir(cache()).entryList(QDir::Files), QStringList{kMountainFile}); // no temp left

    // The cached copy is used as it is, not drawn again.
    put(cache(), "cached");
    EXPECT_EQ(p.pictureOf(kMountain, kMountainCode).file, cache() + u'/' + kMountainFile);
    EXPECT_EQ(dir.read(QStringLiteral("cache/sorabi/pics/") + kMountainFile), "cached");

    // A picture folder wins over the cache, the first folder over the second.
    put(second(), "second");
    EXPECT_EQ(p.pictureOf(kMountain, kMountainCode).file, second() + u'/' + kMountainFile);
    EXPECT_FALSE(p.pictureOf(kMountain, kMountainCode).fromCache);
    put(first(), "first");
    EXPECT_EQ(p.pictureOf(kMountain, kMountainCode).file, first() + u'/' + kMountainFile);
}

TEST_F(PicturesFixture, AnUnwritableCacheGivesThePictureInMemory) {
    // The cache folder cannot be made: a file stands where its parent would be.
    dir.write(QStringLiteral("cache"), "a file");
    const KanjiPictures p = pictures(table());
    const KanjiPictures::Picture picture = p.pictureOf(kMountain, kMountainCode);
    EXPECT_TRUE(picture.file.isEmpty());
    EXPECT_FALSE(picture.fromCache);
    EXPECT_TRUE(picture.data.startsWith("GIF89a"));
}

TEST_F(PicturesFixture, WithoutDataThereIsNoPicture) {
    const auto small = strokes::StrokeTable::fromText("4E00\tM1,1c1,1,1,1,1,1");
    ASSERT_TRUE(small);
    EXPECT_TRUE(pictures(&*small).pictureOf(kMountain, kMountainCode).none());
    EXPECT_TRUE(pictures(&*small).pictureOf(u'一', 0x88EA).fromCache);
    // Neither folders nor a table: nothing to show at all.
    EXPECT_FALSE(pictures(nullptr).available());
    EXPECT_TRUE(pictures(nullptr).pictureOf(kMountain, kMountainCode).none());
    ASSERT_TRUE(QDir().mkpath(second()));
    EXPECT_TRUE(pictures(nullptr).available());
}

// The hint window with no "pics" folder at all: real pictures from the cache for every kanji.
TEST_F(PicturesFixture, TheHintWindowShowsDrawnPicturesWithoutAPicsFolder) {
    QWidget main;
    main.setGeometry(400, 100, 380, 300);
    main.show();
    THintForm hint(&main, pictures(table()));
    hint.ShowKanji(QStringLiteral("猫山"));
    EXPECT_TRUE(hint.isVisible());
    ASSERT_EQ(hint.Animations().size(), 2u);
    for (TGIFAnimator* a : hint.Animations()) {
        EXPECT_EQ(a->size(), QSize(150, 150));
        EXPECT_GT(a->Image().FrameCount(), 10);
        EXPECT_FALSE(a->Animate());
    }
    EXPECT_EQ(QDir(cache()).entryList(QDir::Files),
              (QStringList{QStringLiteral("8E52.gif"), QStringLiteral("944C.gif")}));
    // A click plays the picture.
    TGIFAnimator* cat = hint.Animations()[0];
    QTest::mouseClick(cat, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(cat->Animate());
    EXPECT_GE(cat->Timer().pendingDelay(), 0); // a step is on its way

    // A cached copy cut short (a crash while it was written) is drawn again, not shown broken.
    const QString catFile = QStringLiteral("cache/sorabi/pics/944C.gif");
    const QByteArray whole = dir.read(catFile);
    dir.write(catFile, whole.left(5));
    hint.ShowKanji(QStringLiteral("猫"));
    ASSERT_EQ(hint.Animations().size(), 1u);
    EXPECT_GT(hint.Animations()[0]->Image().FrameCount(), 10);
    EXPECT_EQ(dir.read(catFile), whole);
}

} // namespace
