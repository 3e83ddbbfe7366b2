#include "capture/scroll_layout.h"
#include "support/form_fixture.h"

#include <gtest/gtest.h>

namespace dovrante::test {
namespace {

TEST(ScrollSetupTest, RangeAndStepsFollowPictureAndViewport)
{
    // Overhang of 1000 twips on a picture 2000 twips wide.
    EXPECT_EQ(computeScrollSetup(2000, 1000), (ScrollSetup{1000, 1000, 20, 1}));
    // Exactly the viewport's size: nothing to scroll.
    EXPECT_EQ(computeScrollSetup(1935, 1935).max, 0);
    // Smaller than the viewport: the maximum is negative.
    EXPECT_EQ(computeScrollSetup(3000, 15005).max, -12005);
}

TEST(ScrollSetupTest, StepsRoundHalvesToEven)
{
    EXPECT_EQ(computeScrollSetup(150, 1000).smallChange, 2); // 1.5
    EXPECT_EQ(computeScrollSetup(250, 1000).smallChange, 2); // 2.5
    EXPECT_EQ(computeScrollSetup(350, 1000).smallChange, 4); // 3.5
    EXPECT_EQ(computeScrollSetup(1000.5f, 0).max, 1000);
    // A picture narrower than 50 twips still gets a step the bar accepts.
    EXPECT_EQ(computeScrollSetup(30, 1000).smallChange, 1);
}

TEST(ScrollSetupTest, TooLargeForSixteenBitsScrollsInACoarserUnit)
{
    // A 16384-pixel picture in a 1920-pixel viewport: 245760 - 28445 twips of overhang.
    const ScrollSetup setup = computeScrollSetup(245760, 28445);
    EXPECT_GT(setup.unit, 1);
    EXPECT_LE(setup.max, 32767);
    // The far edge can still be reached, and not passed.
    EXPECT_GE(static_cast<double>(setup.max) * setup.unit, 245760.0 - 28445.0);
    EXPECT_EQ(pictureOffset(setup.max, setup, 245760 - 28445), -(245760.0f - 28445.0f));
    EXPECT_EQ(pictureOffset(0, setup, 245760 - 28445), 0.0f);
    // Just inside the limit the values are exact.
    EXPECT_EQ(computeScrollSetup(32767 + 1000, 1000), (ScrollSetup{32767, 1000, 338, 1}));
}

TEST(ScrollSetupTest, ABarValueMovesThePictureByItsNegation)
{
    const ScrollSetup exact = computeScrollSetup(2000, 1000);
    EXPECT_EQ(pictureOffset(500, exact, 1000), -500.0f);
    EXPECT_EQ(pictureOffset(-300, exact, -300), 300.0f);
    // -(-32768) does not fit in 16 bits and stays -32768.
    EXPECT_EQ(pictureOffset(-32768, exact, 1000), -32768.0f);
}

using PictureLayoutTest = FormFixture;

TEST_F(PictureLayoutTest, APictureTakesItsNaturalSizeAndTheBarsItsOverhang)
{
    // 2000 x 1500 pixels on a 1024 x 768 screen: twips are pixels times 15.
    clipboard.holdPicture(makePicture(2000 * 2540 / 96, 1500 * 2540 / 96));
    Form1 &f = started();
    EXPECT_EQ(f.Image1.width, 30000);
    EXPECT_EQ(f.Image1.height, 22500);
    EXPECT_EQ(f.Picture2.width, 30000);
    EXPECT_EQ(f.Picture2.height, 22500);
    EXPECT_EQ(f.HScroll1.max, 30000 - 15005);
    EXPECT_EQ(f.HScroll1.largeChange, 15005);
    EXPECT_EQ(f.HScroll1.smallChange, 300);
    EXPECT_EQ(f.VScroll1.max, 22500 - 10765);
    EXPECT_EQ(f.VScroll1.smallChange, 225);
    EXPECT_EQ(f.HScroll1.top, 10765);
    EXPECT_EQ(f.VScroll1.left, 15005);

    f.HScroll1.value = 500;
    f.HScroll1_Change();
    f.VScroll1.value = f.VScroll1.max;
    f.VScroll1_Change();
    EXPECT_EQ(f.Picture2.left, -500);
    EXPECT_EQ(f.Picture2.top, -(22500 - 10765));
    // The image box stays at the viewport's origin.
    EXPECT_EQ(f.Image1.left, 0);
    EXPECT_EQ(f.Image1.top, 0);
}

TEST_F(PictureLayoutTest, ANewPictureScrollsBackToTheTopLeft)
{
    clipboard.holdPicture(makePicture(60000, 60000));
    Form1 &f = started();
    f.HScroll1.value = 100;
    f.HScroll1_Change();
    f.ReloadFromClipboard();
    EXPECT_EQ(f.HScroll1.value, 0);
    EXPECT_EQ(f.Picture2.left, 0);
}

} // namespace
} // namespace dovrante::test
