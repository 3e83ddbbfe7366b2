#pragma once

namespace dovrante {

struct Place {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    bool operator==(const Place &) const = default;
};

// Where start-up puts every control for a window of W x H twips: the tool bar along the top right,
// placed leftwards each from its right neighbour, and the viewport with its scroll bars.
struct StartupLayout {
    Place cmdMin;
    Place txtMin;
    Place cmdIdeas;
    Place cmdBmpData;
    Place cmdTxtData;
    Place cmdSaveAs;
    Place cmdSave;
    Place cmdFolders;
    Place cmdReload;
    Place cmdCaption;
    Place cmdColor;
    Place cmdPrint;
    Place cmdOpen;
    Place cmdFontP;
    Place cmdFont;
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
