#pragma once

#include <filesystem>
#include <string>

namespace kelmor {

// What a run finds when it looks at its output folder before relaxing anything.
struct OutputFolderCheck {
  std::string problem;   // empty when files can be written there
  bool created = false;  // the folder did not exist and was made
};

// Looks whether files can be written into folder: it must exist (or, with create, have
// an existing parent folder, and then it is made), be a folder, and take a private
// temporary file of 512 bytes, so that a read-only, unwritable or full folder is found at
// once. The problem is a sentence naming the folder. Stale temporaries of killed runs are
// removed. Without tryWriting no temporary file is written: for a folder the caller has just
// made itself, whose files will be written at once anyway.
OutputFolderCheck CheckOutputFolder(const std::filesystem::path& folder, bool create = false,
                                    bool tryWriting = true);

}  // namespace kelmor
