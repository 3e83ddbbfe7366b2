#pragma once

#include "platform/clipboard.h"

namespace dovrante {

// The X11 (or other desktop) clipboard through QClipboard.
class QtClipboard final : public Clipboard {
public:
    explicit QtClipboard(double pixelsPerInch);
    std::vector<int> availableFormats() override;
    Result<std::string> text() override;
    Result<PicturePtr> picture() override;
    void clear() override;
    void setPicture(const PicturePtr &picture) override;

private:
    double m_pixelsPerInch;
    std::vector<std::string> m_decodable;
    // The types on offer at the last look, so that a read asks only for the one it needs.
    std::vector<std::string> m_offered;
};

} // namespace dovrante
