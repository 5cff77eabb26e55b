#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace kelmor::render {

// The most `kelmor render` reads of one OFF or solid VRML file. The largest model Kelmor
// writes (3000 faces of 40 corners) takes a few megabytes; this leaves room for any OFF
// file from elsewhere while a device such as /dev/zero cannot fill the memory.
inline constexpr size_t kMostFileBytes = size_t{64} << 20;

// Why path cannot be read as a file of at most limit bytes: missing, a folder, a FIFO (which
// would wait for a writer), a device or a socket, named for what it is, or too large.
// Nothing when it is a regular file within the limit.
std::optional<std::string> FileProblem(const std::string& path, size_t limit = kMostFileBytes);

// Reads the whole regular file into text, at most limit bytes; the reason when it cannot
// (as FileProblem says, or the read error). Opening never waits, even on a FIFO.
std::optional<std::string> ReadBoundedFile(const std::string& path, std::string& text,
                                           size_t limit = kMostFileBytes);

}  // namespace kelmor::render
