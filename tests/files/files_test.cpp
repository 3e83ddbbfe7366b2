#include "files/text_data_entry.h"
#include "support/form_fixture.h"

namespace dovrante::test {
namespace {

class FilesTest : public FormFixture {
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
        clipboard.holdText("what the user copied");
        return f;
    }

    PicturePtr picture = makePicture(2540, 1270);
};

TEST(TextDataEntryTest, HoldsDateLineSeparatorTextAndRule)
{
    const std::string rule = std::string(79, '-') + "\r\n";
    EXPECT_EQ(textDataEntry("12/5/2026 3:50:44 AM", "abc"),
              "12/5/2026 3:50:44 AM\r\n--- --- --- --- --- ---\r\nabc\r\n" + rule);
    // The text's own breaks stay; an empty text still takes its line, and so does a final break.
    EXPECT_EQ(textDataEntry("d", "one\r\ntwo"),
              "d\r\n--- --- --- --- --- ---\r\none\r\ntwo\r\n" + rule);
    EXPECT_EQ(textDataEntry("d", ""), "d\r\n--- --- --- --- --- ---\r\n\r\n" + rule);
    EXPECT_EQ(textDataEntry("d", "end\r\n"), "d\r\n--- --- --- --- --- ---\r\nend\r\n\r\n" + rule);
}

TEST_F(FilesTest, ADataFileThatCannotBeWrittenIsReportedAndTheTextStillShown)
{
    files.appendError = "Cannot write /opt/Tools/Dovrante Data.txt: Read-only file system";
    clipboard.holdText("still shown");
    Form1 &f = started();
    EXPECT_EQ(f.RichTextBox1.text, "still shown");
    EXPECT_TRUE(f.RichTextBox1.visible);
    EXPECT_EQ(messageBox.texts(), std::vector<std::string>{files.appendError});
}

TEST_F(FilesTest, OpenPutsThePictureOnTheClipboardAndStartsANewCopy)
{
    Form1 &f = window("1");
    pictures.readable["/my pics/x.jpg"] = picture;
    fileDialog.willChoose("/my pics/x.jpg", "x.jpg");
    f.cmdOpen_Click();

    const FileDialogRequest &r = fileDialog.requests.at(0);
    EXPECT_EQ(r.mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_EQ(r.defaultExtension, ".jpg");
    EXPECT_EQ(r.initialFileName, "/home/user/*.*") << "the program folder is not on the disk";
    EXPECT_EQ(clipboard.clipPicture, picture);
    EXPECT_EQ(storedFolder(), "/my pics/");
    EXPECT_EQ(f.txtCaption.text, "/my pics/x.jpg");
    EXPECT_EQ(f.caption, "/my pics/x.jpg");
    EXPECT_EQ(launcher.started,
              (std::vector<FakeLauncher::Started>{
                  {"/opt/companions/Dovrante", "", WindowStyle::MinimizedFocus}}));
}

TEST_F(FilesTest, ACancelledOpenOrAFileThatIsNoPictureLeavesEverythingAsItWas)
{
    Form1 &f = window("1");
    f.cmdOpen_Click();
    pictures.loadErrors["/notes.txt"] = "Cannot load the picture /notes.txt: Unsupported format";
    fileDialog.willChoose("/notes.txt", "notes.txt");
    f.cmdOpen_Click();

    EXPECT_EQ(messageBox.texts(), std::vector<std::string>{pictures.loadErrors["/notes.txt"]});
    EXPECT_EQ(clipboard.clipText, "what the user copied");
    EXPECT_TRUE(settings.values.empty());
    EXPECT_EQ(f.caption, "before");
    EXPECT_TRUE(launcher.started.empty());
}

TEST_F(FilesTest, EachCompanionGetsItsPathUnquotedAsTheOneArgument)
{
    const std::string folder = program.folder = "/home/me/My \"Tools\"; rm -rf ~";
    Form1 &f = window("1");
    f.bmpDataFolder = folder + "/Dovrante/BMP Data";
    f.cmdBmpData_Click();
    f.cmdIdeas_Click();
    f.cmdFolders_Click();
    f.cmdTxtData_Click();
    EXPECT_EQ(launcher.started,
              (std::vector<FakeLauncher::Started>{
                  {"/opt/companions/Mervoxen", folder + "/Dovrante/BMP Data",
                   WindowStyle::MinimizedFocus},
                  {"/opt/companions/Mervoxen", folder + "/Dovrante Ideas.txt",
                   WindowStyle::MinimizedFocus},
                  {"Notepad3", folder + "/Dovrante Folders.txt", WindowStyle::MaximizedFocus},
                  {"Notepad3", folder + "/Dovrante Data.txt", WindowStyle::MaximizedFocus}}));
}

TEST_F(FilesTest, SaveWritesAPictureUnderTheMomentRecordsTextAndIgnoresOtherKinds)
{
    Form1 &f = window("2");
    clock.setNow(DateTime{2026, 1, 2, 3, 4, 5});
    f.cmdSave_Click();
    EXPECT_EQ(pictures.saved["/opt/Tools/Dovrante/BMP Data/20260102 030405.jpg"], picture.get());
    f.clipKind = "1";
    f.cmdSave_Click();
    EXPECT_EQ(files.files["/opt/Tools/Dovrante Data.txt"],
              textDataEntry("1/2/2026 3:04:05 AM", "first\r\nsecond"));
    for (const char *kind : {"", "99", "3"}) {
        f.clipKind = kind;
        f.cmdSave_Click();
    }
    EXPECT_EQ(pictures.saved.size(), 1u);
    EXPECT_EQ(files.appendCalls, 1);

    f.clipKind = "2";
    f.Image1.picture.reset();
    f.cmdSave_Click();
    EXPECT_EQ(messageBox.texts(),
              std::vector<std::string>{"Cannot save /opt/Tools/Dovrante/BMP Data/20260102 "
                                       "030405.jpg: there is no picture"});
    EXPECT_FALSE(messageBox.shown[0].title);
    EXPECT_EQ(f.caption, "before");
}

TEST_F(FilesTest, ThePictureDialogStartsInTheRememberedFolderOnlyWhenItIsAPlainFolder)
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
    EXPECT_EQ(r.filter, "All Files (*.*)|*.*|JPG Files (*.jpg)|");
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_EQ(r.defaultExtension, "jpg");
    EXPECT_EQ(r.initialFolder, "/home/user/!");
    EXPECT_TRUE(pictures.saved.empty()) << "cancelled";
}

TEST_F(FilesTest, APictureSaveAsThatFailsIsDescribedAndRemembersNothing)
{
    Form1 &f = window("2");
    fileDialog.willChoose("/my pics/x.bmp", "x.bmp");
    f.cmdSaveAs_Click();
    pictures.saveError = "Cannot save /b/y.jpg: Permission denied";
    fileDialog.willChoose("/b/y.jpg", "y.jpg");
    f.cmdSaveAs_Click();
    EXPECT_EQ(messageBox.texts(), std::vector<std::string>{pictures.saveError});
    EXPECT_EQ(storedFolder(), "/my pics/");
    EXPECT_EQ(f.caption, "/my pics/x.bmp");
}

TEST_F(FilesTest, AnExistingNameIsAskedAboutAndNoShowsTheDialogAgain)
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

TEST_F(FilesTest, TextSaveAsWritesTheFileThenStartsTheLinkProgramOnIt)
{
    for (const char *kind : {"1", "99"}) {
        Form1 &f = window(kind);
        launcher.started.clear();
        const std::string path = "/home/user/Desc/!Clips/a b " + std::string(kind) + ".txt";
        fileDialog.willChoose(path, "a b.txt");
        f.cmdSaveAs_Click();
        const FileDialogRequest &r = fileDialog.requests.back();
        EXPECT_EQ(r.filter, "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Bitmap Files (*.bmp)|");
        EXPECT_EQ(r.filterIndex, 2);
        EXPECT_EQ(r.defaultExtension, ".EXT");
        EXPECT_EQ(r.initialFileName, "*.txt");
        EXPECT_EQ(r.initialFolder, "/home/user/Desc/!Clips");
        EXPECT_TRUE(files.files[path].starts_with(path + "\r\n")) << kind;
        EXPECT_EQ(launcher.started,
                  (std::vector<FakeLauncher::Started>{
                      {"/opt/companions/Mervoxen", path, WindowStyle::MinimizedFocus}}));
        EXPECT_EQ(f.caption, "before");
        EXPECT_EQ(storedFolder(), "-");
    }
}

TEST_F(FilesTest, TextSaveAsFailuresAreDescribed)
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
    EXPECT_EQ(messageBox.texts(), (std::vector<std::string>{
                                      "The dialog failed", "Cannot write /t.txt: Permission denied",
                                      "Cannot start /opt/companions/Mervoxen /my clips/t.txt: "
                                      "the program was not found"}));
}

} // namespace
} // namespace dovrante::test
