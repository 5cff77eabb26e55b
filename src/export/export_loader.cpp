#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "export/export_module.h"

namespace kelmor {

namespace {

namespace fs = std::filesystem;

struct Loaded {
  std::string path;
  std::string error;
  ExportSolutionFn solution = nullptr;
};

std::vector<fs::path> Candidates() {
  std::vector<fs::path> paths;
  if (const char* env = std::getenv("KELMOR_EXPORT_MODULE"); env && *env) return {fs::path(env)};
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return paths;
  paths.push_back(exe.parent_path() / "kelmor-export.so");
  paths.push_back(exe.parent_path() / KELMOR_EXPORT_INSTALLED);
  // The window companion lives in its own folder; it finds the module where it is installed.
  paths.push_back(fs::path(KELMOR_EXPORT_INSTALLED_FULL));
  return paths;
}

const Loaded& Module() {
  static Loaded loaded;
  static std::once_flag once;
  std::call_once(once, [] {
    std::vector<fs::path> paths = Candidates();
    if (paths.empty()) {
      loaded.error = "the export module kelmor-export.so cannot be looked for (no /proc/self/exe)";
      return;
    }
    fs::path chosen = paths.front();
    for (const fs::path& p : paths) {
      std::error_code ec;
      if (fs::exists(p, ec)) {
        chosen = p;
        break;
      }
    }
    loaded.path = chosen.lexically_normal().string();
    void* handle = dlopen(loaded.path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = dlerror();
      loaded.error = "the export module cannot be loaded: " + std::string(why ? why : loaded.path) +
                     " (reinstall Kelmor, or set KELMOR_EXPORT_MODULE to its kelmor-export.so)";
      return;
    }
    auto version = reinterpret_cast<ExportVersionFn>(dlsym(handle, "KelmorExportVersion"));
    auto solution = reinterpret_cast<ExportSolutionFn>(dlsym(handle, "KelmorExportSolution"));
    if (!version || !solution || std::string(version()) != ExportModuleVersion) {
      loaded.error = "the export module " + loaded.path + " belongs to another Kelmor build";
      dlclose(handle);
      return;
    }
    loaded.solution = solution;  // stays loaded for the rest of the program
  });
  return loaded;
}

}  // namespace

std::string ExportModulePath() { return Module().path; }

ExportOutcome ExportThroughModule(const SolutionSnapshot& s, const ExportRequest& r) {
  const Loaded& m = Module();
  ExportOutcome out;
  if (!m.solution) {
    out.failures.push_back(m.error);
    return out;
  }
  m.solution(&s, &r, &out);
  return out;
}

}  // namespace kelmor
