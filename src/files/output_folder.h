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
// an existing parent folder, and then it is made), be a folder, and let this process
// write files of 512 bytes there: a file-size limit below that, a folder it may not write
// (read-only included) or a full file system are found at once, without writing
// anything. The problem is a sentence naming the folder. Stale temporaries of killed runs
// are removed. Without tryWriting (a folder the caller has just made itself) only the
// file-size limit is looked at.
OutputFolderCheck CheckOutputFolder(const std::filesystem::path& folder, bool create = false,
                                    bool tryWriting = true);

}  // namespace kelmor
