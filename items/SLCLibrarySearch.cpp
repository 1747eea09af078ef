#include "items/SLCLibrarySearch.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace {

std::string InFolderOrFile(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec) ? (fs::path(path) / kSLCLibraryFileName).string() : path;
}

std::optional<std::string> GivenPath(const std::string& explicitPath) {
  if (!explicitPath.empty()) return InFolderOrFile(explicitPath);
  if (const char* variable = std::getenv(kSLCLibraryVariable); variable && *variable) return InFolderOrFile(variable);
  return std::nullopt;
}

std::string ExecutableFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

}  // namespace

std::vector<std::string> SLCLibraryCandidates(const std::string& explicitPath) {
  if (std::optional<std::string> given = GivenPath(explicitPath)) return {*given};
  std::vector<std::string> candidates;
  if (const std::string exe = ExecutableFolder(); !exe.empty()) {
    candidates.push_back((fs::path(exe) / kSLCLibraryFileName).string());
  }
#ifdef HAMPER_SLC_BUILD_DIR
  candidates.push_back((fs::path(HAMPER_SLC_BUILD_DIR) / kSLCLibraryFileName).string());
#endif
  if (const std::string installed = SLCLibraryInstallFolder(); !installed.empty()) {
    candidates.push_back((fs::path(installed) / kSLCLibraryFileName).string());
  }
  return candidates;
}

std::string FindSLCLibrary(const std::string& explicitPath) {
  if (std::optional<std::string> given = GivenPath(explicitPath)) return *given;
  for (const std::string& candidate : SLCLibraryCandidates(explicitPath)) {
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec)) return candidate;
  }
  return {};
}

std::string SLCLibraryInstallFolder() {
#ifdef HAMPER_SLC_INSTALL_DIR
  return HAMPER_SLC_INSTALL_DIR;
#else
  return {};
#endif
}
