#include "framework/media/ScratchFolder.h"

#include "framework/media/HiddenFile.h"
#include "framework/media/TemporaryOpenFile.h"

namespace NSFerryman {

const CScratchFolder& CScratchFolder::System() {
  static const CScratchFolder system;
  return system;
}

CScratchFolder::CScratchFolder(std::string folder, std::string shownAs)
    : folder_(folder.empty() ? std::string(".") : std::move(folder)), shownAs_(std::move(shownAs)) {}

std::unique_ptr<COpenFile> CScratchFolder::CreateFile() const {
  if (folder_.empty()) return std::make_unique<CTemporaryOpenFile>();
  return std::make_unique<CHiddenFile>(folder_, EHiddenKind::kSpill, shownAs_);
}

}  // namespace NSFerryman
