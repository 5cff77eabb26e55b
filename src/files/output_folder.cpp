#include "files/output_folder.h"

#include <string_view>

#include "files/private_file.h"
#include "files/stale_temporaries.h"
#include "model/error.h"

namespace kelmor {

namespace fs = std::filesystem;

OutputFolderCheck CheckOutputFolder(const fs::path& folder, bool create, bool tryWriting) {
  OutputFolderCheck check;
  const std::string name = "output folder '" + folder.string() + "'";
  std::error_code ec;
  const fs::file_status status = fs::status(folder, ec);
  if (status.type() == fs::file_type::not_found && create) {
    fs::path parent = fs::absolute(folder, ec).parent_path();
    if (!fs::is_directory(parent, ec)) {
      check.problem = name + " does not exist, nor does the folder it would be made in";
      return check;
    }
    if (!fs::create_directory(folder, ec) || ec) {
      check.problem = name + " cannot be made: " + ec.message();
      return check;
    }
    check.created = true;
  } else if (status.type() == fs::file_type::not_found) {
    check.problem = name + " does not exist";
    return check;
  } else if (status.type() != fs::file_type::directory) {
    check.problem = name + " is not a folder";
    return check;
  }
  RemoveStaleTemporaries(folder);
  if (!tryWriting) return check;
  try {
    PrivateFile probe(folder / "probe");
    static constexpr char block[512] = {};
    probe.stream().write(block, sizeof block);
    // Written and closed; no wait for the disk: a full or read-only file system refuses
    // the write or the close already.
    probe.Close();
  } catch (const FileWriteError& e) {
    check.problem = name + " cannot be written: " + e.reason();
  }
  return check;
}

}  // namespace kelmor
