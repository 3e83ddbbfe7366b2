#pragma once

#include "app/form1.h"
#include "app/toolbar_layout.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <memory>

namespace dovrante::test {

// A main window over the fake desktop; tests script the fakes, then call the handlers.
class FormFixture : public ::testing::Test, public FakeDesktop {
protected:
    Configuration config{"/opt/companions", "/home/user/Desc/!Clips", "/home/user/!", "/home/user"};

    // The window, made on first use so that a test can set the fakes up before.
    Form1 &form()
    {
        FakeDesktop &d = *this;
        if (!m_form)
            m_form = std::make_unique<Form1>(
                Form1Services{d, d, d, d, d, d, d, d, d, d, d, d, d, d, d, d, d, config});
        return *m_form;
    }

    // The window after start-up.
    Form1 &started()
    {
        form().Form_Load();
        return *m_form;
    }

    // The picture folder's setting, or "-" when none is stored.
    std::string storedFolder() { return setting("Dovrante", "Setting", "ImageFolder", "-"); }

private:
    std::unique_ptr<Form1> m_form;
};

// The clip's kind as the program writes it, then its names: the window's caption, the caption box's
// and the date caption.
inline Lines naming(const Form1 &f)
{
    return {clipKindText(f.clipKind), f.caption, f.txtCaption.text, f.dateCaption};
}

// What the window shows of a clip: nothing yet (only the tool bar), the text view with its font
// buttons, or the picture with its scroll bars.
enum class Shows { Nothing, Text, Picture };

inline void expectShows(const Form1 &f, Shows shows)
{
    const bool picture = shows == Shows::Picture;
    EXPECT_EQ(f.RichTextBox1.visible, shows == Shows::Text);
    for (const Control *c :
         std::initializer_list<const Control *>{&f.Picture1, &f.Picture2, &f.HScroll1, &f.VScroll1})
        EXPECT_EQ(c->visible, picture);
    // The font buttons belong to the text view; before any capture the tool bar shows them all.
    EXPECT_EQ(f.cmdFont.visible, !picture);
    EXPECT_EQ(f.cmdFontP.visible, !picture);
}

// The tool bar's buttons, bar the font buttons that belong to the text view, shown or folded away.
inline void expectToolbar(const Form1 &f, bool shown)
{
    for (const Button *b :
         {&f.cmdColor, &f.cmdCaption, &f.cmdReload, &f.cmdFolders, &f.cmdSave, &f.cmdSaveAs,
          &f.cmdTxtData, &f.cmdBmpData, &f.cmdIdeas, &f.cmdOpen, &f.cmdPrint})
        EXPECT_EQ(b->visible, shown) << b->caption;
}

} // namespace dovrante::test
