#pragma once

#include "platform/clipboard.h"
#include "services/clipboard_prefetch.h"

#include <optional>

namespace dovrante {

// The X11 (or other desktop) clipboard through QClipboard.
class QtClipboard final : public Clipboard {
public:
    // The first look at the clipboard takes what `prefetch` fetched at start, when it could;
    // later looks take the clipboard the same way on `x11Display`, when one is named, unless the
    // clip is this program's own.
    explicit QtClipboard(double pixelsPerInch, ClipboardPrefetch *prefetch = nullptr,
                         std::string x11Display = {});
    Result<std::vector<int>> availableFormats() override;
    Result<std::string> text() override;
    std::string uriList() override;
    Result<PicturePtr> picture() override;
    void clear() override;
    void setPicture(const PicturePtr &picture) override;

private:
    double m_pixelsPerInch;
    ClipboardPrefetch *m_prefetch;
    std::string m_x11Display;
    // What the prefetch or a later look brought, used by that capture's questions and then
    // dropped.
    std::optional<ClipboardSnapshot> m_snapshot;
    // The types on offer at the last look, so that a read asks only for the one it needs, and
    // the image types among them that can be decoded.
    std::vector<std::string> m_offered;
    std::vector<std::string> m_decodable;
};

} // namespace dovrante
