#include "pack/ExtractablePaths.h"

#include "container/HamperItemPath.h"
#include "framework/media/AsciiCase.h"
#include "pack/FolderDescription.h"

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

std::string PathExtractionProblem(const std::string& path) {
  const CHamperItemPath split = SplitHamperItemPath(path);
  if (!split.problem.empty()) return split.problem;
  for (const std::string& name : split.components) {
    if (name.size() > kMaxExtractedNameBytes) {
      return "a name in the path is " + std::to_string(name.size()) + " bytes long; a file system holds at most " +
             std::to_string(kMaxExtractedNameBytes);
    }
  }
  const std::string upper = NSFerryman::AsciiUpperCopy(path);
  if (split.components.size() == 1 && upper != "SPLASH.JPG" && IsDescriptionFileName(upper)) {
    return "at the top of a folder this name is a description file, which extract writes from the Hamper's "
           "description";
  }
  return {};
}

std::string CExtractablePaths::Check(const std::string& path) const {
  if (std::string problem = PathExtractionProblem(path); !problem.empty()) return problem;
  if (files_.contains(path)) return "an earlier item has the same path";
  if (const auto below = folders_.find(path); below != folders_.end()) {
    return "the earlier item " + Quoted(below->second) + " made a folder of this name";
  }
  for (std::size_t colon = path.find(':'); colon != std::string::npos; colon = path.find(':', colon + 1)) {
    const std::string folder = path.substr(0, colon);
    if (files_.contains(folder)) return "needs a folder where the earlier item " + Quoted(folder) + " is a file";
  }
  return {};
}

void CExtractablePaths::Claim(const std::string& path) {
  files_.insert(path);
  for (std::size_t colon = path.find(':'); colon != std::string::npos; colon = path.find(':', colon + 1)) {
    folders_.emplace(path.substr(0, colon), path);
  }
}

std::vector<CUnextractablePath> FindUnextractablePaths(const std::vector<CHamperIndexEntry>& index) {
  std::vector<CUnextractablePath> found;
  CExtractablePaths paths;
  for (std::size_t r = 0; r < index.size(); ++r) {
    const std::string& path = index[r].GetPath();
    if (std::string problem = paths.Check(path); !problem.empty()) {
      found.push_back({r, std::move(problem)});
    } else {
      paths.Claim(path);
    }
  }
  return found;
}
