#include "container/HamperItemPath.h"

std::string CHamperItemPath::Relative() const {
  std::string joined;
  for (const std::string& c : components) joined += (joined.empty() ? "" : "/") + c;
  return joined;
}

CHamperItemPath SplitHamperItemPath(const std::string& path) {
  CHamperItemPath split;
  for (std::size_t start = 0;;) {
    const std::size_t colon = path.find(':', start);
    split.components.push_back(path.substr(start, colon == std::string::npos ? std::string::npos : colon - start));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  for (const std::string& c : split.components) {
    if (c.empty()) {
      split.problem = "the path has an empty name in it";
    } else if (c == "." || c == "..") {
      split.problem = "the path has the name \"" + c + "\" in it";
    } else if (c.find('/') != std::string::npos) {
      split.problem = "the name \"" + c + "\" holds a \"/\"";
    } else if (c.find('\0') != std::string::npos) {
      split.problem = "a name in the path holds a zero byte";
    }
    if (!split.problem.empty()) break;
  }
  return split;
}
