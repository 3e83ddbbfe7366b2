#include "services/clip_decoding.h"

#include "services/clipboard_formats.h"
#include "services/qt_picture_files.h"

#include <QBuffer>
#include <QImageReader>
#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <iconv.h>
#include <optional>

namespace dovrante {

namespace {

std::string megabytes(std::uint64_t bytes)
{
    return std::to_string((bytes + (1u << 19)) >> 20) + " MB";
}

// Why the clip did not come, as the end of a sentence about it.
std::string whyNotFetched(const Fetched &fetched)
{
    switch (fetched.outcome) {
    case FetchOutcome::TooSlow:
        return "the program that holds it did not hand it all over within " +
               std::to_string(FetchDeadlineSeconds) + " seconds";
    case FetchOutcome::TooLarge:
        return "it is " + std::to_string(fetched.needed >> 20) + " MB or more, larger than the " +
               megabytes(MaxClipBytes) + " Dovrante takes";
    case FetchOutcome::NoMemory:
        return "there is not enough memory for it (" + megabytes(fetched.needed) + " needed, " +
               megabytes(fetched.available) + " free)";
    default:
        return "the program that holds it did not answer in time, has ended, or offers nothing";
    }
}

bool isLatin1Charset(const std::string &charset)
{
    return charset == "iso-8859-1" || charset == "iso8859-1" || charset == "latin1" ||
           charset == "us-ascii" || charset == "ascii";
}

// NULs at the end are no characters: a C string ends in one, and text sent in 16- or 32-bit
// items is padded with them.
std::string withoutEndingNuls(std::string bytes)
{
    bytes.erase(bytes.find_last_not_of('\0') + 1);
    return bytes;
}

std::string fromUtf8(std::string bytes)
{
    // Qt's decoder mends what is not well-formed and drops a leading byte order mark.
    if (!isWellFormedUtf8(bytes) || bytes.starts_with("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
    return bytes;
}

std::string fromLatin1(std::string bytes)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; }))
        return bytes;
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

// Through the C library's converters; nothing when it does not know the charset.
std::optional<std::string> throughIconv(const std::string &charset, const std::string &bytes)
{
    const iconv_t converter = ::iconv_open("UTF-8//TRANSLIT", charset.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(bytes.size() * 4 + 16, '\0');
    char *in = const_cast<char *>(bytes.data());
    char *to = out.data();
    std::size_t inLeft = bytes.size(), outLeft = out.size();
    while (inLeft > 0 &&
           ::iconv(converter, &in, &inLeft, &to, &outLeft) == static_cast<size_t>(-1)) {
        if (outLeft < 3)
            break;
        // A byte that is no character of the set stands as the replacement character.
        ++in, --inLeft;
        *to++ = '\xEF', *to++ = '\xBF', *to++ = '\xBD';
        outLeft -= 3;
    }
    ::iconv_close(converter);
    out.resize(out.size() - outLeft);
    return out;
}

std::string fromCharset(const std::string &charset, const std::string &bytes)
{
    if (auto encoding = QStringConverter::encodingForName(charset.c_str())) {
        QStringDecoder decoder(*encoding);
        return QString(decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size()))))
            .toStdString();
    }
    if (auto converted = throughIconv(charset, bytes))
        return *converted;
    return fromUtf8(bytes); // an unknown charset: most likely UTF-8 under another name
}

// COMPOUND_TEXT, X11's ISO 2022: Latin-1 until an escape sequence names another set for the
// right half (the ISO 8859 sets) or switches to UTF-8; the characters of sets of more than one
// byte a character are replaced.
std::string fromCompoundText(const std::string &bytes)
{
    static const std::pair<char, const char *> rightHalves[] = {
        {'A', "ISO-8859-1"}, {'B', "ISO-8859-2"}, {'C', "ISO-8859-3"}, {'D', "ISO-8859-4"},
        {'F', "ISO-8859-7"}, {'G', "ISO-8859-6"}, {'H', "ISO-8859-8"}, {'L', "ISO-8859-5"},
        {'M', "ISO-8859-9"}, {'b', "ISO-8859-15"}};
    std::string text, run;
    std::string set = "ISO-8859-1"; // empty: a set not decoded
    bool utf8 = false;
    const auto flush = [&] {
        if (utf8)
            text += fromUtf8(run);
        else if (set.empty())
            text.append(run.size(), '?');
        else
            text += set == "ISO-8859-1" ? fromLatin1(run) : throughIconv(set, run).value_or("?");
        run.clear();
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\x1b') {
            run += bytes[i];
            continue;
        }
        flush();
        std::size_t end = i + 1; // the final byte follows the intermediate ones
        while (end < bytes.size() && bytes[end] >= 0x20 && bytes[end] <= 0x2f)
            ++end;
        if (end >= bytes.size())
            break;
        const std::string intermediate = bytes.substr(i + 1, end - i - 1);
        const char final = bytes[end];
        if (intermediate == "%")
            utf8 = final == 'G';
        else if (intermediate == "-") {
            const auto known = std::find_if(std::begin(rightHalves), std::end(rightHalves),
                                            [&](const auto &half) { return half.first == final; });
            set = known != std::end(rightHalves) ? known->second : "";
        } else if (intermediate.starts_with("$"))
            set = "";
        else if (intermediate == "(")
            set = final == 'B' || final == 'J' ? "ISO-8859-1" : "";
        i = end;
    }
    flush();
    return text;
}

} // namespace

std::string clipboardTextNeverCame()
{
    return "The clipboard offers text, but none came from the program that holds it (it did not "
           "answer in time, has ended, or offers empty text). Nothing was taken.";
}

std::string clipboardOwnerDidNotAnswer()
{
    return "The clipboard's owner did not answer when asked what it holds (it is busy, hung or "
           "has ended). Nothing was taken.";
}

Result<std::string> clipText(const std::string &type, Fetched fetched)
{
    switch (fetched.outcome) {
    case FetchOutcome::Whole:
        break;
    case FetchOutcome::TooSlow:
    case FetchOutcome::TooLarge:
    case FetchOutcome::NoMemory:
        return Failure{"The clipboard offers text, but " + whyNotFetched(fetched) +
                       ". Nothing was taken."};
    default:
        return Failure{clipboardTextNeverCame()};
    }
    std::string bytes = withoutEndingNuls(std::move(fetched.bytes));
    const std::string charset = charsetOf(type);
    if (type == "COMPOUND_TEXT")
        bytes = fromCompoundText(bytes);
    else if (type == "STRING" || type == "TEXT" || isLatin1Charset(charset))
        bytes = fromLatin1(std::move(bytes));
    else if (charset.empty() || charset == "utf-8" || charset == "utf8")
        bytes = fromUtf8(std::move(bytes));
    else
        bytes = fromCharset(charset, bytes);
    // Nothing, or a byte order mark alone, is no text.
    if (bytes.empty())
        return Failure{clipboardTextNeverCame()};
    return bytes;
}

Result<QImage> clipPicture(const std::string &type, const Fetched &fetched)
{
    const std::string what = "The clipboard's picture (" + type + ")";
    if (fetched.outcome != FetchOutcome::Whole || fetched.bytes.empty())
        return Failure{what + " could not be fetched: " + whyNotFetched(fetched) + "."};
    QByteArray data =
        QByteArray::fromRawData(fetched.bytes.data(), static_cast<qsizetype>(fetched.bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    // The size on screen is given when the picture is handed over.
    const Result<PicturePtr> picture = decodePicture(reader, 96.0, what);
    if (!picture.ok())
        return Failure{picture.error()};
    return *imageOf(picture.value().get());
}

Result<QImage> clipPicture(PlainPng png)
{
    // What Qt's reader gives a picture whose file names no resolution.
    const QImage standard(1, 1, QImage::Format_RGB32);
    png.image.setDotsPerMeterX(png.dotsPerMeterX ? png.dotsPerMeterX : standard.dotsPerMeterX());
    png.image.setDotsPerMeterY(png.dotsPerMeterY ? png.dotsPerMeterY : standard.dotsPerMeterY());
    return std::move(png.image);
}

std::string clipUriList(Fetched fetched)
{
    if (fetched.outcome != FetchOutcome::Whole)
        return {};
    std::string &bytes = fetched.bytes;
    // Browsers write theirs in UTF-16, with or without a byte order mark: told by a zero in one
    // of the first two bytes, as Qt tells it.
    if (bytes.size() > 1) {
        const auto first = static_cast<unsigned char>(bytes[0]);
        const auto second = static_cast<unsigned char>(bytes[1]);
        if ((first == 0xff && second == 0xfe) || (first == 0xfe && second == 0xff) ||
            (first != 0) != (second != 0)) {
            const QString list =
                QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.data()),
                                   static_cast<qsizetype>(bytes.size() / 2));
            std::string lines;
            for (const QString &line : list.split(u'\n'))
                if (const QString entry = line.trimmed(); !entry.isEmpty())
                    lines += entry.toStdString() + "\r\n";
            return lines;
        }
    }
    return withoutEndingNuls(std::move(bytes));
}

std::vector<std::string> decodableImageTypes()
{
    std::vector<std::string> types;
    for (const QByteArray &type : QImageReader::supportedMimeTypes())
        types.push_back(type.toStdString());
    return types;
}

std::vector<std::string> decodableImageTypes(const std::vector<std::string> &offered)
{
    if (!mayHoldPicture(offered))
        return {};
    return needsImagePlugins(offered) ? decodableImageTypes() : builtInImageTypes();
}

std::uint64_t memoryForText(std::uint64_t bytes)
{
    return bytes * 12;
}

bool isWellFormedUtf8(const std::string &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        int more = 0;
        unsigned int code = 0;
        if (c < 0x80) {
            ++p;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            more = 1, code = c & 0x1Fu;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, code = c & 0x0Fu;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, code = c & 0x07u;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3Fu);
        }
        static constexpr unsigned int Least[] = {0, 0x80, 0x800, 0x10000};
        if (code < Least[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

} // namespace dovrante
