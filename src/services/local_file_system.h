#pragma once

#include "platform/file_system.h"

namespace dovrante {

// Files on the local disk.
class LocalFileSystem final : public FileSystem {
public:
    MaybeFailure append(const std::string &path, const std::string &bytes) override;
    MaybeFailure writeWhole(const std::string &path, const std::string &bytes) override;
    std::optional<int> attributes(const std::string &path) override;
};

} // namespace dovrante
