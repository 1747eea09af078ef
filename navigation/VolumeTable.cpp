#include "navigation/VolumeTable.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// mountinfo writes space, tab, newline and backslash in paths as a backslash and three octal
// digits.
std::string DecodeOctalEscapes(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() &&
        std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                    text.begin() + static_cast<std::ptrdiff_t>(i) + 4,
                    [](char c) { return c >= '0' && c <= '7'; })) {
      out += static_cast<char>(((text[i + 1] - '0') << 6) | ((text[i + 2] - '0') << 3) | (text[i + 3] - '0'));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

// udev writes unsafe characters of a label as "\x" and two hex digits.
std::string DecodeHexEscapes(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
      out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool IsNetworkFileSystem(const std::string& type) {
  static constexpr std::array<const char*, 6> kTypes = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "afs"};
  return std::find(kTypes.begin(), kTypes.end(), type) != kTypes.end();
}

std::string LastComponent(const std::string& path) {
  if (path == "/") return "/";
  return fs::path(path).filename().string();
}

}  // namespace

std::vector<CShellVolume> CVolumeTable::Parse(const std::string& mountinfo,
                                              const std::map<std::string, std::string>& labels) {
  std::vector<CShellVolume> volumes;
  std::istringstream lines(mountinfo);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream in(line);
    std::vector<std::string> fields;
    for (std::string field; in >> field;) fields.push_back(field);
    // id parent major:minor root mount-point options [optional...] - type source super-options
    const auto separator = std::find(fields.begin(), fields.end(), "-");
    if (fields.size() < 6 || separator - fields.begin() < 6 || fields.end() - separator < 3) continue;
    const std::string root = DecodeOctalEscapes(fields[3]);
    CShellVolume volume;
    volume.mountPoint = DecodeOctalEscapes(fields[4]);
    volume.fileSystemType = *(separator + 1);
    volume.source = DecodeOctalEscapes(*(separator + 2));
    const bool onDevice = volume.source.rfind("/dev/", 0) == 0;
    // A root other than "/" is a bind mount of a part of some file system, not a volume.
    if (root != "/" ||
        !(onDevice || IsNetworkFileSystem(volume.fileSystemType) || volume.mountPoint == "/")) {
      continue;
    }
    const auto label = labels.find(volume.source);
    volume.name = label != labels.end() ? label->second : LastComponent(volume.mountPoint);
    std::erase_if(volumes, [&](const CShellVolume& v) { return v.mountPoint == volume.mountPoint; });
    volumes.push_back(std::move(volume));
  }
  return volumes;
}

std::vector<CShellVolume> CVolumeTable::ReadSystem() {
  std::map<std::string, std::string> labels;
  std::error_code ec;
  for (fs::directory_iterator it("/dev/disk/by-label", ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path device = fs::canonical(it->path(), ec);
    if (!ec) labels[device.string()] = DecodeHexEscapes(it->path().filename().string());
    ec.clear();
  }
  std::ifstream in("/proc/self/mountinfo");
  std::stringstream text;
  text << in.rdbuf();
  // Sources are often links (/dev/disk/by-uuid/..., /dev/mapper/...): match them by their target.
  std::vector<CShellVolume> volumes = Parse(text.str());
  for (CShellVolume& volume : volumes) {
    const fs::path device = fs::canonical(volume.source, ec);
    if (ec) {
      ec.clear();
      continue;
    }
    const auto label = labels.find(device.string());
    if (label != labels.end()) volume.name = label->second;
  }
  return volumes;
}
