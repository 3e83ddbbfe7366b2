#include "support/form_fixture.h"

#include <gtest/gtest.h>

namespace dovrante::test {
namespace {

const std::string Rule(79, '-');

class SaveTest : public FormFixture {
protected:
    // The window as start-up and a capture leave it; the capture itself is not run.
    Form1 &window(const std::string &kind)
    {
        Form1 &f = form();
        f.bmpDataFolder = "/opt/Tools/Dovrante/BMP Data";
        f.clipKind = kind;
        f.Image1.picture = picture;
        f.RichTextBox1.text = "first\r\nsecond";
        f.caption = "before";
        return f;
    }
    std::string stored() { return settings.setting("Dovrante", "Setting", "ImageFolder", "-"); }

    PicturePtr picture = makePicture(2540, 1270);
};

TEST_F(SaveTest, SaveWritesAPictureUnderTheMomentRecordsTextAndIgnoresOtherKinds)
{
    Form1 &f = window("2");
    clock.setNow(DateTime{2026, 1, 2, 3, 4, 5});
    f.cmdSave_Click();
    EXPECT_EQ(pictures.saved["/opt/Tools/Dovrante/BMP Data/20260102 030405.jpg"], picture.get());
    f.clipKind = "1";
    f.cmdSave_Click();
    EXPECT_NE(files.files["/opt/Tools/Dovrante Data.txt"].find("first\r\nsecond\r\n"),
              std::string::npos);
    for (const char *kind : {"", "99", "3"}) {
        f.clipKind = kind;
        f.cmdSave_Click();
    }
    EXPECT_EQ(pictures.saved.size(), 1u);
    EXPECT_EQ(files.appendCalls, 1);
    EXPECT_TRUE(messageBox.shown.empty());

    // A failure is described, and nothing else changes.
    f.clipKind = "2";
    pictures.saveError = "Cannot save x: No such file or directory";
    f.cmdSave_Click();
    f.Image1.picture.reset();
    f.cmdSave_Click();
    ASSERT_EQ(messageBox.shown.size(), 2u);
    EXPECT_EQ(messageBox.shown[0].text, pictures.saveError);
    EXPECT_FALSE(messageBox.shown[0].title);
    EXPECT_EQ(messageBox.shown[1].text,
              "Cannot save /opt/Tools/Dovrante/BMP Data/20260102 030405.jpg: there is no picture");
    EXPECT_EQ(f.caption, "before");
}

TEST_F(SaveTest, ThePictureDialogStartsInTheRememberedFolderOnlyWhenItIsAPlainFolder)
{
    Form1 &f = window("2");
    files.folders = {"/opt/Tools/", "/pics/", "/locked/"};
    files.attributeOverrides = {{"/locked/", 17}};
    const std::pair<const char *, const char *> cases[] = {
        {nullptr, "/opt/Tools/*.*"},
        {"/pics/", "/pics/*.*"},
        {"/gone/", "/home/user/*.*"},
        {"/locked/", "/home/user/*.*"},
    };
    for (const auto &[folder, initialName] : cases) {
        if (folder)
            settings.saveSetting("Dovrante", "Setting", "ImageFolder", folder);
        f.cmdSaveAs_Click();
        EXPECT_EQ(fileDialog.requests.back().initialFileName, initialName);
    }
    const FileDialogRequest &r = fileDialog.requests[0];
    EXPECT_EQ(r.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(r.title, "Save As");
    EXPECT_EQ(r.filter, "All Files (*.*)|*.*|JPG Files (*.jpg)|");
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_EQ(r.defaultExtension, "jpg");
    EXPECT_EQ(r.initialFolder, "/home/user/!");
    EXPECT_TRUE(pictures.saved.empty()) << "cancelled";
}

TEST_F(SaveTest, PictureSaveAsWritesTheFileRemembersItsFolderAndNamesTheWindow)
{
    Form1 &f = window("2");
    fileDialog.willChoose("/my pics/x.bmp", "x.bmp");
    f.cmdSaveAs_Click();
    EXPECT_EQ(pictures.saved["/my pics/x.bmp"], picture.get());
    EXPECT_EQ(stored(), "/my pics/");
    EXPECT_EQ(f.txtCaption.text, "/my pics/x.bmp");
    EXPECT_EQ(f.caption, "/my pics/x.bmp");

    // A failed write is described and remembers nothing.
    pictures.saveError = "Cannot save /b/y.jpg: Permission denied";
    fileDialog.willChoose("/b/y.jpg", "y.jpg");
    f.cmdSaveAs_Click();
    EXPECT_EQ(messageBox.shown.back().text, pictures.saveError);
    EXPECT_EQ(stored(), "/my pics/");
    EXPECT_EQ(f.caption, "/my pics/x.bmp");
}

TEST_F(SaveTest, AnExistingNameIsAskedAboutAndNoShowsTheDialogAgain)
{
    Form1 &f = window("2");
    for (const auto &[bits, title] : {std::pair{32, "File exists"},
                                      {33, "Unexpected..  GA is 33"},
                                      {0, "Unexpected..  GA is 0"}}) {
        files.attributeOverrides["/p/x.jpg"] = bits;
        messageBox.answers = {MessageBox::Answer::No, MessageBox::Answer::Yes};
        fileDialog.requests.clear();
        fileDialog.willChoose("/p/x.jpg", "x.jpg");
        fileDialog.willChoose("/p/x.jpg", "x.jpg");
        f.cmdSaveAs_Click();
        EXPECT_EQ(fileDialog.requests.size(), 2u);
        const FakeMessageBox::Shown &asked = messageBox.shown.back();
        EXPECT_EQ(asked.title, std::optional<std::string>(title));
        EXPECT_EQ(asked.text, "Overwrite  /p/x.jpg\r\n\r\nYes or No ?");
        EXPECT_EQ(asked.buttons, MessageBox::Buttons::YesNo);
        EXPECT_EQ(asked.icon, MessageBox::Icon::Question);
        EXPECT_EQ(asked.defaultButton, MessageBox::Answer::No);
    }
    EXPECT_EQ(messageBox.shown.size(), 6u);
}

TEST_F(SaveTest, TextSaveAsWritesTheFixedLayoutThenStartsTheLinkProgramOnIt)
{
    for (const char *kind : {"1", "99"}) {
        Form1 &f = window(kind);
        launcher.started.clear();
        files.files.clear();
        const std::string path = "/home/user/Desc/!Clips/a b.txt";
        fileDialog.willChoose(path, "a b.txt");
        f.cmdSaveAs_Click();
        const FileDialogRequest &r = fileDialog.requests.back();
        EXPECT_EQ(r.filter, "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Bitmap Files (*.bmp)|");
        EXPECT_EQ(r.filterIndex, 2);
        EXPECT_EQ(r.defaultExtension, ".EXT");
        EXPECT_EQ(r.initialFileName, "*.txt");
        EXPECT_EQ(r.initialFolder, "/home/user/Desc/!Clips");
        EXPECT_EQ(files.files[path], path + "\r\n\r\n\r\n\r\n" + Rule +
                                         "\r\nfirst\r\nsecond\r\n\r\n" + Rule + "\r\n\r\n\r\n" +
                                         Rule + "\r\n\r\n\r\n" + Rule + "\r\n");
        ASSERT_EQ(launcher.started.size(), 1u) << kind;
        EXPECT_EQ(launcher.started[0].program, "/opt/companions/Mervoxen");
        EXPECT_EQ(launcher.started[0].argument, path);
        EXPECT_EQ(launcher.started[0].windowStyle, WindowStyle::MinimizedFocus);
        EXPECT_EQ(f.caption, "before");
        EXPECT_EQ(stored(), "-");
    }
}

TEST_F(SaveTest, TextSaveAsFailuresAreDescribed)
{
    Form1 &f = window("1");
    fileDialog.willFail("The dialog failed");
    f.cmdSaveAs_Click();
    files.writeError = "Cannot write /t.txt: Permission denied";
    fileDialog.willChoose("/t.txt", "t.txt");
    f.cmdSaveAs_Click();
    EXPECT_TRUE(launcher.started.empty()) << "nothing to hand over";
    files.writeError.clear();
    launcher.failure = "the program was not found";
    fileDialog.willChoose("/my clips/t.txt", "t.txt");
    f.cmdSaveAs_Click();
    ASSERT_EQ(messageBox.shown.size(), 3u);
    EXPECT_EQ(messageBox.shown[0].text, "The dialog failed");
    EXPECT_EQ(messageBox.shown[1].text, "Cannot write /t.txt: Permission denied");
    EXPECT_EQ(messageBox.shown[2].text,
              "Cannot start /opt/companions/Mervoxen /my clips/t.txt: the program was not found");
}

} // namespace
} // namespace dovrante::test
