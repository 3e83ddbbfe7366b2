#include "support/form_fixture.h"

#include <gtest/gtest.h>

namespace dovrante::test {
namespace {

using CompanionsTest = FormFixture;

TEST_F(CompanionsTest, EachButtonHandsItsPathUnquotedAsTheOneArgument)
{
    program.folder = "/home/me/My \"Tools\"; rm -rf ~";
    Form1 &f = form();
    f.bmpDataFolder = program.folder + "/Dovrante/BMP Data";
    f.cmdBmpData_Click();
    f.cmdIdeas_Click();
    f.cmdFolders_Click();
    f.cmdTxtData_Click();
    f.cmdTxtData_Click();

    const std::string folder = program.folder;
    ASSERT_EQ(launcher.started.size(), 5u);
    const struct {
        std::string program;
        std::string argument;
        int style;
    } expected[] = {
        {"/opt/companions/Mervoxen", folder + "/Dovrante/BMP Data", WindowStyle::MinimizedFocus},
        {"/opt/companions/Mervoxen", folder + "/Dovrante Ideas.txt", WindowStyle::MinimizedFocus},
        {"Notepad3", folder + "/Dovrante Folders.txt", WindowStyle::MaximizedFocus},
        {"Notepad3", folder + "/Dovrante Data.txt", WindowStyle::MaximizedFocus},
        {"Notepad3", folder + "/Dovrante Data.txt", WindowStyle::MaximizedFocus},
    };
    for (std::size_t i = 0; i < launcher.started.size(); ++i) {
        EXPECT_EQ(launcher.started[i].program, expected[i].program) << i;
        EXPECT_EQ(launcher.started[i].argument, expected[i].argument) << i;
        EXPECT_EQ(launcher.started[i].windowStyle, expected[i].style) << i;
    }
    EXPECT_TRUE(messageBox.shown.empty());
}

TEST_F(CompanionsTest, AProgramThatCannotStartIsReportedWithItsCommandLine)
{
    program.folder = "/opt/My Tools";
    program.base = "Clips";
    launcher.failure = "the program was not found";
    form().cmdTxtData_Click();
    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].text,
              "Cannot start Notepad3 /opt/My Tools/Clips Data.txt: the program was not found");
    EXPECT_EQ(messageBox.shown[0].buttons, MessageBox::Buttons::Ok);
    EXPECT_FALSE(messageBox.shown[0].title.has_value());
}

} // namespace
} // namespace dovrante::test
