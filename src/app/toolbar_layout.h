#pragma once

#include <optional>
#include <vector>

namespace dovrante {

struct Place {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    bool operator==(const Place &) const = default;
};

// Where start-up puts the controls for a window of W x H twips: the tool bar along the top right,
// each control placed leftwards from its right neighbour, and the viewport with its scroll bars.
struct StartupLayout {
    // A place for each row of the control table that lies in the tool bar, at the row's index.
    std::vector<std::optional<Place>> toolbar;
    Place txtCaption;
    Place Picture1;
    Place Picture2;
    Place Image1;
    Place HScroll1;
    Place VScroll1;
    Place RichTextBox1;
};

StartupLayout computeStartupLayout(float windowWidth, float windowHeight);

} // namespace dovrante
