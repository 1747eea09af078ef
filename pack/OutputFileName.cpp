#include "pack/OutputFileName.h"

namespace {

// The longest file name most Linux file systems take (NAME_MAX).
constexpr std::size_t kMaxFileNameBytes = 255;

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string HamperFileName(const std::string& hamperName) {
  if (hamperName.empty()) return {};
  std::string stem = hamperName;
  for (char& c : stem) {
    // A line break or other control character in a file name only causes trouble later.
    if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  }
  if (stem == "." || stem == "..") stem = "_";
  const std::size_t room = kMaxFileNameBytes - (sizeof kHamperExtension - 1);
  if (stem.size() > room) {
    std::size_t cut = room;
    // Cutting inside a character would leave a name that is no longer valid UTF-8.
    while (cut > 0 && IsUtf8Continuation(stem[cut])) --cut;
    stem.resize(cut);
  }
  return stem + kHamperExtension;
}
