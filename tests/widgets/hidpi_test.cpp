// The controls that draw themselves, on a screen with a device pixel ratio of 2: their pictures
// are made at the device's resolution, so text and lines are drawn with twice the pixels instead
// of being blown up from a small picture.
#include "tests/support/gifbuilder.h"
#include "widgets/colorcombobox.h"
#include "widgets/gifanimator.h"
#include "widgets/linklabel.h"
#include "widgets/progressbar.h"
#include "widgets/scrolltext.h"

#include <QApplication>
#include <QPixmap>
#include <gtest/gtest.h>
#include <string>

namespace {

// The whole executable runs at a scale factor of 2, set before the test main makes the
// application.
const bool kScaled = [] {
    qputenv("QT_SCALE_FACTOR", "2");
    return true;
}();

class HiDpi : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(qApp->devicePixelRatio(), 2.0); }
};

// How many 2 x 2 blocks of device pixels, aligned on the logical pixels of rect, hold more than
// one colour. A picture drawn at the logical resolution and blown up has none.
int finerBlocks(const QImage& image, QRect rect) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QRgb a = image.pixel(2 * x, 2 * y);
            if (image.pixel(2 * x + 1, 2 * y) != a || image.pixel(2 * x, 2 * y + 1) != a ||
                image.pixel(2 * x + 1, 2 * y + 1) != a)
                ++n;
        }
    return n;
}

std::string rgb(QRgb c) {
    return "(" + std::to_string(qRed(c)) + "," + std::to_string(qGreen(c)) + "," +
           std::to_string(qBlue(c)) + ")";
}

} // namespace

TEST_F(HiDpi, PercentageBarDrawsItsTextAtTheDeviceResolution) {
    TSpecialProgress bar;
    const QColor face(212, 208, 200);
    QPalette pal = bar.palette();
    pal.setColor(QPalette::Button, face);
    pal.setColor(QPalette::ButtonText, Qt::black);
    bar.setPalette(pal);
    bar.setSolid(true);
    bar.setStartColor(Qt::red);
    bar.setEndColor(QColor(0, 255, 0));
    bar.setTextOption(TSpecialProgress::toPercent);
    bar.setTextCentered(true);
    bar.resize(94, 15);
    bar.setMaximum(4);
    bar.setPosition(3);
    bar.show();

    const QImage& b = bar.buffer();
    EXPECT_EQ(b.size(), QSize(188, 30));
    EXPECT_EQ(b.devicePixelRatio(), 2.0);
    // The text "75%" in the middle has edges finer than a logical pixel.
    EXPECT_GE(finerBlocks(b, QRect(30, 2, 34, 11)), 10);
    // The frame is one logical pixel (two device pixels) of the face, the ramp runs per logical
    // column: 69 columns filled of 92, red in the first.
    for (const QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(187, 29), QPoint(186, 28)})
        EXPECT_EQ(rgb(b.pixel(p)), rgb(face.rgb())) << p.x() << "," << p.y();
    EXPECT_EQ(rgb(b.pixel(2, 4)), rgb(qRgb(255, 0, 0)));
    EXPECT_EQ(rgb(b.pixel(3, 4)), rgb(qRgb(255, 0, 0)));
    EXPECT_EQ(b.pixel(2 * 69, 4), b.pixel(2 * 69 + 1, 4));
    EXPECT_EQ(rgb(b.pixel(2 * 70, 4)), rgb(face.rgb()));
    // Painting copies the picture pixel for pixel: nothing is scaled on the way.
    const QImage shown = bar.grab().toImage().convertToFormat(b.format());
    EXPECT_EQ(shown.size(), b.size());
    EXPECT_EQ(shown, b);
}

TEST_F(HiDpi, LinkLabelAndScrollingTextDrawTheirTextAtTheDeviceResolution) {
    TLinkLabel link;
    link.setGeometry(0, 0, 90, 13);
    link.setCaption(QStringLiteral("О программе..."));
    link.show();
    const QImage& l = link.buffer();
    EXPECT_EQ(l.size(), link.size() * 2);
    EXPECT_EQ(l.devicePixelRatio(), 2.0);
    EXPECT_GE(finerBlocks(l, link.rect()), 20);
    const QImage shownLink = link.grab().toImage().convertToFormat(l.format());
    EXPECT_EQ(shownLink, l);

    TScrollText credits;
    credits.resize(120, 40);
    credits.setItems({QStringLiteral("Sorabi"), QStringLiteral("Японские слова")});
    credits.show();
    // The block comes up from below, a pixel a step: into the window it goes.
    credits.setActive(true);
    const int stepsIntoView = credits.BlockHeight() + credits.height() + 1;
    for (int i = 0; i < stepsIntoView && credits.Position() != 0; ++i)
        credits.Step();
    ASSERT_EQ(credits.Position(), 0);
    const QImage& c = credits.buffer();
    EXPECT_EQ(c.size(), QSize(240, 80));
    EXPECT_GE(finerBlocks(c, QRect(0, 0, 120, 40)), 20);
}

// A stroke-order picture is scaled once to the device's resolution, smoothly: the edge between
// two colours gets the colours in between instead of 2 x 2 blocks.
TEST_F(HiDpi, PicturesAreScaledSmoothly) {
    QWidget parent;
    parent.resize(100, 100);
    TGIFAnimator picture(&parent);
    // Black left half, red right half, 8 x 8.
    std::vector<uint8_t> pixels(64);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (i % 8) < 4 ? 0 : 1;
    gifbuilder::Gif gif(8, 8);
    gif.image(0, 0, 8, 8, pixels).trailer();
    picture.setAutoSize(true);
    picture.Image().LoadFromData(gif.bytes);
    parent.show();
    ASSERT_EQ(picture.size(), QSize(8, 8));
    const QImage shown = picture.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(16, 16));
    const QRgb black = qRgb(0, 0, 0);
    const QRgb red = qRgb(255, 0, 0);
    EXPECT_EQ(shown.pixel(0, 8) & 0xFFFFFF, black & 0xFFFFFF);
    EXPECT_EQ(shown.pixel(15, 8) & 0xFFFFFF, red & 0xFFFFFF);
    // Between them, a shade of neither.
    bool between = false;
    for (int x = 6; x <= 9; ++x) {
        const QRgb c = shown.pixel(x, 8);
        between = between || (qRed(c) > 0 && qRed(c) < 255);
    }
    EXPECT_TRUE(between);
}

TEST_F(HiDpi, ColourComboBoxDrawsItsItemAtTheDeviceResolution) {
    TColorComboBox combo;
    combo.resize(86, 20);
    combo.show();
    const QImage shown = combo.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(172, 40));
    // The colour name beside the swatch.
    EXPECT_GE(finerBlocks(shown, QRect(20, 2, 50, 16)), 10);
}
