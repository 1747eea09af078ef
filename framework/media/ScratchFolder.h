#pragma once
// Where work puts data too large to hold in memory, for as long as the work needs it: the
// system's temporary folder, or beside a command's output, under hidden locked names on the
// output's own file system (HiddenFile.h), so that a command that writes a large file needs no
// room anywhere else.
//
//   const CScratchFolder scratch(folderOfOutput, outputPath);
//   std::unique_ptr<COpenFile> file = scratch.CreateFile();   // removed when destroyed

#include <memory>
#include <string>

#include "framework/media/OpenFile.h"

namespace NSFerryman {

class CScratchFolder {
 public:
  // $TMPDIR, else /tmp (TemporaryOpenFile.h).
  static const CScratchFolder& System();
  // Hidden files in `folder`; failures name `shownAs`, the output they serve.
  CScratchFolder(std::string folder, std::string shownAs);

  // A new empty file, read and written like any, removed when destroyed. The XFile family when
  // it cannot be made.
  std::unique_ptr<COpenFile> CreateFile() const;

 private:
  CScratchFolder() = default;

  std::string folder_;  // empty: the system's temporary folder
  std::string shownAs_;
};

}  // namespace NSFerryman
