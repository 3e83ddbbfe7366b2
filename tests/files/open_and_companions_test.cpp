#include "support/form_fixture.h"

#include <gtest/gtest.h>

namespace dovrante::test {
namespace {

class OpenAndCompanionsTest : public FormFixture {
protected:
    Form1 &window()
    {
        Form1 &f = form();
        f.caption = "before";
        clipboard.holdText("what the user copied");
        return f;
    }
};

TEST_F(OpenAndCompanionsTest, OpenPutsThePictureOnTheClipboardAndStartsANewCopy)
{
    Form1 &f = window();
    const PicturePtr picture = makePicture(100, 50);
    pictures.readable["/my pics/x.jpg"] = picture;
    fileDialog.willChoose("/my pics/x.jpg", "x.jpg");
    f.cmdOpen_Click();

    const FileDialogRequest &r = fileDialog.requests[0];
    EXPECT_EQ(r.mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(r.title, "Open Clip File");
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_EQ(r.defaultExtension, ".jpg");
    EXPECT_EQ(r.initialFileName, "/home/user/*.*") << "the program folder is not on the disk";
    EXPECT_EQ(clipboard.clipPicture, picture);
    EXPECT_EQ(settings.setting("Dovrante", "Setting", "ImageFolder", ""), "/my pics/");
    EXPECT_EQ(f.txtCaption.text, "/my pics/x.jpg");
    EXPECT_EQ(f.caption, "/my pics/x.jpg");
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, "/opt/companions/Dovrante");
    EXPECT_EQ(launcher.started[0].argument, "");
    EXPECT_EQ(launcher.started[0].windowStyle, WindowStyle::MinimizedFocus);
}

TEST_F(OpenAndCompanionsTest, ACancelOrAFileThatIsNoPictureLeavesEverythingAsItWas)
{
    Form1 &f = window();
    f.cmdOpen_Click();
    pictures.loadErrors["/notes.txt"] = "Cannot load the picture /notes.txt: Unsupported format";
    fileDialog.willChoose("/notes.txt", "notes.txt");
    f.cmdOpen_Click();

    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].text, pictures.loadErrors["/notes.txt"]);
    EXPECT_EQ(clipboard.clears, 0);
    EXPECT_EQ(clipboard.clipText, "what the user copied");
    EXPECT_TRUE(settings.values.empty());
    EXPECT_EQ(f.caption, "before");
    EXPECT_TRUE(launcher.started.empty());
}

TEST_F(OpenAndCompanionsTest, EachCompanionGetsItsPathUnquotedAsTheOneArgument)
{
    program.folder = "/home/me/My \"Tools\"; rm -rf ~";
    Form1 &f = window();
    f.bmpDataFolder = program.folder + "/Dovrante/BMP Data";
    f.cmdBmpData_Click();
    f.cmdIdeas_Click();
    f.cmdFolders_Click();
    f.cmdTxtData_Click();

    const std::string folder = program.folder;
    ASSERT_EQ(launcher.started.size(), 4u);
    const FakeLauncher::Started expected[] = {
        {"/opt/companions/Mervoxen", folder + "/Dovrante/BMP Data", WindowStyle::MinimizedFocus},
        {"/opt/companions/Mervoxen", folder + "/Dovrante Ideas.txt", WindowStyle::MinimizedFocus},
        {"Notepad3", folder + "/Dovrante Folders.txt", WindowStyle::MaximizedFocus},
        {"Notepad3", folder + "/Dovrante Data.txt", WindowStyle::MaximizedFocus},
    };
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(launcher.started[i].program, expected[i].program);
        EXPECT_EQ(launcher.started[i].argument, expected[i].argument);
        EXPECT_EQ(launcher.started[i].windowStyle, expected[i].windowStyle);
    }

    launcher.failure = "the program was not found";
    f.cmdFolders_Click();
    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].text, "Cannot start Notepad3 " + folder +
                                            "/Dovrante Folders.txt: the program was not found");
}

} // namespace
} // namespace dovrante::test
