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

class FakeScreen final : public Screen {
public:
    float widthPixels = 1024;
    float heightPixels = 768;
    float pixelTwips = 15;

    float widthTwips() const override { return widthPixels * pixelTwips; }
    float heightTwips() const override { return heightPixels * pixelTwips; }
    float twipsPerPixel() const override { return pixelTwips; }
};

class FakeProgramLocation final : public ProgramLocation {
public:
    std::string folder = "/opt/Tools";
    std::string base = "Dovrante";
    std::string executable = "Dovrante.exe";

    std::string programFolder() const override { return folder; }
    std::string baseName() const override { return base; }
    std::string executableName() const override { return executable; }
};

class FakePicture final : public Picture {
public:
    FakePicture(int width, int height) : m_width(width), m_height(height) {}
    int widthHiMetric() const override { return m_width; }
    int heightHiMetric() const override { return m_height; }

private:
    int m_width;
    int m_height;
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

class FakeClipboard final : public Clipboard {
public:
    std::vector<int> formats;
    std::string clipText;
    PicturePtr clipPicture;
    std::string textError;    // when set, reading the text fails with it
    std::string pictureError; // when set, reading the picture fails with it
    int formatQueries = 0;
    int clears = 0;

    std::vector<int> availableFormats() override
    {
        ++formatQueries;
        return formats;
    }
    Result<std::string> text() override
    {
        if (!textError.empty())
            return Failure{textError};
        return clipText;
    }
    Result<PicturePtr> picture() override
    {
        if (!pictureError.empty() || !clipPicture)
            return Failure{pictureError.empty() ? "no picture on the clipboard" : pictureError};
        return clipPicture;
    }
    void clear() override
    {
        ++clears;
        formats.clear();
        clipText.clear();
        clipPicture.reset();
    }
    void setPicture(const PicturePtr &picture) override { holdPicture(picture); }

    // Fills the clipboard as a copy of text would.
    void holdText(const std::string &text)
    {
        formats = {ClipFormat::Text, ClipFormat::OemText};
        clipText = text;
        clipPicture.reset();
    }
    // Fills the clipboard as a copy of a picture would.
    void holdPicture(PicturePtr picture)
    {
        formats = {ClipFormat::Bitmap, ClipFormat::Dib};
        clipText.clear();
        clipPicture = std::move(picture);
    }
};

class FakePictureFiles final : public PictureFiles {
public:
    std::map<std::string, PicturePtr> readable;
    std::map<std::string, std::string> loadErrors;
    std::map<std::string, const Picture *> saved;
    std::string saveError;
    std::vector<std::string> loads;

    Result<PicturePtr> load(const std::string &path) override
    {
        loads.push_back(path);
        if (auto error = loadErrors.find(path); error != loadErrors.end())
            return Failure{error->second};
        if (auto found = readable.find(path); found != readable.end())
            return found->second;
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
class FakePrinter final : public Printer {
public:
    std::string name = "Office Laser";
    int mode = PrinterValue::Colour;
    int orientation = PrinterValue::Portrait;
    // Printable area in twips in portrait; landscape swaps the two.
    float portraitWidthTwips = 11520;
    float portraitHeightTwips = 15120;
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
    void setColourMode(int newMode) override
    {
        mode = newMode;
        calls.push_back("colourMode " + std::to_string(newMode));
    }
    void setOrientation(int newOrientation) override
    {
        orientation = newOrientation;
        calls.push_back("orientation " + std::to_string(newOrientation));
    }
    float scaleWidth() const override
    {
        return inUnits(turned() ? portraitHeightTwips : portraitWidthTwips);
    }
    float scaleHeight() const override
    {
        return inUnits(turned() ? portraitWidthTwips : portraitHeightTwips);
    }
    int scaleMode() const override { return currentScaleMode; }
    float scaleX(double value, int fromMode, int toMode) const override
    {
        return static_cast<float>(value * twipsPerUnit(fromMode) / twipsPerUnit(toMode));
    }
    float scaleY(double value, int fromMode, int toMode) const override
    {
        return scaleX(value, fromMode, toMode);
    }
    void paintPicture(const Picture &picture, double left, double top, double width,
                      double height) override
    {
        paints.push_back(Paint{&picture, left, top, width, height});
        std::ostringstream line;
        line << "paintPicture " << left << " " << top << " " << width << " " << height;
        calls.push_back(line.str());
    }
    void setFont(const FontSpec &newFont) override
    {
        font = newFont;
        calls.push_back("font " + newFont.name);
    }
    void printText(const std::string &text) override { calls.push_back("print " + text); }
    MaybeFailure endDoc() override
    {
        calls.emplace_back("endDoc");
        return failIf(endDocError);
    }

    // Twips in one unit of the scale mode, on a 600 DPI device.
    static double twipsPerUnit(int scaleMode) { return dovrante::twipsPerUnit(scaleMode, 600.0); }

private:
    bool turned() const { return orientation == PrinterValue::Landscape; }
    float inUnits(float twips) const
    {
        return static_cast<float>(twips / twipsPerUnit(currentScaleMode));
    }
};

class FakeInstalledPrinters final : public InstalledPrinters {
public:
    std::vector<std::string> names;
    std::vector<std::string> deviceNames() const override { return names; }
};

class FakeProfile final : public LegacyProfile {
public:
    std::map<std::string, std::string> entries; // "section/key" -> value
    std::string profileString(const std::string &section, const std::string &key,
                              const std::string &defaultValue) const override
    {
        const auto found = entries.find(section + "/" + key);
        return found == entries.end() ? defaultValue : found->second;
    }
};

class FakeSettings final : public SettingsStore {
public:
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

class FakeFileDialog final : public FileDialog {
public:
    std::vector<FileDialogRequest> requests;
    std::deque<FileDialogResult> answers; // empty: cancelled

    FileDialogResult show(const FileDialogRequest &request) override
    {
        requests.push_back(request);
        return next(answers, FileDialogResult{FileDialogResult::Outcome::Cancelled, {}, {}, {}});
    }
    void willChoose(const std::string &path, const std::string &fileName)
    {
        answers.push_back(FileDialogResult{FileDialogResult::Outcome::Chosen, path, fileName, {}});
    }
    void willFail(const std::string &error)
    {
        answers.push_back(FileDialogResult{FileDialogResult::Outcome::Failed, {}, {}, error});
    }
};

class FakeFontDialog final : public FontDialog {
public:
    std::vector<FontSpec> shownWith;
    std::deque<std::optional<FontSpec>> answers; // empty: cancelled
    std::optional<FontSpec> choose(const FontSpec &initial) override
    {
        shownWith.push_back(initial);
        return next(answers, std::optional<FontSpec>());
    }
};

class FakeMessageBox final : public MessageBox {
public:
    struct Shown {
        std::string text;
        Buttons buttons;
        Icon icon;
        Answer defaultButton;
        std::optional<std::string> title;
    };
    std::vector<Shown> shown;
    std::deque<Answer> answers; // empty: OK for OK boxes, the default button otherwise

    Answer show(const std::string &text, Buttons buttons, Icon icon, Answer defaultButton,
                const std::optional<std::string> &title) override
    {
        shown.push_back(Shown{text, buttons, icon, defaultButton, title});
        return next(answers, buttons == Buttons::Ok ? Answer::Ok : defaultButton);
    }
};

// An in-memory disk: files, folders and scripted failures.
class FakeFileSystem final : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, int> attributeOverrides;
    std::set<std::string> folders;
    std::string appendError;
    std::string writeError;
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
        if (auto found = attributeOverrides.find(path); found != attributeOverrides.end())
            return found->second;
        if (folders.count(path))
            return FileAttribute::Directory;
        if (files.count(path))
            return FileAttribute::Archive;
        return std::nullopt;
    }
};

class FakeLauncher final : public Launcher {
public:
    struct Started {
        std::string program;
        std::string argument;
        int windowStyle;
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
class FakeClock final : public Clock {
public:
    std::deque<DateTime> moments{DateTime{2026, 12, 5, 3, 50, 44}};

    DateTime now() override { return moments.size() > 1 ? next(moments, {}) : moments.front(); }
    // United States style: 12/5/2026 3:50:44 AM, and the date alone at midnight.
    std::string regionalDateTime(const DateTime &m) override
    {
        std::ostringstream text;
        text << m.month << "/" << m.day << "/" << m.year;
        if (m.hour != 0 || m.minute != 0 || m.second != 0)
            text << " " << (m.hour % 12 == 0 ? 12 : m.hour % 12) << ":" << std::setfill('0')
                 << std::setw(2) << m.minute << ":" << std::setw(2) << m.second
                 << (m.hour < 12 ? " AM" : " PM");
        return text.str();
    }
    void setNow(const DateTime &moment) { moments = {moment}; }
};

class FakeMousePointer final : public MousePointer {
public:
    std::vector<int> shapes;
    void setPointer(int shape) override { shapes.push_back(shape); }
};

class FakeProgramEnd final : public ProgramEnd {
public:
    int ends = 0;
    void endProgram() override { ++ends; }
};

class FakeStatusWindowHost final : public StatusWindowHost {
public:
    std::vector<StatusWindowLook> shown;
    int closes = 0;
    bool visible = false;
    // When set, shows and closes are written into this log too (a printer's calls, say), so that
    // a test sees their order among other calls.
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
        ++closes;
        visible = false;
        if (journal)
            journal->emplace_back("status closed");
    }
};

} // namespace dovrante::test
