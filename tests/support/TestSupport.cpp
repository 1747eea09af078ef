#include "support/TestSupport.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace test {

TempDir::TempDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "hamper-test-XXXXXX").string();
  if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::set<std::string> NamesIn(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + p.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + p.string());
}

void WriteFileText(const std::filesystem::path& p, const std::string& text) {
  WriteFileBytes(p, std::vector<std::uint8_t>(text.begin(), text.end()));
}

int RunCommand(const std::string& command, std::string* output, bool mergeStderr) {
  std::string cmd = command + (mergeStderr ? " 2>&1" : "");
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return -1;
  std::array<char, 4096> buf{};
  std::size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) {
    if (output) output->append(buf.data(), n);
  }
  int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveProgram(const std::string& name) {
  return RunCommand("command -v " + name + " >/dev/null 2>&1") == 0;
}

}  // namespace test
