#include "cli/CommandDatabase.h"

#include <filesystem>
#include <ostream>
#include <poll.h>
#include <unistd.h>

#include "cli/Terminal.h"
#include "cli/TerminalText.h"
#include "framework/resources/ResourceId.h"

namespace cli {

bool CTerminalVolumeSearch::WaitForVolume(const NSFerryman::CAlert& alert, int pollMilliseconds,
                                          const std::function<bool()>& isMounted) {
  const std::string message = EscapeForTerminal(alert.MessageWithLineBreaks(" "));
  if (!IsTerminal(STDIN_FILENO)) {
    err_ << "hamper: " << message << " (no terminal to wait at: not waiting)\n";
    return false;
  }
  err_ << "hamper: " << message << "\nWaiting for it; press Enter to cancel.\n" << std::flush;
  for (;;) {
    if (isMounted()) return true;
    pollfd input{STDIN_FILENO, POLLIN, 0};
    const int ready = ::poll(&input, 1, pollMilliseconds);
    if (ready > 0) {
      char buffer[256];
      (void)!::read(STDIN_FILENO, buffer, sizeof buffer);
      return false;
    }
    if (ready < 0 && errno != EINTR) return false;
  }
}

std::string ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : program.parent_path().string();
}

CCommandDatabase::CCommandDatabase(const std::vector<std::string>& hamperFolders, std::ostream& err)
    : volumeSearch_(err), database_(NSFerryman::AlertId(NSFerryman::kApplicationResources, 92)) {
  if (hamperFolders.size() > CDatabase::kSearchFolderSlots) throw NSFerryman::XBase(kTooManyFolders);
  for (std::size_t slot = 0; slot < hamperFolders.size(); ++slot) {
    database_.SetSearchFolder(slot, NSFerryman::CDirSpec(hamperFolders[slot]));
  }
  if (const std::string folder = ProgramFolder(); !folder.empty()) {
    database_.SetApplicationFolder(NSFerryman::CDirSpec(folder));
  }
  database_.SetVolumeSearchHost(&volumeSearch_);
}

}  // namespace cli

namespace cli {

void AddHampersOption(CLI::App& command, std::vector<std::string>& folders) {
  command.add_option("--hampers", folders, "A folder of installed Hampers (up to four)")->type_name("DIR");
}

bool TooManyHampersFolders(const std::vector<std::string>& folders, std::ostream& err) {
  if (folders.size() <= CDatabase::kSearchFolderSlots) return false;
  err << "hamper: " << CCommandDatabase::kTooManyFolders << "\n";
  return true;
}

}  // namespace cli
