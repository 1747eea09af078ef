// `hamper pack INPUT_DIR [-o OUTPUT.hmp] ...`: runs the pack job on a folder and writes the Hamper.

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <unistd.h>

#include "cli/Command.h"
#include "cli/CommandDatabase.h"
#include "cli/JsonText.h"
#include "cli/JobHost.h"
#include "cli/TerminalText.h"
#include "framework/media/Exceptions.h"
#include "pack/FolderDescription.h"
#include "pack/FolderScan.h"
#include "pack/OrderedPipeline.h"
#include "pack/OutputFileName.h"
#include "pack/PackJob.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

struct PackOptions {
  std::string input;
  std::string output;
  bool force = false;
  bool skipBad = false;
  bool warnExternal = false;
  std::vector<std::string> hampers;
  std::string slcLibrary;
  bool quiet = false;
  bool json = false;
  unsigned jobs = 0;
};

// The output's default: the Hamper's Name and ".hmp", in the working folder. Empty when the
// folder gives no Name (the job then says so).
std::string DefaultOutput(const std::string& input, CDatabase& database) {
  CFileEntryList topLevel = ListTopLevel(CItemReference(database.ItemForPath(input)));
  return HamperFileName(ReadDescriptionFiles(topLevel).description.GetName());
}

void PrintSummary(std::ostream& out, const std::string& output, const CPackJob& job, double seconds) {
  out << "{\n  " << JsonMember("output", output) << ",\n  \"filesPacked\": " << job.GetFilesPacked() << ",\n  "
      << JsonArrayMember("externalHampers", job.GetExternalHampers()) << ",\n  \"outputBytes\": "
      << job.GetOutputSize() << ",\n  \"dataBytes\": " << job.GetPackedDataSize() << ",\n  \"seconds\": " << seconds
      << "\n}\n";
}

int Pack(const PackOptions& options, Streams& streams) {
  const auto started = std::chrono::steady_clock::now();
  CCommandDatabase commandDatabase(options.hampers, streams.err);
  CDatabase& database = commandDatabase.Get();
  if (!fs::is_directory(options.input)) throw NSFerryman::XFileNotFound(options.input + ": no such folder");

  CJobHostOptions hostOptions;
  hostOptions.force = options.force;
  hostOptions.skipBad = options.skipBad;
  hostOptions.quiet = options.quiet;
  hostOptions.quietSuccess = options.json;
  CCommandLineJobHost host(streams, hostOptions);
  CSLCLibraryState slc(options.slcLibrary);
  CPackJob job(host, database, slc);
  host.Attach(job);
  job.SetWarnForExternalReferences(options.warnExternal);
  job.SetWorkerCount(options.jobs == 0 ? COrderedPipeline::DefaultWorkers() : options.jobs);
  job.SetInputFolder(NSFerryman::CDirSpec(options.input));

  std::string output = options.output;
  if (output.empty()) {
    CDatabaseScope scope(database);
    output = DefaultOutput(options.input, database);
  }
  if (!output.empty()) job.SetOutputFile(NSFerryman::CFileSpec(output));

  CStopOnInterrupt stop;
  // What the packed songs and patches need besides this Hamper, once the job has found it: a
  // result the user must know, so it is said even when quiet.
  const auto tellExternalHampers = [&] {
    const auto& names = job.GetExternalHampers();
    if (names.empty()) return;
    std::string line;
    for (const std::string& name : names) line += (line.empty() ? "" : ", ") + EscapeForTerminal(name);
    streams.err << "External Hampers: " << line << "\n";
  };
  try {
    if (output.empty()) {
      // The job refuses a folder without a Name; with no output named there is nothing else to do.
      host.ShowNoName();
      return kExitFailure;
    }
    job.RunPackJob();
  } catch (const NSFerryman::XAlertAlreadyShown& e) {
    // After an alert about a file that could not be handled, the cause is worth a line too.
    if (host.LastAlertNamesAFailure() && *e.what()) streams.err << "  (" << EscapeForTerminal(e.what()) << ")\n";
    tellExternalHampers();
    return kExitFailure;
  }
  tellExternalHampers();
  if (options.json) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    PrintSummary(streams.out, output, job, seconds);
  }
  return kExitOk;
}

const CommandRegistrar kPack(
    "pack", "Pack a content folder into a Hamper (.hmp)", [](CLI::App& sub) -> std::function<int(Streams&)> {
      auto options = std::make_shared<PackOptions>();
      sub.add_option("INPUT_DIR", options->input, "The content folder to pack")->required();
      sub.add_option("-o,--output", options->output,
                     "The Hamper to write (default: the folder's Name and \".hmp\", in the working folder)");
      sub.add_flag("-f,--force", options->force, "Replace an existing output file without asking");
      sub.add_flag("--skip-bad", options->skipBad,
                   "Leave out files in a bad or unsupported format instead of stopping");
      sub.add_flag("--warn-external", options->warnExternal,
                   "Ask about each file that refers to other Hampers (without a terminal: stop)");
      AddHampersOption(sub, options->hampers);
      sub.add_option("--slc-library", options->slcLibrary, "Where the sliced-loop library is");
      sub.add_flag("-q,--quiet", options->quiet, "Show no progress");
      sub.add_flag("--json", options->json, "Print a JSON summary at the end");
      sub.add_option("-j,--jobs", options->jobs,
                     "Threads for checking, packing and verifying files (default: one per core; 1: all on one "
                     "thread). The Hamper is the same for any number")
          ->check(CLI::Range(0u, 256u));
      return [options](Streams& streams) {
        if (TooManyHampersFolders(options->hampers, streams.err)) return static_cast<int>(kExitUsage);
        // Failures that no alert of the job covers are reported by the program's own handler, as
        // the framework's alert for them ("Disk Full", ...) with the detail.
        return Pack(*options, streams);
      };
    });

}  // namespace
}  // namespace cli
