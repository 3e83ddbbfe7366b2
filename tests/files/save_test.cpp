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
        f.RichTextBox1.text = "first line\r\nsecond line";
        f.caption = "20261205 035044.jpg";
        f.txtCaption.text = f.caption;
        return f;
    }

    std::string storedFolder()
    {
        return settings.setting("Dovrante", "Setting", "ImageFolder", "<absent>");
    }

    PicturePtr picture = makePicture(2540, 1270);
};

TEST_F(SaveTest, SaveWritesAPictureUnderTheMomentOfSavingAndIgnoresOtherKinds)
{
    Form1 &f = window("2");
    clock.setNow(DateTime{2026, 1, 2, 3, 4, 5});
    f.cmdSave_Click();
    ASSERT_EQ(pictures.saved.size(), 1u);
    EXPECT_EQ(pictures.saved.begin()->first, "/opt/Tools/Dovrante/BMP Data/20260102 030405.jpg");
    EXPECT_EQ(pictures.saved.begin()->second, picture.get());
    EXPECT_TRUE(messageBox.shown.empty());

    // A text clip is recorded once more in the text data file.
    f.clipKind = "1";
    f.cmdSave_Click();
    EXPECT_EQ(files.appendCalls, 1);
    EXPECT_NE(files.files["/opt/Tools/Dovrante Data.txt"].find("first line\r\nsecond line\r\n"),
              std::string::npos);

    for (const char *kind : {"", "99", "0", "3", "12"}) {
        f.clipKind = kind;
        f.cmdSave_Click();
    }
    EXPECT_EQ(pictures.saved.size(), 1u);
    EXPECT_EQ(files.appendCalls, 1);
    EXPECT_TRUE(messageBox.shown.empty());
}

TEST_F(SaveTest, AFailedAutomaticSaveIsDescribedAndChangesNothing)
{
    Form1 &f = window("2");
    const std::string toolTip = f.cmdSave.toolTip;
    pictures.saveError =
        "Cannot save /opt/Tools/Dovrante/BMP Data/x.jpg: No such file or directory";
    f.cmdSave_Click();
    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].text, pictures.saveError);
    EXPECT_EQ(messageBox.shown[0].buttons, MessageBox::Buttons::Ok);
    EXPECT_FALSE(messageBox.shown[0].title.has_value());
    EXPECT_EQ(f.caption, "20261205 035044.jpg");
    EXPECT_EQ(f.cmdSave.toolTip, toolTip);
    EXPECT_EQ(storedFolder(), "<absent>");

    // A window without a picture says so instead of crashing.
    pictures.saveError.clear();
    f.Image1.picture.reset();
    f.cmdSave_Click();
    ASSERT_EQ(messageBox.shown.size(), 2u);
    EXPECT_EQ(messageBox.shown[1].text,
              "Cannot save /opt/Tools/Dovrante/BMP Data/20261205 035044.jpg: there is no picture");
    EXPECT_TRUE(pictures.saved.empty());
}

TEST_F(SaveTest, ThePictureDialogStartsInTheRememberedFolderOnlyWhenItIsAPlainFolder)
{
    Form1 &f = window("2");
    files.folders = {"/opt/Tools/", "/pics/", "/locked/", "/.hidden/"};
    files.attributeOverrides = {{"/locked/", 17}, {"/.hidden/", 18}, {"/archived/", 48}};
    const struct {
        const char *stored; // nullptr: no setting yet
        const char *initialName;
    } cases[] = {
        {nullptr, "/opt/Tools/*.*"},     {"/pics/", "/pics/*.*"},
        {"/gone/", "/home/user/*.*"},    {"/locked/", "/home/user/*.*"},
        {"/.hidden/", "/home/user/*.*"}, {"/archived/", "/home/user/*.*"},
    };
    for (const auto &c : cases) {
        settings.values.clear();
        if (c.stored)
            settings.saveSetting("Dovrante", "Setting", "ImageFolder", c.stored);
        fileDialog.requests.clear();
        f.cmdSaveAs_Click();
        ASSERT_EQ(fileDialog.requests.size(), 1u);
        const FileDialogRequest &r = fileDialog.requests[0];
        EXPECT_EQ(r.initialFileName, c.initialName) << (c.stored ? c.stored : "no setting");
        EXPECT_EQ(r.mode, FileDialogRequest::Mode::Save);
        EXPECT_EQ(r.title, "Save As");
        EXPECT_EQ(r.filter, "All Files (*.*)|*.*|JPG Files (*.jpg)|");
        EXPECT_EQ(r.filterIndex, 2);
        EXPECT_EQ(r.defaultExtension, "jpg");
        EXPECT_EQ(r.initialFolder, "/home/user/!");
    }
    // Cancelling wrote nothing and said nothing.
    EXPECT_TRUE(pictures.saved.empty());
    EXPECT_TRUE(messageBox.shown.empty());
}

TEST_F(SaveTest, PictureSaveAsWritesTheFileRemembersItsFolderAndNamesTheWindow)
{
    Form1 &f = window("2");
    fileDialog.willChoose("/my pics/x.bmp", "x.bmp");
    f.cmdSaveAs_Click();
    ASSERT_EQ(pictures.saved.count("/my pics/x.bmp"), 1u);
    EXPECT_EQ(pictures.saved["/my pics/x.bmp"], picture.get());
    EXPECT_EQ(storedFolder(), "/my pics/");
    EXPECT_EQ(f.txtCaption.text, "/my pics/x.bmp");
    EXPECT_EQ(f.caption, "/my pics/x.bmp");
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_TRUE(messageBox.shown.empty());
}

TEST_F(SaveTest, AFailedPictureSaveAsIsDescribedAndRemembersNothing)
{
    Form1 &f = window("2");
    pictures.saveError = "Cannot save /pics/dir: Is a directory";
    files.folders.insert("/pics/dir");
    messageBox.answers = {MessageBox::Answer::Yes};
    fileDialog.willChoose("/pics/dir", "dir");
    f.cmdSaveAs_Click();
    ASSERT_EQ(messageBox.shown.size(), 2u);
    EXPECT_EQ(messageBox.shown[1].text, "Cannot save /pics/dir: Is a directory");
    EXPECT_EQ(storedFolder(), "<absent>");
    EXPECT_EQ(f.caption, "20261205 035044.jpg");

    fileDialog.willFail("The file name is too long");
    f.cmdSaveAs_Click();
    ASSERT_EQ(messageBox.shown.size(), 3u);
    EXPECT_EQ(messageBox.shown[2].text, "The file name is too long");
    EXPECT_EQ(messageBox.shown[2].buttons, MessageBox::Buttons::Ok);
}

TEST_F(SaveTest, AnExistingNameIsAskedAboutWithItsAttributesInTheTitle)
{
    Form1 &f = window("2");
    const struct {
        int bits;
        const char *title;
    } cases[] = {{32, "File exists"},
                 {33, "Unexpected..  GA is 33"},
                 {16, "Unexpected..  GA is 16"},
                 {0, "Unexpected..  GA is 0"}};
    for (const auto &c : cases) {
        files.attributeOverrides["/pics/x.jpg"] = c.bits;
        messageBox.shown.clear();
        messageBox.answers = {MessageBox::Answer::Yes};
        pictures.saved.clear();
        fileDialog.willChoose("/pics/x.jpg", "x.jpg");
        f.cmdSaveAs_Click();
        ASSERT_EQ(messageBox.shown.size(), 1u) << c.bits;
        const FakeMessageBox::Shown &asked = messageBox.shown[0];
        EXPECT_EQ(asked.title, std::optional<std::string>(c.title));
        EXPECT_EQ(asked.text, "Overwrite  /pics/x.jpg\r\n\r\nYes or No ?");
        EXPECT_EQ(asked.buttons, MessageBox::Buttons::YesNo);
        EXPECT_EQ(asked.icon, MessageBox::Icon::Question);
        EXPECT_EQ(asked.defaultButton, MessageBox::Answer::No);
        EXPECT_EQ(pictures.saved.count("/pics/x.jpg"), 1u) << "Yes writes the file";
    }
}

TEST_F(SaveTest, AnsweringNoShowsTheDialogAgainUntilANameIsTakenOrTheDialogCancelled)
{
    Form1 &f = window("1");
    files.files["/clips/old.txt"] = "keep me";
    messageBox.answers = {MessageBox::Answer::No, MessageBox::Answer::No};
    fileDialog.willChoose("/clips/old.txt", "old.txt");
    fileDialog.willChoose("/clips/old.txt", "old.txt");
    fileDialog.willChoose("/clips/new.txt", "new.txt");
    f.cmdSaveAs_Click();
    ASSERT_EQ(fileDialog.requests.size(), 3u);
    EXPECT_EQ(fileDialog.requests[2].initialFileName, "*.txt");
    EXPECT_EQ(messageBox.shown.size(), 2u);
    EXPECT_EQ(files.files["/clips/old.txt"], "keep me");
    EXPECT_EQ(files.files.count("/clips/new.txt"), 1u);

    // A picture loop reads the remembered folder afresh for every dialog; cancel ends it.
    f.clipKind = "2";
    fileDialog.requests.clear();
    files.files["/pics/x.jpg"] = "";
    messageBox.answers = {MessageBox::Answer::No};
    fileDialog.willChoose("/pics/x.jpg", "x.jpg");
    f.cmdSaveAs_Click();
    EXPECT_EQ(fileDialog.requests.size(), 2u);
    EXPECT_TRUE(pictures.saved.empty());
}

TEST_F(SaveTest, TextSaveAsWritesTheFixedLayoutThenStartsTheLinkProgramOnIt)
{
    for (const char *kind : {"1", "99", ""}) {
        Form1 &f = window(kind);
        files.files.clear();
        launcher.started.clear();
        fileDialog.requests.clear();
        const std::string path = "/home/user/Desc/!Clips/a b's clip.txt";
        fileDialog.willChoose(path, "a b's clip.txt");
        f.cmdSaveAs_Click();

        ASSERT_EQ(fileDialog.requests.size(), 1u) << kind;
        const FileDialogRequest &r = fileDialog.requests[0];
        EXPECT_EQ(r.title, "Save As");
        EXPECT_EQ(r.filter, "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Bitmap Files (*.bmp)|");
        EXPECT_EQ(r.filterIndex, 2);
        EXPECT_EQ(r.defaultExtension, ".EXT");
        EXPECT_EQ(r.initialFileName, "*.txt");
        EXPECT_EQ(r.initialFolder, "/home/user/Desc/!Clips");

        EXPECT_EQ(files.files[path], path + "\r\n\r\n\r\n\r\n" + Rule + "\r\n" +
                                         "first line\r\nsecond line\r\n" + "\r\n" + Rule + "\r\n" +
                                         "\r\n\r\n" + Rule + "\r\n" + "\r\n\r\n" + Rule + "\r\n")
            << kind;
        ASSERT_EQ(launcher.started.size(), 1u);
        EXPECT_EQ(launcher.started[0].program, "/opt/companions/Mervoxen");
        EXPECT_EQ(launcher.started[0].argument, path);
        EXPECT_EQ(launcher.started[0].windowStyle, WindowStyle::MinimizedFocus);
        EXPECT_EQ(f.caption, "20261205 035044.jpg");
        EXPECT_EQ(storedFolder(), "<absent>");
    }
}

TEST_F(SaveTest, AnEmptyTextStillHasItsLineAfterTheFirstRule)
{
    Form1 &f = window("1");
    f.RichTextBox1.text.clear();
    fileDialog.willChoose("/t.txt", "t.txt");
    f.cmdSaveAs_Click();
    EXPECT_EQ(files.files["/t.txt"], "/t.txt\r\n\r\n\r\n\r\n" + Rule + "\r\n\r\n\r\n" + Rule +
                                         "\r\n\r\n\r\n" + Rule + "\r\n\r\n\r\n" + Rule + "\r\n");
}

TEST_F(SaveTest, TextSaveAsFailuresAreDescribed)
{
    Form1 &f = window("1");
    files.writeError = "Cannot write /t.txt: Permission denied";
    fileDialog.willChoose("/t.txt", "t.txt");
    f.cmdSaveAs_Click();
    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].text, "Cannot write /t.txt: Permission denied");
    EXPECT_TRUE(launcher.started.empty()) << "nothing to hand over";

    files.writeError.clear();
    launcher.failure = "the program was not found";
    fileDialog.willChoose("/my clips/t.txt", "t.txt");
    f.cmdSaveAs_Click();
    ASSERT_EQ(messageBox.shown.size(), 2u);
    EXPECT_EQ(messageBox.shown[1].text,
              "Cannot start /opt/companions/Mervoxen /my clips/t.txt: the program was not found");
    EXPECT_EQ(files.files.count("/my clips/t.txt"), 1u);
}

} // namespace
} // namespace dovrante::test
