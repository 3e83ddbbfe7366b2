#pragma once

#include <string>
#include <vector>

namespace dovrante {

// The standard clipboard format numbers for the MIME types an X11 clipboard offers, in the order
// offered and each number once. `decodableImages` lists the image types the picture loader reads.
std::vector<int> clipboardFormatNumbers(const std::vector<std::string> &offeredTypes,
                                        const std::vector<std::string> &decodableImages);

// Whether the type is one of text: text/plain with any parameters, or one of X11's strings.
bool isTextType(const std::string &type);

// The charset a type names, in lower case without quotes; empty when it names none.
std::string charsetOf(const std::string &type);

// The offered text types, best first: UTF-8, then X11's strings, then any other in the order
// offered.
std::vector<std::string> textTargetsInOrder(const std::vector<std::string> &targets);

// The offered type to fetch the picture from (format 2), or an empty string.
std::string bestPictureType(const std::vector<std::string> &offeredTypes,
                            const std::vector<std::string> &decodableImages);

// Whether any offered type is a picture's: only then are the decodable types needed.
bool mayHoldPicture(const std::vector<std::string> &offeredTypes);

// The type of a list of locations, as a file manager offers a copied file.
inline const std::string UriListType = "text/uri-list";

// Whether the MIME type, whatever its case and parameters, is PNG's.
bool isPngType(const std::string &type);

// The image types Qt's picture loader reads without any plugin.
const std::vector<std::string> &builtInImageTypes();

// Whether some offered image type is neither read by Qt's loader itself nor known to be no
// picture: only then must the plugins be asked which types they read.
bool needsImagePlugins(const std::vector<std::string> &offeredTypes);

} // namespace dovrante
