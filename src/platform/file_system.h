#pragma once

#include "platform/types.h"

#include <optional>
#include <string>

namespace dovrante {

// Attribute bits of a path, as the program's callers know them.
namespace FileAttribute {
constexpr int ReadOnly = 1;
constexpr int Hidden = 2;
constexpr int System = 4;
constexpr int Directory = 16;
constexpr int Archive = 32;
} // namespace FileAttribute

// Files the program writes, and what it asks of paths.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    FileSystem() = default;
    FileSystem(const FileSystem &) = delete;
    FileSystem &operator=(const FileSystem &) = delete;

    // Appends the bytes in one write, creating the file when missing, so that an entry is never
    // half-written or interleaved with another writer's.
    virtual MaybeFailure append(const std::string &path, const std::string &bytes) = 0;
    // Replaces the file's contents whole: the old file stays until the new one is complete.
    virtual MaybeFailure writeWhole(const std::string &path, const std::string &bytes) = 0;
    // The path's attribute bits; nothing when the path does not exist.
    virtual std::optional<int> attributes(const std::string &path) = 0;
};

} // namespace dovrante
