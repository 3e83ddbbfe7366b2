#pragma once

// One fake of all the desktop services, with scripted answers, for fast tests of the logic. Every
// call a user could see (boxes, dialogs, launches, pointer, printer, status window, records, the
// program's end) is written as a line of text into one journal, so that a test sees their order.

#include "app/form1_services.h"
#include "platform/scale_units.h"

#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace dovrante::test {

using Lines = std::vector<std::string>;

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

// "Arial Black 36 bold italic underline strikethrough"
inline std::string describe(const FontSpec &f)
{
    std::ostringstream text;
    text << f.name << " " << f.size << (f.bold ? " bold" : "") << (f.italic ? " italic" : "")
         << (f.underline ? " underline" : "") << (f.strikethrough ? " strikethrough" : "");
    return text.str();
}

// Lists the services on few lines: the formatter gives each direct base a line of its own.
template <typename... Services>
struct Implementing : Services... {};

struct FakeDesktop
    : Implementing<Screen, ProgramLocation, Clipboard, PictureFiles, Printer, InstalledPrinters,
                   LegacyProfile, SettingsStore, FileDialog, FontDialog, MessageBox, FileSystem,
                   Launcher, Clock, MousePointer, ProgramEnd, StatusWindowHost> {
    Lines journal;

    // Pops the next scripted answer, or gives the fallback when none is left.
    template <typename T>
    static T next(std::deque<T> &answers, T fallback)
    {
        if (answers.empty())
            return fallback;
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
    // Journals the line; an error makes the call fail with it.
    MaybeFailure call(const std::string &line, const std::string &error = {})
    {
        journal.push_back(line);
        if (error.empty())
            return std::nullopt;
        return Failure{error};
    }
    // The journal's lines that start with the prefix.
    Lines lines(const std::string &prefix) const
    {
        Lines found;
        std::copy_if(journal.begin(), journal.end(), std::back_inserter(found),
                     [&](const std::string &line) { return line.starts_with(prefix); });
        return found;
    }

    // A 1024 x 768 screen at 96 DPI: fifteen twips to the pixel.
    float widthTwips() const override { return 1024 * 15; }
    float heightTwips() const override { return 768 * 15; }
    float twipsPerPixel() const override { return 15; }

    std::string folder = "/opt/Tools", base = "Dovrante", executable = "Dovrante.exe";
    std::string programFolder() const override { return folder; }
    std::string baseName() const override { return base; }
    std::string executableName() const override { return executable; }

    std::vector<int> formats;
    std::string clipText, textError; // an error makes reading the text fail with it
    std::string clipUriList;
    PicturePtr clipPicture;
    std::string pictureError; // given when there is no picture to read
    std::string formatsError; // an error makes asking what is offered fail with it
    int formatQueries = 0;
    Result<std::vector<int>> availableFormats() override
    {
        ++formatQueries;
        return formatsError.empty() ? Result<std::vector<int>>(formats) : Failure{formatsError};
    }
    Result<std::string> text() override
    {
        return textError.empty() ? Result<std::string>(clipText) : Failure{textError};
    }
    std::string uriList() override { return clipUriList; }
    Result<PicturePtr> picture() override
    {
        return clipPicture ? Result<PicturePtr>(clipPicture) : Failure{pictureError};
    }
    void clear() override { hold({}, {}, nullptr); }
    void setPicture(const PicturePtr &picture) override { holdPicture(picture); }
    // Fills the clipboard as a copy of text (text, OEM text), or of a picture (bitmap, DIB), would.
    void holdText(const std::string &t) { hold({1, 7}, t, nullptr); }
    void holdPicture(PicturePtr p) { hold({2, 8}, {}, std::move(p)); }
    void hold(std::vector<int> offered, std::string t, PicturePtr p)
    {
        formats = std::move(offered);
        clipText = std::move(t);
        clipPicture = std::move(p);
        clipUriList.clear();
    }

    std::map<std::string, PicturePtr> readable;
    std::map<std::string, std::string> loadErrors;
    std::map<std::string, const Picture *> saved;
    std::string saveError;
    Result<PicturePtr> load(const std::string &path) override
    {
        return readable.count(path) ? Result<PicturePtr>(readable[path])
                                    : Failure{loadErrors[path]};
    }
    MaybeFailure saveAsBitmap(const Picture &picture, const std::string &path) override
    {
        if (saveError.empty())
            saved[path] = &picture;
        return call("save " + path, saveError);
    }

    // A Letter-like page, its printable area in twips in portrait; landscape swaps the two.
    std::string printerName = "Office Laser", endDocError;
    ColourMode printerMode = ColourMode::FullColour;
    Orientation orientation = Orientation::Portrait;
    float pageWidth = 11520, pageHeight = 15120;
    ScaleMode currentScaleMode = ScaleMode::Twips;
    std::vector<const Picture *> painted;
    std::string deviceName() const override { return printerName; }
    ColourMode colourMode() const override { return printerMode; }
    void setColourMode(ColourMode m) override
    {
        call("colourMode " + std::to_string(static_cast<int>(printerMode = m)));
    }
    void setOrientation(Orientation o) override
    {
        call("orientation " + std::to_string(static_cast<int>(orientation = o)));
    }
    bool turned() const { return orientation == Orientation::Landscape; }
    float scaleWidth() const override { return inUnits(turned() ? pageHeight : pageWidth); }
    float scaleHeight() const override { return inUnits(turned() ? pageWidth : pageHeight); }
    ScaleMode scaleMode() const override { return currentScaleMode; }
    float scaleX(double value, ScaleMode from, ScaleMode to) const override
    {
        return static_cast<float>(value * twipsPerUnit(from) / twipsPerUnit(to));
    }
    float scaleY(double value, ScaleMode from, ScaleMode to) const override
    {
        return scaleX(value, from, to);
    }
    void paintPicture(const Picture &picture, double left, double top, double width,
                      double height) override
    {
        painted.push_back(&picture);
        std::ostringstream line;
        line << "paintPicture " << left << " " << top << " " << width << " " << height;
        call(line.str());
    }
    void setFont(const FontSpec &f) override { call("font " + describe(f)); }
    void printText(const std::string &text) override { call("print " + text); }
    MaybeFailure endDoc() override { return call("endDoc", endDocError); }
    // Twips in one unit of the scale mode, on a 600 DPI device.
    static double twipsPerUnit(ScaleMode scaleMode)
    {
        return dovrante::twipsPerUnit(scaleMode, 600.0);
    }
    float inUnits(float twips) const
    {
        return static_cast<float>(twips / twipsPerUnit(currentScaleMode));
    }

    std::vector<std::string> printerNames;
    std::vector<std::string> deviceNames() const override { return printerNames; }

    // Keyed "section/key", and "application/section/key".
    std::map<std::string, std::string> profile, settings;
    static std::string find(const std::map<std::string, std::string> &in, const std::string &key,
                            const std::string &defaultValue)
    {
        const auto found = in.find(key);
        return found == in.end() ? defaultValue : found->second;
    }
    std::string profileString(const std::string &section, const std::string &key,
                              const std::string &defaultValue) const override
    {
        return find(profile, section + "/" + key, defaultValue);
    }
    std::string setting(const std::string &application, const std::string &section,
                        const std::string &key, const std::string &defaultValue) override
    {
        return find(settings, application + "/" + section + "/" + key, defaultValue);
    }
    void saveSetting(const std::string &application, const std::string &section,
                     const std::string &key, const std::string &value) override
    {
        settings[application + "/" + section + "/" + key] = value;
    }

    // "dialog open|save; filter; index; extension; file name; folder"
    std::deque<FileDialogResult> dialogAnswers; // none left: cancelled
    FileDialogResult show(const FileDialogRequest &r) override
    {
        call(std::string("dialog ") +
             (r.mode == FileDialogRequest::Mode::Open ? "open; " : "save; ") + r.filter + "; " +
             std::to_string(r.filterIndex) + "; " + r.defaultExtension + "; " + r.initialFileName +
             "; " + r.initialFolder);
        return next(dialogAnswers, FileDialogResult{});
    }
    void willChoose(const std::string &path, const std::string &fileName)
    {
        dialogAnswers.push_back({FileDialogResult::Outcome::Chosen, path, fileName, {}});
    }

    std::deque<std::optional<FontSpec>> fontAnswers; // none left: cancelled
    std::optional<FontSpec> choose(const FontSpec &initial) override
    {
        call("font dialog " + describe(initial));
        return next(fontAnswers, std::optional<FontSpec>());
    }

    // "box text", then " | title" when there is one, and " | buttons icon default" when those are
    // not a plain OK box's.
    std::deque<Answer> boxAnswers; // none left: OK for OK boxes, the default button otherwise
    Answer show(const std::string &text, Buttons buttons, Icon icon, Answer defaultButton,
                const std::optional<std::string> &title) override
    {
        static const char *const names[] = {"Ok",          "YesNo",   "None",    "Question",
                                            "Information", "Warning", "Critical"};
        static const char *const answers[] = {"Ok", "Yes", "No"};
        std::string line = "box " + text + (title ? " | " + *title : "");
        if (buttons != Buttons::Ok || icon != Icon::None || defaultButton != Answer::Ok)
            line = line + " | " + names[int(buttons)] + " " + names[2 + int(icon)] + " " +
                   answers[int(defaultButton)];
        call(line);
        return next(boxAnswers, buttons == Buttons::Ok ? Answer::Ok : defaultButton);
    }

    // An in-memory disk: files, folders and scripted failures.
    std::map<std::string, std::string> files;
    std::map<std::string, int> attributeOverrides;
    std::set<std::string> folders;
    std::string appendError, writeError;
    MaybeFailure append(const std::string &path, const std::string &bytes) override
    {
        if (appendError.empty())
            files[path] += bytes;
        return call("append " + path, appendError);
    }
    MaybeFailure writeWhole(const std::string &path, const std::string &bytes) override
    {
        if (writeError.empty())
            files[path] = bytes;
        return call("write " + path, writeError);
    }
    std::optional<int> attributes(const std::string &path) override
    {
        if (attributeOverrides.count(path))
            return attributeOverrides[path];
        if (folders.count(path))
            return FileAttribute::Directory;
        return files.count(path) ? std::optional<int>(FileAttribute::Archive) : std::nullopt;
    }

    // "start program; argument; window style", journalled whether or not it fails.
    std::string launchError;
    MaybeFailure start(const std::string &program, const std::string &argument,
                       int windowStyle) override
    {
        return call("start " + program + "; " + argument + "; " + std::to_string(windowStyle),
                    launchError);
    }

    // The scripted moments in order, then the last one for good.
    std::deque<DateTime> moments{DateTime{2026, 12, 5, 3, 50, 44}};
    DateTime now() override { return moments.size() > 1 ? next(moments, {}) : moments.front(); }
    // Any regional form will do: "2026-12-5 3:50:44".
    std::string regionalDateTime(const DateTime &m) override
    {
        std::ostringstream text;
        text << m.year << "-" << m.month << "-" << m.day << " " << m.hour << ":" << m.minute << ":"
             << m.second;
        return text.str();
    }
    void setNow(const DateTime &moment) { moments = {moment}; }

    void setPointer(int shape) override { call("pointer " + std::to_string(shape)); }
    void endProgram() override { call("end"); }

    StatusWindowLook statusLook; // the last shown
    void showAndPaint(const StatusWindowLook &look) override
    {
        statusLook = look;
        call("status shown: " + look.labelCaption);
    }
    void close() override { call("status closed"); }
};

} // namespace dovrante::test
