#include "app/control_table.h"
#include "app/form1.h"
#include "app/toolbar_layout.h"

namespace dovrante {

namespace {

void apply(Control &control, const Place &place)
{
    control.left = place.left;
    control.top = place.top;
    control.width = place.width;
    control.height = place.height;
}

constexpr Colour PaleYellow = 0xC8FAFF;
constexpr Colour Pink = 0xCC99FF;

} // namespace

// "<base name>/BMP Data" beside the executable. An executable without an extension already takes
// that name as a file, so there the folder is "<base name> BMP Data", named like the program's
// other files.
std::string pictureFolderOf(const ProgramLocation &program)
{
    const std::string base = program.baseName();
    const std::string folder = program.programFolder() + "/" + base;
    return program.executableName() == base ? folder + " BMP Data" : folder + "/BMP Data";
}

void Form1::Form_Load()
{
    // The command line is ignored: every start behaves the same.
    top = 0;
    left = 0;
    height = m_services.screen.heightTwips();
    width = m_services.screen.widthTwips();
    backColour = PaleYellow;
    keyPreview = true;

    bmpDataFolder = pictureFolderOf(m_services.program);
    cmdBmpData.toolTip = "Open the BMP Data Folder: " + bmpDataFolder;
    cmdTxtData.toolTip = "Edit the Text Data File: " + programFile(" Data.txt");

    const StartupLayout layout = computeStartupLayout(width, height);
    const std::span<const ControlRow> rows = controlTable();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (layout.toolbar[i])
            apply(controlOf(*this, rows[i]), *layout.toolbar[i]);
    }
    // The pink box stands in for the toggle button.
    cmdMin.visible = false;
    txtMin.text = "-";
    txtMin.backColour = Pink;

    apply(txtCaption, layout.txtCaption);
    txtCaption.visible = false;
    apply(Picture1, layout.Picture1);
    Picture1.visible = false;
    apply(Picture2, layout.Picture2);
    Picture2.visible = false;
    apply(Image1, layout.Image1);
    apply(HScroll1, layout.HScroll1);
    HScroll1.visible = false;
    HScroll1.value = 0;
    apply(VScroll1, layout.VScroll1);
    VScroll1.visible = false;
    VScroll1.value = 0;
    apply(RichTextBox1, layout.RichTextBox1);
    RichTextBox1.visible = false;
    RichTextBox1.font = FontSpec{"Courier", 10.0f, false, false, false, false};

    ReloadFromClipboard();

    txtCaption.text = caption;
}

} // namespace dovrante
