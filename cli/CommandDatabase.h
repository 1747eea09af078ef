#pragma once
// The installed-Hamper database as a command uses it: the folders given with --hampers (at most
// four, the database's search slots), the program's own folder and the "Hampers" folder of each
// mounted CD-ROM. When a reference names a CD that is not mounted, the user is asked to insert it
// on a terminal (Enter cancels); without a terminal the search gives up at once.

#include <iosfwd>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "references/Database.h"

namespace cli {

class CTerminalVolumeSearch : public MVolumeSearchHost {
 public:
  explicit CTerminalVolumeSearch(std::ostream& err) : err_(err) {}
  bool WaitForVolume(const NSFerryman::CAlert& alert, int pollMilliseconds, const std::function<bool()>& isMounted) override;

 private:
  std::ostream& err_;
};

class CCommandDatabase {
 public:
  // XBase (a usage error) for more than four folders.
  CCommandDatabase(const std::vector<std::string>& hamperFolders, std::ostream& err);
  CDatabase& Get() { return database_; }

  static constexpr const char* kTooManyFolders = "at most four --hampers folders can be searched";

 private:
  CTerminalVolumeSearch volumeSearch_;
  CDatabase database_;
};

// The folder the running program lies in ("" when it cannot be told).
std::string ProgramFolder();

// The --hampers option of a command, and the check of its count (a usage error beyond four).
void AddHampersOption(CLI::App& command, std::vector<std::string>& folders);
bool TooManyHampersFolders(const std::vector<std::string>& folders, std::ostream& err);

}  // namespace cli
