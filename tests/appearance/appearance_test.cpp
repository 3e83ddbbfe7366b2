#include "support/form_fixture.h"

namespace dovrante::test {
namespace {

class AppearanceTest : public FormFixture {
protected:
    // As start-up leaves it: the caption box hidden, holding the caption.
    Form1 &window()
    {
        Form1 &f = form();
        f.bmpDataFolder = "/opt/Tools/Dovrante/BMP Data";
        f.caption = f.txtCaption.text = "20261205 035044.jpg";
        f.txtCaption.visible = false;
        return f;
    }
};

TEST_F(AppearanceTest, F2ShowsTheBoxWholeSelectedEnterNamesTheWindowAndARightClickResetsIt)
{
    Form1 &f = window();
    f.Form_KeyDown(KeyCode::F2, ShiftState::None);
    EXPECT_TRUE(f.txtCaption.visible);
    EXPECT_EQ(f.takeFocusRequest(), &f.txtCaption);
    // Positions are the text box's own: two for a character beyond the first plane.
    f.txtCaption.text = "Zo\xc3\xab \xf0\x9f\x98\x80";
    f.txtCaption_GotFocus();
    EXPECT_EQ(std::pair(f.txtCaption.selStart, f.txtCaption.selLength), std::pair(0, 6));
    f.Form_KeyDown(KeyCode::F2, ShiftState::Ctrl);
    EXPECT_FALSE(f.txtCaption.visible);
    EXPECT_EQ(f.caption, "20261205 035044.jpg");

    for (const char *text : {"  holiday <b>2026</b>  ", ""}) {
        f.txtCaption.visible = true;
        f.txtCaption.text = text;
        f.txtCaption_KeyPress('a');
        EXPECT_TRUE(f.txtCaption.visible);
        f.txtCaption_KeyPress(EnterCharacter);
        EXPECT_FALSE(f.txtCaption.visible);
        EXPECT_EQ(f.caption, text);
    }

    // A right click resets the name to the moment, and says so.
    f.txtCaption_MouseDown(MouseButton::Middle);
    EXPECT_EQ(journal, Lines{});
    // The clock ticks between the name and the tooltip's own reading.
    moments = {DateTime{2024, 3, 5, 9, 7, 3}, DateTime{2024, 3, 5, 9, 7, 4}};
    f.txtCaption_MouseDown(MouseButton::Right);
    EXPECT_EQ(naming(f),
              (Lines{"", "20240305 090703.jpg", "20240305 090703.jpg", "20240305 090703.jpg"}));
    EXPECT_EQ(f.cmdSave.toolTip,
              "Save the Screen Image to a file: /opt/Tools/Dovrante/BMP Data/20240305 090704.jpg");
    EXPECT_EQ(journal, Lines{"box Reset to Date/Time.."});
}

TEST_F(AppearanceTest, TheFontDialogStartsFromTheTextFontAndThePresetClearsTheStyles)
{
    Form1 &f = window();
    f.RichTextBox1.font = FontSpec{"Courier", 10.0f, false, false, false, false};
    f.cmdFont_Click();
    EXPECT_EQ(describe(f.RichTextBox1.font), "Courier 10") << "cancelled";

    fontAnswers = {FontSpec{"DejaVu Serif", 13.5f, true, true, true, true}};
    f.cmdFont_Click();
    EXPECT_EQ(journal, (Lines{"font dialog Courier 10", "font dialog Courier 10"}));
    EXPECT_EQ(describe(f.RichTextBox1.font),
              "DejaVu Serif 13.5 bold italic underline strikethrough");
    f.cmdFontP_Click();
    EXPECT_EQ(describe(f.RichTextBox1.font), "Arial Black 36");
}

TEST_F(AppearanceTest, TheColourButtonFlipsModeAndPrinterAndAPictureCaptureSetsColour)
{
    printerMode = ColourMode::Monochrome;
    Form1 &f = form();
    EXPECT_EQ(f.cmdColor.caption, "Color");
    holdPicture(makePicture(100, 100));
    started();
    // Anything but "Color" counts as black and white.
    for (const auto &[before, after] :
         {std::pair{"Color", "B/W"}, {"B/W", "Color"}, {"color", "Color"}}) {
        f.cmdColor.caption = before;
        f.cmdColor_Click();
        EXPECT_EQ(f.cmdColor.caption, after);
    }
    f.cmdColor_Click();
    f.ReloadFromClipboard();
    EXPECT_EQ(f.cmdColor.caption, "Color");
    // The printer keeps its mode until a capture.
    EXPECT_EQ(journal, (Lines{"colourMode 2", "colourMode 1", "colourMode 2", "colourMode 2",
                              "colourMode 1", "colourMode 2"}));
}

} // namespace
} // namespace dovrante::test
