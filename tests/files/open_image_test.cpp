#include "support/form_fixture.h"

#include <gtest/gtest.h>

namespace dovrante::test {
namespace {

class OpenImageTest : public FormFixture {
protected:
    Form1 &window()
    {
        Form1 &f = form();
        f.clipKind = "1";
        f.caption = "before";
        f.txtCaption.text = "before";
        clipboard.holdText("what the user copied");
        return f;
    }
};

TEST_F(OpenImageTest, TheDialogStartsInTheRememberedFolderOrTheFallback)
{
    Form1 &f = window();
    files.folders = {"/opt/Tools/", "/pics/"};
    f.cmdOpen_Click();
    settings.saveSetting("Dovrante", "Setting", "ImageFolder", "/pics/");
    f.cmdOpen_Click();
    settings.saveSetting("Dovrante", "Setting", "ImageFolder", "/deleted since/");
    f.cmdOpen_Click();

    ASSERT_EQ(fileDialog.requests.size(), 3u);
    EXPECT_EQ(fileDialog.requests[0].initialFileName, "/opt/Tools/*.*");
    EXPECT_EQ(fileDialog.requests[1].initialFileName, "/pics/*.*");
    EXPECT_EQ(fileDialog.requests[2].initialFileName, "/home/user/*.*");
    const FileDialogRequest &r = fileDialog.requests[0];
    EXPECT_EQ(r.mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(r.title, "Open Clip File");
    EXPECT_EQ(r.filter, "All Files (*.*)|*.*|JPG Files (*.jpg)|");
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_EQ(r.defaultExtension, ".jpg");
    EXPECT_EQ(r.initialFolder, "/home/user/!");
    // Cancelled each time: nothing changed and nothing was said.
    EXPECT_EQ(clipboard.clipText, "what the user copied");
    EXPECT_TRUE(messageBox.shown.empty());
    EXPECT_TRUE(launcher.started.empty());
}

TEST_F(OpenImageTest, APictureGoesOnTheClipboardAndANewCopyIsStartedToShowIt)
{
    Form1 &f = window();
    const PicturePtr picture = makePicture(100, 50);
    pictures.readable["/my pics/x.jpg"] = picture;
    fileDialog.willChoose("/my pics/x.jpg", "x.jpg");
    f.cmdOpen_Click();

    EXPECT_EQ(clipboard.clipPicture, picture);
    EXPECT_EQ(settings.setting("Dovrante", "Setting", "ImageFolder", ""), "/my pics/");
    EXPECT_EQ(f.txtCaption.text, "/my pics/x.jpg");
    EXPECT_EQ(f.caption, "/my pics/x.jpg");
    EXPECT_EQ(f.clipKind, "1") << "the running window keeps its clip";
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, "/opt/companions/Dovrante");
    EXPECT_EQ(launcher.started[0].argument, "");
    EXPECT_EQ(launcher.started[0].windowStyle, WindowStyle::MinimizedFocus);
    EXPECT_TRUE(messageBox.shown.empty());
}

TEST_F(OpenImageTest, AFileThatIsNotAPictureIsDescribedAndTheClipboardKeepsItsContents)
{
    Form1 &f = window();
    pictures.loadErrors["/notes.txt"] =
        "Cannot load the picture /notes.txt: Unsupported image format";
    fileDialog.willChoose("/notes.txt", "notes.txt");
    f.cmdOpen_Click();

    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].text, pictures.loadErrors["/notes.txt"]);
    EXPECT_EQ(messageBox.shown[0].buttons, MessageBox::Buttons::Ok);
    EXPECT_EQ(clipboard.clears, 0);
    EXPECT_EQ(clipboard.clipText, "what the user copied");
    EXPECT_EQ(settings.values.size(), 0u);
    EXPECT_EQ(f.caption, "before");
    EXPECT_EQ(f.txtCaption.text, "before");
    EXPECT_TRUE(launcher.started.empty());

    fileDialog.willFail("The dialog could not be shown");
    f.cmdOpen_Click();
    ASSERT_EQ(messageBox.shown.size(), 2u);
    EXPECT_EQ(messageBox.shown[1].text, "The dialog could not be shown");
    EXPECT_EQ(pictures.loads.size(), 1u);
}

TEST_F(OpenImageTest, ACopyThatCannotBeStartedIsReportedAfterTheClipboardIsFilled)
{
    Form1 &f = window();
    pictures.readable["/x.jpg"] = makePicture(1, 1);
    launcher.failure = "the program is not executable";
    fileDialog.willChoose("/x.jpg", "x.jpg");
    f.cmdOpen_Click();
    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].text,
              "Cannot start /opt/companions/Dovrante: the program is not executable");
    EXPECT_EQ(f.caption, "/x.jpg");
}

} // namespace
} // namespace dovrante::test
