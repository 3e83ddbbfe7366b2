#include "support/fakes.h"

#include "platform/scale_units.h"

#include <algorithm>
#include <cstdio>

namespace dovrante::test {

std::vector<int> FakeClipboard::availableFormats()
{
    ++formatQueries;
    return formats;
}

Result<std::string> FakeClipboard::text()
{
    if (!textError.empty())
        return Failure{textError};
    return clipText;
}

Result<PicturePtr> FakeClipboard::picture()
{
    if (!pictureError.empty())
        return Failure{pictureError};
    if (!clipPicture)
        return Failure{"no picture on the clipboard"};
    return clipPicture;
}

void FakeClipboard::clear()
{
    ++clears;
    formats.clear();
    clipText.clear();
    clipPicture.reset();
}

void FakeClipboard::setPicture(const PicturePtr &picture)
{
    holdPicture(picture);
}

void FakeClipboard::holdText(const std::string &text)
{
    formats = {ClipFormat::Text, ClipFormat::OemText};
    clipText = text;
    clipPicture.reset();
}

void FakeClipboard::holdPicture(PicturePtr picture)
{
    formats = {ClipFormat::Bitmap, ClipFormat::Dib};
    clipText.clear();
    clipPicture = std::move(picture);
}

Result<PicturePtr> FakePictureFiles::load(const std::string &path)
{
    loads.push_back(path);
    if (auto error = loadErrors.find(path); error != loadErrors.end())
        return Failure{error->second};
    if (auto found = readable.find(path); found != readable.end())
        return found->second;
    return Failure{"File not found: " + path};
}

MaybeFailure FakePictureFiles::saveAsBitmap(const Picture &picture, const std::string &path)
{
    if (!saveError.empty())
        return Failure{saveError};
    saved[path] = &picture;
    return std::nullopt;
}

double FakePrinter::twipsPerUnit(int scaleMode)
{
    return dovrante::twipsPerUnit(scaleMode, 600.0);
}

void FakePrinter::setColourMode(int newMode)
{
    mode = newMode;
    calls.push_back("colourMode " + std::to_string(newMode));
}

void FakePrinter::setOrientation(int newOrientation)
{
    orientation = newOrientation;
    calls.push_back("orientation " + std::to_string(newOrientation));
}

float FakePrinter::scaleWidth() const
{
    const float twips =
        orientation == PrinterValue::Landscape ? portraitHeightTwips : portraitWidthTwips;
    return static_cast<float>(twips / twipsPerUnit(currentScaleMode));
}

float FakePrinter::scaleHeight() const
{
    const float twips =
        orientation == PrinterValue::Landscape ? portraitWidthTwips : portraitHeightTwips;
    return static_cast<float>(twips / twipsPerUnit(currentScaleMode));
}

float FakePrinter::scaleX(double value, int fromMode, int toMode) const
{
    return static_cast<float>(value * twipsPerUnit(fromMode) / twipsPerUnit(toMode));
}

float FakePrinter::scaleY(double value, int fromMode, int toMode) const
{
    return scaleX(value, fromMode, toMode);
}

void FakePrinter::paintPicture(const Picture &picture, double left, double top, double width,
                               double height)
{
    paints.push_back(Paint{&picture, left, top, width, height});
    char line[160];
    std::snprintf(line, sizeof line, "paintPicture %g %g %g %g", left, top, width, height);
    calls.emplace_back(line);
}

void FakePrinter::setFont(const FontSpec &newFont)
{
    font = newFont;
    calls.push_back("font " + newFont.name);
}

void FakePrinter::printText(const std::string &text)
{
    calls.push_back("print " + text);
}

MaybeFailure FakePrinter::endDoc()
{
    calls.emplace_back("endDoc");
    if (!endDocError.empty())
        return Failure{endDocError};
    return std::nullopt;
}

std::string FakeProfile::profileString(const std::string &section, const std::string &key,
                                       const std::string &defaultValue) const
{
    const auto found = entries.find(section + "/" + key);
    return found == entries.end() ? defaultValue : found->second;
}

std::string FakeSettings::setting(const std::string &application, const std::string &section,
                                  const std::string &key, const std::string &defaultValue)
{
    const auto found = values.find(application + "/" + section + "/" + key);
    return found == values.end() ? defaultValue : found->second;
}

void FakeSettings::saveSetting(const std::string &application, const std::string &section,
                               const std::string &key, const std::string &value)
{
    values[application + "/" + section + "/" + key] = value;
}

FileDialogResult FakeFileDialog::show(const FileDialogRequest &request)
{
    requests.push_back(request);
    if (answers.empty())
        return FileDialogResult{FileDialogResult::Outcome::Cancelled, {}, {}, {}};
    FileDialogResult answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakeFileDialog::willChoose(const std::string &path, const std::string &fileName)
{
    answers.push_back(FileDialogResult{FileDialogResult::Outcome::Chosen, path, fileName, {}});
}

void FakeFileDialog::willCancel()
{
    answers.push_back(FileDialogResult{FileDialogResult::Outcome::Cancelled, {}, {}, {}});
}

void FakeFileDialog::willFail(const std::string &error)
{
    answers.push_back(FileDialogResult{FileDialogResult::Outcome::Failed, {}, {}, error});
}

std::optional<FontSpec> FakeFontDialog::choose(const FontSpec &initial)
{
    shownWith.push_back(initial);
    if (answers.empty())
        return std::nullopt;
    std::optional<FontSpec> answer = answers.front();
    answers.pop_front();
    return answer;
}

MessageBox::Answer FakeMessageBox::show(const std::string &text, Buttons buttons, Icon icon,
                                        Answer defaultButton,
                                        const std::optional<std::string> &title)
{
    shown.push_back(Shown{text, buttons, icon, defaultButton, title});
    if (answers.empty())
        return buttons == Buttons::Ok ? Answer::Ok : defaultButton;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

MaybeFailure FakeFileSystem::append(const std::string &path, const std::string &bytes)
{
    ++appendCalls;
    if (!appendError.empty())
        return Failure{appendError};
    files[path] += bytes;
    return std::nullopt;
}

MaybeFailure FakeFileSystem::writeWhole(const std::string &path, const std::string &bytes)
{
    if (!writeError.empty())
        return Failure{writeError};
    files[path] = bytes;
    return std::nullopt;
}

std::optional<int> FakeFileSystem::attributes(const std::string &path)
{
    if (auto found = attributeOverrides.find(path); found != attributeOverrides.end())
        return found->second;
    if (folders.count(path))
        return FileAttribute::Directory;
    if (files.count(path))
        return FileAttribute::Archive;
    return std::nullopt;
}

MaybeFailure FakeLauncher::start(const std::string &program, const std::string &argument,
                                 int windowStyle)
{
    if (!failure.empty())
        return Failure{failure};
    started.push_back(Started{program, argument, windowStyle});
    return std::nullopt;
}

DateTime FakeClock::now()
{
    ++reads;
    const DateTime moment = moments.front();
    if (moments.size() > 1)
        moments.pop_front();
    return moment;
}

std::string FakeClock::regionalDateTime(const DateTime &m)
{
    char date[32];
    std::snprintf(date, sizeof date, "%d/%d/%d", m.month, m.day, m.year);
    if (m.hour == 0 && m.minute == 0 && m.second == 0)
        return date;
    const int hour12 = m.hour % 12 == 0 ? 12 : m.hour % 12;
    char line[64];
    std::snprintf(line, sizeof line, "%s %d:%02d:%02d %s", date, hour12, m.minute, m.second,
                  m.hour < 12 ? "AM" : "PM");
    return line;
}

} // namespace dovrante::test
