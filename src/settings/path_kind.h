#pragma once

#include <string>

namespace kelmor {

// What a path names when it is neither a regular file nor missing, in words for a
// message: "a folder", "a FIFO (named pipe)", "a device", "a socket", "a loop of symbolic
// links" (which no program can open). Empty for a regular
// file (symbolic links followed) or a path that names nothing yet.
std::string NonFileKind(const std::string& path);

}  // namespace kelmor
