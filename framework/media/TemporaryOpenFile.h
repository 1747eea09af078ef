#pragma once
// A file that exists only while the object lives: "temp" and 20 characters from A-Z and 0-9, in
// $TMPDIR or /tmp. It is created exclusively, so an existing file or a symbolic link at the chosen
// name is never opened or followed; a taken name is simply skipped for the next one.

#include <cstdint>
#include <string>
#include <utility>

#include "framework/media/FileSpec.h"
#include "framework/media/OpenFile.h"

namespace NSFerryman {

class CTemporaryOpenFile : public COpenFile {
 public:
  CTemporaryOpenFile();
  // Closes the file and deletes it if it still exists; never throws.
  ~CTemporaryOpenFile() override;

  const CFileSpec& GetFileSpec() const { return fileSpec_; }

  // The next name the generator gives ("temp" + 20 characters), advancing it. Exposed for tests.
  static std::string NextName();
  // Restarts the name generator from `seed`, so that tests can predict the names it gives.
  static void SeedNameGenerator(std::uint32_t seed);
  // The folder temporary files go to.
  static std::string TemporaryFolder();

 private:
  explicit CTemporaryOpenFile(std::pair<int, CFileSpec> created);
  CTemporaryOpenFile(int fd, CFileSpec fileSpec);
  static std::pair<int, CFileSpec> Create();

  CFileSpec fileSpec_;
  int registrySlot_ = -1;
};

}  // namespace NSFerryman
