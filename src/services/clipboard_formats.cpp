#include "services/clipboard_formats.h"

#include "platform/clipboard.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <utility>

namespace dovrante {

namespace {

constexpr int FirstRegisteredFormat = 49152;

std::string lower(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The MIME type without parameters: "text/plain;charset=utf-8" is "text/plain".
std::string essence(const std::string &type)
{
    return lower(type.substr(0, type.find(';')));
}

// Whether `word` stands in the type as a whole word (between non-alphanumeric characters).
bool namesWord(const std::string &type, const std::string &word)
{
    const std::string text = lower(type);
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const bool startOk = at == 0 || !std::isalnum(static_cast<unsigned char>(text[at - 1]));
        const size_t end = at + word.size();
        const bool endOk =
            end == text.size() || !std::isalnum(static_cast<unsigned char>(text[end]));
        if (startOk && endOk)
            return true;
    }
    return false;
}

const char *const X11Strings[] = {"UTF8_STRING", "STRING", "TEXT", "COMPOUND_TEXT"};

bool isBmp(const std::string &type)
{
    const std::string e = essence(type);
    return e == "image/bmp" || e == "image/x-bmp" || e == "image/x-ms-bmp" ||
           e == "image/x-win-bitmap";
}

bool isDecodablePicture(const std::string &type, const std::vector<std::string> &decodable)
{
    const std::string e = essence(type);
    if (e == "image/tiff" || e == "image/x-tiff")
        return false;
    return isBmp(type) || std::find(decodable.begin(), decodable.end(), e) != decodable.end();
}

} // namespace

bool isTextType(const std::string &type)
{
    return essence(type) == "text/plain" ||
           std::find(std::begin(X11Strings), std::end(X11Strings), type) != std::end(X11Strings);
}

std::string charsetOf(const std::string &type)
{
    const std::string lowered = lower(type);
    const auto at = lowered.find("charset=");
    if (at == std::string::npos)
        return {};
    std::string name = lowered.substr(at + 8);
    name = name.substr(0, name.find(';'));
    std::erase_if(name, [](char c) { return c == '"' || c == '\'' || c == ' '; });
    return name;
}

std::vector<std::string> textTargetsInOrder(const std::vector<std::string> &targets)
{
    const auto rank = [](const std::string &target) {
        const std::string charset = charsetOf(target);
        if (charset == "utf-8" || charset == "utf8")
            return 0;
        const auto x11 = std::find(std::begin(X11Strings), std::end(X11Strings), target);
        if (x11 != std::end(X11Strings))
            return 1 + static_cast<int>(x11 - std::begin(X11Strings));
        return target == "text/plain" ? 5 : 6;
    };
    std::vector<std::string> ordered;
    std::copy_if(targets.begin(), targets.end(), std::back_inserter(ordered), isTextType);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [&](const auto &a, const auto &b) { return rank(a) < rank(b); });
    return ordered;
}

std::vector<int> clipboardFormatNumbers(const std::vector<std::string> &offeredTypes,
                                        const std::vector<std::string> &decodableImages)
{
    // Linear however many types are offered: a standard number is added once, and each
    // registered one is new.
    std::vector<int> numbers;
    bool added[ClipFormat::Palette + 1] = {};
    const auto add = [&](int number) {
        if (number > ClipFormat::Palette)
            numbers.push_back(number);
        else if (!std::exchange(added[number], true))
            numbers.push_back(number);
    };
    int nextRegistered = FirstRegisteredFormat;
    for (const std::string &type : offeredTypes) {
        const std::string e = essence(type);
        bool known = false;
        if (isTextType(type)) {
            add(ClipFormat::Text);
            known = true;
        }
        if (isDecodablePicture(type, decodableImages)) {
            add(ClipFormat::Bitmap);
            known = true;
        }
        if (e == "image/x-wmf" || e == "image/wmf" || e == "image/x-emf" || e == "image/emf") {
            add(ClipFormat::Metafile);
            known = true;
        }
        if (namesWord(type, "sylk")) {
            add(ClipFormat::Sylk);
            known = true;
        }
        if (namesWord(type, "dif")) {
            add(ClipFormat::Dif);
            known = true;
        }
        if (e == "image/tiff") {
            add(ClipFormat::Tiff);
            known = true;
        }
        if (isBmp(type)) {
            add(ClipFormat::Dib);
            known = true;
        }
        if (!known)
            add(nextRegistered++);
    }
    return numbers;
}

std::string bestPictureType(const std::vector<std::string> &offeredTypes,
                            const std::vector<std::string> &decodableImages)
{
    // Lossless and quick to decode first.
    for (const char *preferred : {"image/png", "image/bmp", "image/x-bmp", "image/jpeg"}) {
        for (const std::string &type : offeredTypes) {
            if (essence(type) == preferred)
                return type;
        }
    }
    for (const std::string &type : offeredTypes) {
        if (isDecodablePicture(type, decodableImages))
            return type;
    }
    return {};
}

bool mayHoldPicture(const std::vector<std::string> &offeredTypes)
{
    return std::any_of(offeredTypes.begin(), offeredTypes.end(), [](const std::string &type) {
        return type.size() > 6 && std::equal(type.begin(), type.begin() + 6, "image/",
                                             [](char a, char b) { return std::tolower(a) == b; });
    });
}

bool isPngType(const std::string &type)
{
    return essence(type) == "image/png";
}

const std::vector<std::string> &builtInImageTypes()
{
    static const std::vector<std::string> types{"image/png",
                                                "image/bmp",
                                                "image/x-portable-bitmap",
                                                "image/x-portable-graymap",
                                                "image/x-portable-pixmap",
                                                "image/x-xbitmap",
                                                "image/x-xpixmap"};
    return types;
}

bool needsImagePlugins(const std::vector<std::string> &offeredTypes)
{
    const std::vector<std::string> &builtIn = builtInImageTypes();
    return std::any_of(offeredTypes.begin(), offeredTypes.end(), [&](const std::string &type) {
        const std::string e = essence(type);
        return e.starts_with("image/") && !isBmp(type) && e != "image/tiff" &&
               e != "image/x-tiff" && std::find(builtIn.begin(), builtIn.end(), e) == builtIn.end();
    });
}

} // namespace dovrante
