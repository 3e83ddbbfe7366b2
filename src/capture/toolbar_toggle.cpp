#include "app/control_table.h"
#include "app/form1.h"

namespace dovrante {

void Form1::ToggleToolbar()
{
    // The print button's visibility is the tool bar's state.
    const bool shown = !cmdPrint.visible;
    cmdMin.caption = shown ? "_" : "+";
    for (const ControlRow &row : controlTable()) {
        if (row.folds == Folds::Yes)
            controlOf(*this, row).visible = shown;
        else if (row.folds == Folds::WithTextOnly)
            controlOf(*this, row).visible = shown && clipKind == ClipKind::Text;
    }
}

void Form1::cmdMin_Click()
{
    ToggleToolbar();
}

void Form1::txtMin_Click()
{
    cmdMin_Click();
    txtMin.text = cmdMin.caption;
}

} // namespace dovrante
