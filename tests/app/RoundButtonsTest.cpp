#include "app/RoundButtons.h"

#include <QApplication>
#include <QPalette>
#include <QToolButton>
#include <QWidget>
#include <gtest/gtest.h>

using namespace plendoro;

TEST(RoundButtonsTest, StripHasThirtyFourPicturesWithShapesInRed)
{
    const QImage strip = RoundButtonsStrip();
    EXPECT_EQ(strip.size(), QSize(544, 16));
    for (int i = 0; i < kRoundButtonCount; ++i) {
        int shape = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QRgb p = strip.pixel(i * 16 + x, y);
                EXPECT_EQ(qGreen(p) | qBlue(p), 0);
                shape += qRed(p) != 0;
            }
        EXPECT_GT(shape, 50) << "picture " << i;
        EXPECT_LT(shape, 256) << "picture " << i << " has corners outside its disc";
    }
}

TEST(RoundButtonsTest, RecolouringRule)
{
    QImage strip(4, 1, QImage::Format_RGB888);
    strip.setPixel(0, 0, qRgb(0, 0, 0));
    strip.setPixel(1, 0, qRgb(255, 0, 0));
    strip.setPixel(2, 0, qRgb(128, 77, 13)); // only red counts
    strip.setPixel(3, 0, qRgb(1, 0, 0));
    const QColor window(250, 10, 100);
    const QColor highlight(50, 200, 100);
    const QImage out = RecolourRoundButtons(strip, window, highlight);
    EXPECT_EQ(out.pixel(0, 0) & 0xFFFFFF, 0xFF00FFu) << "empty pixels become magenta";
    // H + ((W - H) * d >> 8), flooring on negatives.
    auto expect = [&](int x, int d) {
        const QRgb p = out.pixel(x, 0);
        EXPECT_EQ(qRed(p), 50 + ((200 * d) >> 8));
        EXPECT_EQ(qGreen(p), 200 + ((-190 * d) >> 8));
        EXPECT_EQ(qBlue(p), 100);
    };
    expect(1, 255);
    expect(2, 128);
    expect(3, 1);
    EXPECT_EQ(qGreen(out.pixel(3, 0)), 199) << "-190 >> 8 rounds down to -1";
    EXPECT_EQ(qRed(out.pixel(1, 0)), 249);
}

TEST(RoundButtonsTest, ToolButtonsGetEnabledAndDisabledPictures)
{
    QWidget root;
    auto* add = new QToolButton(&root);
    add->setObjectName(QStringLiteral("tbCANCommonAdd"));
    QPalette pal;
    pal.setColor(QPalette::Active, QPalette::Base, Qt::white);
    pal.setColor(QPalette::Active, QPalette::Highlight, QColor(0, 0, 200));
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    ApplyRoundButtonImages(&root, pal);
    ASSERT_FALSE(add->icon().isNull());
    const QImage on = add->icon().pixmap(16, 16, QIcon::Normal).toImage();
    const QImage off = add->icon().pixmap(16, 16, QIcon::Disabled).toImage();
    EXPECT_EQ(qAlpha(on.pixel(0, 0)), 0) << "magenta corners are transparent";
    const QRgb c = on.pixel(8, 13);
    EXPECT_GT(qBlue(c), qRed(c)) << "enabled pictures lean to the highlight colour";
    const QRgb g = off.pixel(8, 13);
    EXPECT_EQ(qRed(g), qBlue(g)) << "disabled pictures are grey";
}
