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
#include "platform/screen.h"
#include "platform/settings_store.h"
#include "platform/status_window_host.h"

#include <deque>
#include <map>
#include <set>
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

class FakeClipboard final : public Clipboard {
public:
    std::vector<int> formats;
    std::string clipText;
    PicturePtr clipPicture;
    std::string pictureError; // when set, reading the picture fails with it
    int formatQueries = 0;
    int clears = 0;

    std::vector<int> availableFormats() override;
    std::string textError; // when set, reading the text fails with it
    Result<std::string> text() override;
    Result<PicturePtr> picture() override;
    void clear() override;
    void setPicture(const PicturePtr &picture) override;

    // Fills the clipboard as a copy of text would.
    void holdText(const std::string &text);
    // Fills the clipboard as a copy of a picture would.
    void holdPicture(PicturePtr picture);
};

class FakePictureFiles final : public PictureFiles {
public:
    std::map<std::string, PicturePtr> readable;
    std::map<std::string, std::string> loadErrors;
    std::map<std::string, const Picture *> saved;
    std::string saveError;
    std::vector<std::string> loads;

    Result<PicturePtr> load(const std::string &path) override;
    MaybeFailure saveAsBitmap(const Picture &picture, const std::string &path) override;
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
    void setColourMode(int newMode) override;
    void setOrientation(int newOrientation) override;
    float scaleWidth() const override;
    float scaleHeight() const override;
    int scaleMode() const override { return currentScaleMode; }
    float scaleX(double value, int fromMode, int toMode) const override;
    float scaleY(double value, int fromMode, int toMode) const override;
    void paintPicture(const Picture &picture, double left, double top, double width,
                      double height) override;
    void setFont(const FontSpec &newFont) override;
    void printText(const std::string &text) override;
    MaybeFailure endDoc() override;

    // Twips in one unit of the scale mode.
    static double twipsPerUnit(int scaleMode);
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
                              const std::string &defaultValue) const override;
};

class FakeSettings final : public SettingsStore {
public:
    std::map<std::string, std::string> values; // "application/section/key" -> value
    std::string setting(const std::string &application, const std::string &section,
                        const std::string &key, const std::string &defaultValue) override;
    void saveSetting(const std::string &application, const std::string &section,
                     const std::string &key, const std::string &value) override;
};

class FakeFileDialog final : public FileDialog {
public:
    std::vector<FileDialogRequest> requests;
    std::deque<FileDialogResult> answers; // empty: cancelled

    FileDialogResult show(const FileDialogRequest &request) override;
    void willChoose(const std::string &path, const std::string &fileName);
    void willCancel();
    void willFail(const std::string &error);
};

class FakeFontDialog final : public FontDialog {
public:
    std::vector<FontSpec> shownWith;
    std::deque<std::optional<FontSpec>> answers; // empty: cancelled
    std::optional<FontSpec> choose(const FontSpec &initial) override;
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
                const std::optional<std::string> &title) override;
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

    MaybeFailure append(const std::string &path, const std::string &bytes) override;
    MaybeFailure writeWhole(const std::string &path, const std::string &bytes) override;
    std::optional<int> attributes(const std::string &path) override;
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
                       int windowStyle) override;
};

// Returns the scripted moments in order, then keeps returning the last one.
class FakeClock final : public Clock {
public:
    std::deque<DateTime> moments{DateTime{2026, 12, 5, 3, 50, 44}};
    int reads = 0;

    DateTime now() override;
    // United States style: 12/5/2026 3:50:44 AM.
    std::string regionalDateTime(const DateTime &moment) override;
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
