#include "app/toolbar_layout.h"

#include "app/control_table.h"
#include "app/form1.h"

#include <algorithm>

namespace dovrante {

namespace {

constexpr float ButtonTop = 85;
constexpr float ButtonHeight = 300;

} // namespace

StartupLayout computeStartupLayout(float windowWidth, float windowHeight)
{
    StartupLayout l;
    const std::span<const ControlRow> rows = controlTable();
    l.toolbar.resize(rows.size());
    // From the right edge leftwards; a control over another takes the other's place.
    float rightNeighbour = windowWidth;
    for (std::size_t i = rows.size(); i-- > 0;) {
        if (rows[i].inBar != InBar::Next)
            continue;
        const float left = rightNeighbour - rows[i].gap - rows[i].width;
        l.toolbar[i] = Place{left, ButtonTop, rows[i].width, ButtonHeight};
        rightNeighbour = left;
    }
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].inBar == InBar::Over)
            l.toolbar[i] = l.toolbar[i - 1];
    }

    // The caption box opens under Print.
    const auto print =
        std::ranges::find(rows, ControlMember{&Form1::cmdPrint}, &ControlRow::member);
    const Place &p = *l.toolbar[static_cast<std::size_t>(print - rows.begin())];
    l.txtCaption = Place{p.left, p.top + p.height + 100, 4000, 395};

    l.Picture1 = Place{0, 0, windowWidth - 355, windowHeight - 755};
    l.Picture2 = Place{0, 0, l.Picture1.width, l.Picture1.height};
    l.Image1 = l.Picture2;
    l.HScroll1 = Place{l.Picture1.left, l.Picture1.top + l.Picture1.height, l.Picture1.width, 255};
    l.VScroll1 = Place{l.Picture1.left + l.Picture1.width, l.Picture1.top, 255, l.Picture1.height};
    // The text view has one size whatever the screen.
    l.RichTextBox1 = Place{0, 0, 19100, 14855};
    return l;
}

} // namespace dovrante
