#include "files/text_data_entry.h"
#include "support/form_fixture.h"

namespace dovrante::test {
namespace {

const std::string dataFile = "/opt/Tools/Dovrante Data.txt";
const std::string pictureFilter = "All Files (*.*)|*.*|JPG Files (*.jpg)|";

class FilesTest : public FormFixture {
protected:
    // The window as start-up and a capture leave it; the capture itself is not run.
    Form1 &window(ClipKind kind)
    {
        Form1 &f = form();
        f.bmpDataFolder = "/opt/Tools/Dovrante/BMP Data";
        f.clipKind = kind;
        f.Image1.picture = photo;
        f.RichTextBox1.text = "first\r\nsecond";
        f.caption = "before";
        holdText("what the user copied");
        return f;
    }

    PicturePtr photo = makePicture(2540, 1270);
};

// The dialog that picks a picture's name, starting at the file name.
std::string pictureDialog(const std::string &fileName, const char *mode = "save; ",
                          const char *extension = "jpg")
{
    return "dialog " + std::string(mode) + pictureFilter + "; 2; " + extension + "; " + fileName +
           "; /home/user/!";
}

TEST(TextDataEntryTest, HoldsDateLineSeparatorTextAndRule)
{
    // The text's own breaks stay; an empty text still takes its line, and so does a final break.
    const std::pair<const char *, std::string> cases[] = {{"abc", "abc\r\n"},
                                                          {"one\r\ntwo", "one\r\ntwo\r\n"},
                                                          {"", "\r\n"},
                                                          {"end\r\n", "end\r\n\r\n"}};
    for (const auto &[text, lines] : cases)
        EXPECT_EQ(textDataEntry("12/5/2026 3:50:44 AM", text),
                  "12/5/2026 3:50:44 AM\r\n--- --- --- --- --- ---\r\n" + lines +
                      std::string(79, '-') + "\r\n");
}

TEST_F(FilesTest, ADataFileThatCannotBeWrittenIsReportedAndTheTextStillShown)
{
    appendError = "Cannot write /opt/Tools/Dovrante Data.txt: Read-only file system";
    holdText("still shown");
    Form1 &f = started();
    EXPECT_EQ(f.RichTextBox1.text, "still shown");
    EXPECT_TRUE(f.RichTextBox1.visible);
    EXPECT_EQ(lines("box"), Lines{"box " + appendError});
}

TEST_F(FilesTest, OpenPutsAPictureOnTheClipboardAndStartsANewCopyAndNothingElseDoes)
{
    Form1 &f = window(ClipKind::Text);
    f.cmdOpen_Click();
    dialogAnswers = {{FileDialogResult::Outcome::Failed, {}, {}, "The dialog failed"}};
    f.cmdOpen_Click();
    loadErrors["/notes.txt"] = "Cannot load the picture /notes.txt: Unsupported format";
    willChoose("/notes.txt", "notes.txt");
    f.cmdOpen_Click();
    EXPECT_EQ(std::tuple(clipText, settings.size(), f.caption),
              std::tuple("what the user copied", 0u, "before"));

    readable["/my pics/x.jpg"] = photo;
    willChoose("/my pics/x.jpg", "x.jpg");
    f.cmdOpen_Click();
    // The program folder is not on the disk: the dialog starts in the fallback folder.
    const std::string dialog = pictureDialog("/home/user/*.*", "open; ", ".jpg");
    EXPECT_EQ(journal, (Lines{dialog, dialog, "box The dialog failed", dialog,
                              "box " + loadErrors["/notes.txt"], dialog,
                              "start /opt/companions/Dovrante; ; 2"}));
    EXPECT_EQ(clipPicture, photo);
    EXPECT_EQ(storedFolder(), "/my pics/");
    EXPECT_EQ((Lines{f.caption, f.txtCaption.text}), Lines(2, "/my pics/x.jpg"));
}

TEST_F(FilesTest, SaveWritesAPictureUnderTheMomentRecordsTextAndSaveAndSaveAsRefuseOtherKinds)
{
    Form1 &f = window(ClipKind::Picture);
    setNow(DateTime{2026, 1, 2, 3, 4, 5});
    for (ClipKind kind :
         {ClipKind::Picture, ClipKind::Text, ClipKind::Nothing, clipKindOfFormat(3)}) {
        f.clipKind = kind;
        f.cmdSave_Click();
    }
    // Save As neither asks for a name nor writes the text view's text.
    f.cmdSaveAs_Click();
    f.clipKind = ClipKind::Picture;
    f.Image1.picture.reset();
    f.cmdSave_Click();
    const std::string name = "/opt/Tools/Dovrante/BMP Data/20260102 030405.jpg";
    EXPECT_EQ(saved[name], photo.get());
    EXPECT_EQ(files[dataFile], "2026-1-2 3:4:5\r\n--- --- --- --- --- ---\r\nfirst\r\nsecond\r\n" +
                                   std::string(79, '-') + "\r\n");
    const std::string nothing =
        "box The last capture found neither text nor a picture: there is nothing to save.";
    EXPECT_EQ(journal, (Lines{"save " + name, "append " + dataFile, nothing, nothing, nothing,
                              "box Cannot save " + name + ": there is no picture"}));
    EXPECT_EQ(f.caption, "before");
}

TEST_F(FilesTest, ThePictureDialogStartsInTheRememberedFolderOnlyWhenItIsAPlainFolder)
{
    Form1 &f = window(ClipKind::Picture);
    folders = {"/opt/Tools/", "/pics/", "/locked/"};
    attributeOverrides = {{"/locked/", 17}};
    for (const char *remembered : {"/pics/", "/gone/", "/locked/"}) {
        saveSetting("Dovrante", "Setting", "ImageFolder", remembered);
        f.cmdSaveAs_Click();
    }
    EXPECT_EQ(journal, (Lines{pictureDialog("/pics/*.*"), pictureDialog("/home/user/*.*"),
                              pictureDialog("/home/user/*.*")}));
    settings.clear();
    f.cmdSaveAs_Click();
    EXPECT_EQ(journal.back(), pictureDialog("/opt/Tools/*.*"));
}

TEST_F(FilesTest, APictureSaveAsThatFailsIsDescribedAndRemembersNothing)
{
    Form1 &f = window(ClipKind::Picture);
    willChoose("/my pics/x.bmp", "x.bmp");
    f.cmdSaveAs_Click();
    saveError = "Cannot save /b/y.jpg: Permission denied";
    willChoose("/b/y.jpg", "y.jpg");
    f.cmdSaveAs_Click();
    EXPECT_EQ(journal,
              (Lines{pictureDialog("/home/user/*.*"), "save /my pics/x.bmp",
                     pictureDialog("/home/user/*.*"), "save /b/y.jpg", "box " + saveError}));
    EXPECT_EQ(storedFolder(), "/my pics/");
    EXPECT_EQ(f.caption, "/my pics/x.bmp");
}

TEST_F(FilesTest, AnExistingNameIsAskedAboutAndNoShowsTheDialogAgain)
{
    Form1 &f = window(ClipKind::Picture);
    for (const auto &[bits, title] : {std::pair{32, "File exists"},
                                      {33, "Unexpected..  GA is 33"},
                                      {0, "Unexpected..  GA is 0"}}) {
        attributeOverrides["/p/x.jpg"] = bits;
        boxAnswers = {MessageBox::Answer::No, MessageBox::Answer::Yes};
        willChoose("/p/x.jpg", "x.jpg");
        willChoose("/p/x.jpg", "x.jpg");
        journal.clear();
        f.cmdSaveAs_Click();
        const std::string asked = "box Overwrite  /p/x.jpg\r\n\r\nYes or No ? | " +
                                  std::string(title) + " | YesNo Question No";
        EXPECT_EQ(journal, (Lines{pictureDialog("/home/user/*.*"), asked,
                                  pictureDialog("/home/user/*.*"), asked, "save /p/x.jpg"}));
    }
}

TEST_F(FilesTest, TextSaveAsWritesTheFileThenStartsTheLinkProgramOnItOrDescribesTheFailure)
{
    Form1 &f = window(ClipKind::Text);
    journal.clear();
    const std::string path = "/home/user/Desc/!Clips/a b.txt";
    willChoose(path, "a b.txt");
    f.cmdSaveAs_Click();
    EXPECT_EQ(journal, (Lines{"dialog save; All Files (*.*)|*.*|Text Files (*.txt)|*.txt|"
                              "Bitmap Files (*.bmp)|; 2; .EXT; *.txt; /home/user/Desc/!Clips",
                              "write " + path, "start /opt/companions/Mervoxen; " + path + "; 2"}));
    EXPECT_TRUE(files[path].starts_with(path + "\r\n"));
    EXPECT_EQ(f.caption, "before");
    EXPECT_EQ(storedFolder(), "-");

    // Each failure is described, and nothing is handed over after a failed write.
    journal.clear();
    dialogAnswers = {{FileDialogResult::Outcome::Failed, {}, {}, "The dialog failed"}};
    f.cmdSaveAs_Click();
    writeError = "Cannot write /t.txt: Permission denied";
    willChoose("/t.txt", "t.txt");
    f.cmdSaveAs_Click();
    writeError.clear();
    launchError = "the program was not found";
    willChoose("/my clips/t.txt", "t.txt");
    f.cmdSaveAs_Click();
    EXPECT_EQ(lines("box"),
              (Lines{"box The dialog failed", "box Cannot write /t.txt: Permission denied",
                     "box Cannot start /opt/companions/Mervoxen /my clips/t.txt: the program was "
                     "not found"}));
    EXPECT_EQ(lines("start").size(), 1u);
}

} // namespace
} // namespace dovrante::test
