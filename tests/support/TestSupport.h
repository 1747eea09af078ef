#pragma once
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace test {

// A fresh folder under the temporary folder, removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& p);
void WriteFileBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes);
void WriteFileText(const std::filesystem::path& p, const std::string& text);
// The names in a folder, hidden ones too.
std::set<std::string> NamesIn(const std::filesystem::path& dir);

// Runs a shell command; returns its exit status and fills `output` with stdout (and stderr when
// `mergeStderr`).
int RunCommand(const std::string& command, std::string* output = nullptr, bool mergeStderr = false);

// True when the program is on PATH (tests that need sox skip without it).
bool HaveProgram(const std::string& name);

}  // namespace test
