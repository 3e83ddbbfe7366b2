#include "app/form1.h"

namespace dovrante {

void Form1::cmdFont_Click()
{
    // Cancelling keeps the font as it was, without a word; the dialog offers no colour to ignore.
    if (const std::optional<FontSpec> chosen = m_services.fontDialog.choose(RichTextBox1.font))
        RichTextBox1.font = *chosen;
}

void Form1::cmdFontP_Click()
{
    RichTextBox1.font = FontSpec{"Arial Black", 36.0f, false, false, false, false};
}

} // namespace dovrante
