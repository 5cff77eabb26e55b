#pragma once

// A folder of the test's own under the temporary folder: named after the running test and
// this process (so that tests run at once never share one), made empty on construction and
// removed with everything in it on destruction.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace kelmor::testing {

class TempFolder {
 public:
  explicit TempFolder(const std::string& tag = "") {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "kelmor_" + (info ? std::string(info->test_suite_name()) + "_" + info->name() : "test");
    for (char& c : name)
      if (c == '/') c = '_';
    path_ = std::filesystem::temp_directory_path() / (name + tag + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // Copies examples/NAME into the folder; returns its path there.
  std::filesystem::path CopyExample(const std::string& name) const {
    const std::filesystem::path to = path_ / std::filesystem::path(name).filename();
    std::filesystem::copy_file(std::filesystem::path(KELMOR_SOURCE_DIR) / "examples" / name, to,
                               std::filesystem::copy_options::overwrite_existing);
    return to;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace kelmor::testing
