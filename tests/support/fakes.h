#pragma once

// Fakes of the platform services with scripted answers, for fast tests of the logic.

#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/file_system.h"
#include "platform/font_dialog.h"
#include "platform/launcher.h"
#include "platform/message_box.h"
#include "platform/mouse_pointer.h"
#include "platform/picture.h"
#include "platform/printer.h"
#include "platform/program_end.h"
#include "platform/program_location.h"
#include "platform/scale_units.h"
#include "platform/screen.h"
#include "platform/settings_store.h"
#include "platform/status_window_host.h"

#include <deque>
#include <iomanip>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace dovrante::test {

// Fifteen twips to the pixel, as at 96 DPI.
struct FakeScreen final : Screen {
    float widthPixels = 1024, heightPixels = 768;
    float widthTwips() const override { return widthPixels * 15; }
    float heightTwips() const override { return heightPixels * 15; }
    float twipsPerPixel() const override { return 15; }
};

struct FakeProgramLocation final : ProgramLocation {
    std::string folder = "/opt/Tools", base = "Dovrante", executable = "Dovrante.exe";
    std::string programFolder() const override { return folder; }
    std::string baseName() const override { return base; }
    std::string executableName() const override { return executable; }
};

struct FakePicture final : Picture {
    FakePicture(int width, int height) : w(width), h(height) {}
    int widthHiMetric() const override { return w; }
    int heightHiMetric() const override { return h; }
    int w, h;
};

inline PicturePtr makePicture(int widthHiMetric, int heightHiMetric)
{
    return std::make_shared<FakePicture>(widthHiMetric, heightHiMetric);
}

// Pops the next scripted answer, or gives the fallback when none is left.
template <typename T>
T next(std::deque<T> &answers, T fallback)
{
    if (answers.empty())
        return fallback;
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

inline MaybeFailure failIf(const std::string &error)
{
    return error.empty() ? MaybeFailure() : MaybeFailure(Failure{error});
}

struct FakeClipboard final : Clipboard {
    std::vector<int> formats;
    std::string clipText, textError; // an error makes reading the text fail with it
    PicturePtr clipPicture;
    std::string pictureError; // given when there is no picture to read
    int formatQueries = 0;

    std::vector<int> availableFormats() override { return ++formatQueries, formats; }
    Result<std::string> text() override
    {
        return textError.empty() ? Result<std::string>(clipText) : Failure{textError};
    }
    Result<PicturePtr> picture() override
    {
        return clipPicture ? Result<PicturePtr>(clipPicture) : Failure{pictureError};
    }
    void clear() override { holdText({}), formats.clear(); }
    void setPicture(const PicturePtr &picture) override { holdPicture(picture); }

    // Fills the clipboard as a copy of text, or of a picture, would.
    void holdText(const std::string &text)
    {
        formats = {ClipFormat::Text, ClipFormat::OemText};
        clipText = text;
        clipPicture.reset();
    }
    void holdPicture(PicturePtr picture)
    {
        formats = {ClipFormat::Bitmap, ClipFormat::Dib};
        clipText.clear();
        clipPicture = std::move(picture);
    }
};

struct FakePictureFiles final : PictureFiles {
    std::map<std::string, PicturePtr> readable;
    std::map<std::string, std::string> loadErrors;
    std::map<std::string, const Picture *> saved;
    std::string saveError;

    Result<PicturePtr> load(const std::string &path) override
    {
        if (loadErrors.count(path))
            return Failure{loadErrors[path]};
        if (readable.count(path))
            return readable[path];
        return Failure{"File not found: " + path};
    }
    MaybeFailure saveAsBitmap(const Picture &picture, const std::string &path) override
    {
        if (saveError.empty())
            saved[path] = &picture;
        return failIf(saveError);
    }
};

// Records every call as a line of text; the page is Letter-like and measured in twips.
struct FakePrinter final : Printer {
    std::string name = "Office Laser";
    int mode = PrinterValue::Colour, orientation = PrinterValue::Portrait;
    // Printable area in twips in portrait; landscape swaps the two.
    float portraitWidthTwips = 11520, portraitHeightTwips = 15120;
    int currentScaleMode = ScaleMode::Twips;
    std::string endDocError;
    std::vector<std::string> calls;
    FontSpec font;
    struct Paint {
        const Picture *picture;
        double left, top, width, height;
    };
    std::vector<Paint> paints;

    std::string deviceName() const override { return name; }
    int colourMode() const override { return mode; }
    void setColourMode(int m) override
    {
        calls.push_back("colourMode " + std::to_string(mode = m));
    }
    void setOrientation(int o) override
    {
        calls.push_back("orientation " + std::to_string(orientation = o));
    }
    float scaleWidth() const override { return inUnits(turned() ? tall() : wide()); }
    float scaleHeight() const override { return inUnits(turned() ? wide() : tall()); }
    int scaleMode() const override { return currentScaleMode; }
    float scaleX(double value, int from, int to) const override
    {
        return static_cast<float>(value * twipsPerUnit(from) / twipsPerUnit(to));
    }
    float scaleY(double value, int from, int to) const override { return scaleX(value, from, to); }
    void paintPicture(const Picture &picture, double left, double top, double width,
                      double height) override
    {
        paints.push_back(Paint{&picture, left, top, width, height});
        std::ostringstream line;
        line << "paintPicture " << left << " " << top << " " << width << " " << height;
        calls.push_back(line.str());
    }
    void setFont(const FontSpec &f) override { calls.push_back("font " + (font = f).name); }
    void printText(const std::string &text) override { calls.push_back("print " + text); }
    MaybeFailure endDoc() override { return calls.emplace_back("endDoc"), failIf(endDocError); }

    // Twips in one unit of the scale mode, on a 600 DPI device.
    static double twipsPerUnit(int scaleMode) { return dovrante::twipsPerUnit(scaleMode, 600.0); }

private:
    float wide() const { return portraitWidthTwips; }
    float tall() const { return portraitHeightTwips; }
    bool turned() const { return orientation == PrinterValue::Landscape; }
    float inUnits(float twips) const
    {
        return static_cast<float>(twips / twipsPerUnit(currentScaleMode));
    }
};

struct FakeInstalledPrinters final : InstalledPrinters {
    std::vector<std::string> names;
    std::vector<std::string> deviceNames() const override { return names; }
};

struct FakeProfile final : LegacyProfile {
    std::map<std::string, std::string> entries; // "section/key" -> value
    std::string profileString(const std::string &section, const std::string &key,
                              const std::string &defaultValue) const override
    {
        const auto found = entries.find(section + "/" + key);
        return found == entries.end() ? defaultValue : found->second;
    }
};

struct FakeSettings final : SettingsStore {
    std::map<std::string, std::string> values; // "application/section/key" -> value
    std::string setting(const std::string &application, const std::string &section,
                        const std::string &key, const std::string &defaultValue) override
    {
        const auto found = values.find(application + "/" + section + "/" + key);
        return found == values.end() ? defaultValue : found->second;
    }
    void saveSetting(const std::string &application, const std::string &section,
                     const std::string &key, const std::string &value) override
    {
        values[application + "/" + section + "/" + key] = value;
    }
};

struct FakeFileDialog final : FileDialog {
    using Outcome = FileDialogResult::Outcome;
    std::vector<FileDialogRequest> requests;
    std::deque<FileDialogResult> answers; // none left: cancelled

    FileDialogResult show(const FileDialogRequest &request) override
    {
        requests.push_back(request);
        return next(answers, FileDialogResult{Outcome::Cancelled, {}, {}, {}});
    }
    void willChoose(const std::string &path, const std::string &fileName)
    {
        answers.push_back(FileDialogResult{Outcome::Chosen, path, fileName, {}});
    }
    void willFail(const std::string &error)
    {
        answers.push_back(FileDialogResult{Outcome::Failed, {}, {}, error});
    }
};

struct FakeFontDialog final : FontDialog {
    std::vector<FontSpec> shownWith;
    std::deque<std::optional<FontSpec>> answers; // none left: cancelled
    std::optional<FontSpec> choose(const FontSpec &initial) override
    {
        shownWith.push_back(initial);
        return next(answers, std::optional<FontSpec>());
    }
};

struct FakeMessageBox final : MessageBox {
    struct Shown {
        std::string text;
        Buttons buttons;
        Icon icon;
        Answer defaultButton;
        std::optional<std::string> title;
    };
    std::vector<Shown> shown;
    std::deque<Answer> answers; // none left: OK for OK boxes, the default button otherwise

    Answer show(const std::string &text, Buttons buttons, Icon icon, Answer defaultButton,
                const std::optional<std::string> &title) override
    {
        shown.push_back(Shown{text, buttons, icon, defaultButton, title});
        return next(answers, buttons == Buttons::Ok ? Answer::Ok : defaultButton);
    }
    // The texts shown, in order.
    std::vector<std::string> texts() const
    {
        std::vector<std::string> all;
        for (const Shown &box : shown)
            all.push_back(box.text);
        return all;
    }
};

// An in-memory disk: files, folders and scripted failures.
struct FakeFileSystem final : FileSystem {
    std::map<std::string, std::string> files;
    std::map<std::string, int> attributeOverrides;
    std::set<std::string> folders;
    std::string appendError, writeError;
    int appendCalls = 0;

    MaybeFailure append(const std::string &path, const std::string &bytes) override
    {
        ++appendCalls;
        if (appendError.empty())
            files[path] += bytes;
        return failIf(appendError);
    }
    MaybeFailure writeWhole(const std::string &path, const std::string &bytes) override
    {
        if (writeError.empty())
            files[path] = bytes;
        return failIf(writeError);
    }
    std::optional<int> attributes(const std::string &path) override
    {
        if (attributeOverrides.count(path))
            return attributeOverrides[path];
        if (folders.count(path))
            return FileAttribute::Directory;
        return files.count(path) ? std::optional<int>(FileAttribute::Archive) : std::nullopt;
    }
};

struct FakeLauncher final : Launcher {
    struct Started {
        std::string program, argument;
        int windowStyle;
        bool operator==(const Started &) const = default;
    };
    std::vector<Started> started;
    std::string failure;

    MaybeFailure start(const std::string &program, const std::string &argument,
                       int windowStyle) override
    {
        if (failure.empty())
            started.push_back(Started{program, argument, windowStyle});
        return failIf(failure);
    }
};

// Returns the scripted moments in order, then keeps returning the last one.
struct FakeClock final : Clock {
    std::deque<DateTime> moments{DateTime{2026, 12, 5, 3, 50, 44}};

    DateTime now() override { return moments.size() > 1 ? next(moments, {}) : moments.front(); }
    // United States style: 12/5/2026 3:50:44 AM.
    std::string regionalDateTime(const DateTime &m) override
    {
        std::ostringstream text;
        text << m.month << "/" << m.day << "/" << m.year << " " << (m.hour % 12 ? m.hour % 12 : 12)
             << ":" << std::setfill('0') << std::setw(2) << m.minute << ":" << std::setw(2)
             << m.second << (m.hour < 12 ? " AM" : " PM");
        return text.str();
    }
    void setNow(const DateTime &moment) { moments = {moment}; }
};

struct FakeMousePointer final : MousePointer {
    std::vector<int> shapes;
    void setPointer(int shape) override { shapes.push_back(shape); }
};

struct FakeProgramEnd final : ProgramEnd {
    int ends = 0;
    void endProgram() override { ++ends; }
};

// Shows and closes are written into `journal` (a printer's calls, say), so that a test sees their
// order among other calls.
struct FakeStatusWindowHost final : StatusWindowHost {
    std::vector<StatusWindowLook> shown;
    bool visible = false;
    std::vector<std::string> *journal = nullptr;

    void showAndPaint(const StatusWindowLook &look) override
    {
        shown.push_back(look);
        visible = true;
        if (journal)
            journal->push_back("status shown: " + look.labelCaption);
    }
    void close() override
    {
        visible = false;
        if (journal)
            journal->emplace_back("status closed");
    }
};

} // namespace dovrante::test
