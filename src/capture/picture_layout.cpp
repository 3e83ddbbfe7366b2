#include "app/form1.h"
#include "capture/scroll_layout.h"

#include <cmath>

namespace dovrante {

namespace {

// The picture's natural size on screen in twips: a whole number of pixels, as a control's size is.
float naturalTwips(int hiMetric, float twipsPerPixel)
{
    const double pixels = std::nearbyint(hiMetric / 2540.0 * 1440.0 / twipsPerPixel);
    return static_cast<float>(pixels * twipsPerPixel);
}

void setUp(ScrollBar &bar, float pictureLength, float viewportLength)
{
    const ScrollSetup setup = computeScrollSetup(pictureLength, viewportLength);
    bar.max = setup.max;
    bar.largeChange = setup.largeChange;
    bar.smallChange = setup.smallChange;
    bar.unit = setup.unit;
    bar.value = 0;
    bar.visible = true;
}

float offset(const ScrollBar &bar, float pictureLength, float viewportLength)
{
    return pictureOffset(bar.value,
                         ScrollSetup{bar.max, bar.largeChange, bar.smallChange, bar.unit},
                         pictureLength - viewportLength);
}

} // namespace

void Form1::LayoutPicture()
{
    Picture2.top = 0;
    Picture2.left = 0;
    Picture2.height = Picture1.height;
    Picture2.width = Picture1.width;
    Image1.top = 0;
    Image1.left = 0;
    Image1.height = Picture1.height;
    Image1.width = Picture1.width;

    // The image box takes its picture's natural size; without a picture it keeps the viewport's.
    Image1.stretch = false;
    Image1.picture = Picture2.picture;
    if (Image1.picture) {
        const float twipsPerPixel = m_services.screen.twipsPerPixel();
        Image1.width = naturalTwips(Image1.picture->widthHiMetric(), twipsPerPixel);
        Image1.height = naturalTwips(Image1.picture->heightHiMetric(), twipsPerPixel);
    }
    Picture2.height = Image1.height;
    Picture2.width = Image1.width;
    Picture2.visible = true;

    HScroll1.top = Picture1.top + Picture1.height;
    HScroll1.left = Picture1.left;
    HScroll1.width = Picture1.width;
    setUp(HScroll1, Picture2.width, Picture1.width);

    VScroll1.top = Picture1.top;
    VScroll1.left = Picture1.left + Picture1.width;
    VScroll1.height = Picture1.height;
    setUp(VScroll1, Picture2.height, Picture1.height);

    Picture1.visible = true;
}

void Form1::HScroll1_Change()
{
    Picture2.left = offset(HScroll1, Picture2.width, Picture1.width);
}

void Form1::VScroll1_Change()
{
    Picture2.top = offset(VScroll1, Picture2.height, Picture1.height);
}

} // namespace dovrante
