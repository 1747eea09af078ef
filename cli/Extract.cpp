// `hamper extract FILE.hmp DIR [--force] [--only PATTERN]...`: writes every item of a Hamper (or
// those whose Paths match a pattern) back as a file below DIR, at its Path with ":" as "/": audio
// as a 16-bit WAV file with its loop and root key, everything else as stored
// (browse/HamperExtraction.h). Nothing is ever written outside DIR, whatever the index says; an
// item that cannot be written is reported and the others are still written.

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "browse/HamperExtraction.h"
#include "cli/Command.h"
#include "framework/resources/ExceptionAlerts.h"
#include "cli/TerminalText.h"
#include "container/HamperHeader.h"
#include "framework/media/Exceptions.h"
#include "framework/media/HiddenFile.h"
#include "framework/media/OpenFile.h"
#include "framework/media/PartialOutputRegistry.h"

namespace cli {
namespace {

struct ExtractOptions {
  std::string file;
  std::string dir;
  bool force = false;
  std::vector<std::string> only;
};

int Extract(const ExtractOptions& options, Streams& streams) {
  NSFerryman::COpenFile hamper{NSFerryman::CFileSpec(options.file)};
  const CHamperDescription header = ReadAndCheckHamperHeader(hamper);
  const std::vector<CHamperIndexEntry> index = ReadHamperIndex(hamper, header);
  std::vector<const CHamperIndexEntry*> chosen;
  for (const CHamperIndexEntry& record : index) {
    const auto matches = [&](const std::string& pattern) { return PathMatchesPattern(record.GetPath(), pattern); };
    if (options.only.empty() || std::any_of(options.only.begin(), options.only.end(), matches)) chosen.push_back(&record);
  }
  if (chosen.empty() && !options.only.empty()) {
    streams.err << "hamper: " << EscapeForTerminal(options.file) << ": no item's path matches "
                << EscapeForTerminal(options.only.size() == 1 ? options.only.front() : "any of the patterns")
                << " (paths name folders with \":\", as `hamper list` shows them)\n";
    return kExitFailure;
  }
  CConfinedFolder folder(options.dir);
  // What a killed extract left where these items go.
  std::vector<std::string> paths;
  for (const CHamperIndexEntry* record : chosen) paths.push_back(record->GetPath());
  NSFerryman::RemoveLeftoverFilesWhereFilesGo(options.dir, paths, ':');
  CHamperExtraction extraction(hamper, header, folder);

  std::size_t failed = 0;
  bool taken = false;
  const auto report = [&](const CHamperIndexEntry& record, std::string problem) {
    ++failed;
    // A problem of the target file names it by its path below DIR: said once when that is just
    // the item's Path ("Kits:Kick.wav: is there already", not "...: Kits/Kick.wav: is there ...").
    std::string asTarget = record.GetPath();
    std::replace(asTarget.begin(), asTarget.end(), ':', '/');
    if (problem.starts_with(asTarget + ": ")) problem.erase(0, asTarget.size() + 2);
    streams.err << "hamper: " << EscapeForTerminal(options.file) << ": " << EscapeForTerminal(record.GetPath())
                << ": " << EscapeForTerminal(problem) << "\n";
  };
  for (const CHamperIndexEntry* chosenRecord : chosen) {
    const CHamperIndexEntry& record = *chosenRecord;
    try {
      extraction.Extract(record, options.force);
    } catch (const XTargetExists& e) {
      taken = true;
      report(record, e.what());
    } catch (const std::bad_alloc&) {
      report(record, NSFerryman::OutOfMemoryText());
    } catch (const std::exception& e) {
      report(record, e.what());
    }
  }
  if (failed > 0) {
    streams.err << "hamper: " << EscapeForTerminal(options.file) << ": " << failed << " of " << chosen.size()
                << " items were not written" << (taken ? " (--force replaces files that are there)" : "") << "\n";
    return kExitFailure;
  }
  return kExitOk;
}

const CommandRegistrar kExtract(
    "extract", "Write the items of a Hamper back as files (audio as WAV)",
    [](CLI::App& sub) -> std::function<int(Streams&)> {
      auto options = std::make_shared<ExtractOptions>();
      sub.add_option("FILE", options->file, "The Hamper (.hmp) to extract")->required();
      sub.add_option("DIR", options->dir, "The folder to write the items into (made when missing)")->required();
      sub.add_flag("-f,--force", options->force, "Replace files that are there already");
      sub.add_option("--only", options->only,
                     "Only the items whose paths match this pattern (\"Drums:*\", \"*.wav\"; letter case ignored); "
                     "may be given more than once")
          ->allow_extra_args(false);
      return [options](Streams& streams) {
        NSFerryman::InstallPartialOutputRemoval();
        return ReportingFailures(streams, options->file, [&] { return Extract(*options, streams); });
      };
    });

}  // namespace
}  // namespace cli
