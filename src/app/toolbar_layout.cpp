#include "app/toolbar_layout.h"

namespace dovrante {

namespace {

constexpr float ButtonTop = 85;
constexpr float ButtonHeight = 300;

// A button of the given width whose left edge lies `offset` twips left of its neighbour's.
Place leftOf(const Place &neighbour, float offset, float width)
{
    return Place{neighbour.left - offset, ButtonTop, width, ButtonHeight};
}

} // namespace

StartupLayout computeStartupLayout(float windowWidth, float windowHeight)
{
    StartupLayout l;
    l.cmdMin = Place{windowWidth - 415 - 255, ButtonTop, 255, ButtonHeight};
    l.txtMin = l.cmdMin;
    l.cmdIdeas = leftOf(l.cmdMin, 615 + 100, 615);
    l.cmdBmpData = leftOf(l.cmdIdeas, 255 + 100, 255);
    l.cmdTxtData = leftOf(l.cmdBmpData, 255, 255);
    l.cmdSaveAs = leftOf(l.cmdTxtData, 855, 855);
    l.cmdSave = leftOf(l.cmdSaveAs, 255, 255);
    l.cmdFolders = leftOf(l.cmdSave, 255, 255);
    l.cmdReload = leftOf(l.cmdFolders, 720 + 100, 720);
    l.cmdCaption = leftOf(l.cmdReload, 255 + 100, 255);
    l.cmdColor = leftOf(l.cmdCaption, 600 + 100, 600);
    l.cmdPrint = leftOf(l.cmdColor, 600 + 100, 600);
    l.cmdOpen = leftOf(l.cmdPrint, 255 + 100, 255);
    // The preset-font button keeps a wider gap: it sits 600 twips left of "O" but is 255 wide.
    l.cmdFontP = leftOf(l.cmdOpen, 300 + 300, 255);
    l.cmdFont = leftOf(l.cmdFontP, 500 + 100, 500);

    l.txtCaption = Place{l.cmdPrint.left, l.cmdPrint.top + l.cmdPrint.height + 100, 4000, 395};

    l.Picture1 = Place{0, 0, windowWidth - 355, windowHeight - 755};
    l.Picture2 = Place{0, 0, l.Picture1.width, l.Picture1.height};
    l.Image1 = l.Picture2;
    l.HScroll1 = Place{l.Picture1.left, l.Picture1.top + l.Picture1.height, l.Picture1.width, 255};
    l.VScroll1 = Place{l.Picture1.left + l.Picture1.width, l.Picture1.top, 255, l.Picture1.height};
    // The text view has one size whatever the screen.
    l.RichTextBox1 = Place{0, 0, 19100, 14855};
    return l;
}

} // namespace dovrante
