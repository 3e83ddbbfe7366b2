#include "app/form1.h"
#include "files/text_data_entry.h"

namespace dovrante {

void Form1::AppendTextData()
{
    const std::string path = programFile(" Data.txt");
    const std::string entry =
        textDataEntry(m_services.clock.regionalDateTime(m_services.clock.now()), RichTextBox1.text);
    // One append of the whole entry: it is never half-written, nor mixed with another copy's.
    if (MaybeFailure failure = m_services.files.append(path, entry))
        m_services.messageBox.show(failure->description);
}

} // namespace dovrante
