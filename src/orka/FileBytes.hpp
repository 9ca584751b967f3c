#pragma once

/// \file
/// Reading a whole file for the engine's loaders without exceptions or unbounded reads.

#include <cstddef>
#include <string>
#include <vector>

namespace orka {

/// The bytes of one file, or why there are none. Made by readFileBytes.
struct FileBytes {
    std::vector<char> bytes;  ///< the whole file when `ok`
    bool ok = false;          ///< false: `reason` says why (the bytes are empty)
    std::string reason;       ///< "it is a folder", the system's message, or the size limit
};

/// Largest file a loader reads (256 MiB): a device such as /dev/zero never ends, and no font,
/// image, sound or atlas of a game comes near it.
constexpr std::size_t largestFileBytes = std::size_t{256} * 1024 * 1024;

/// Reads `path` to its end, however its size changes while it is read. Never throws and never
/// blocks: folders are refused, a pipe without a writer reads as empty, a device that would
/// block is an error, and more than `maxBytes` bytes is an error. Logs nothing: the caller
/// names the kind of file in its own message.
FileBytes readFileBytes(const std::string& path, std::size_t maxBytes = largestFileBytes);

}  // namespace orka
