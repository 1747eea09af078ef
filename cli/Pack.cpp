// `hamper pack INPUT_DIR [-o OUTPUT.hmp] ...`: runs the pack job on a folder and writes the Hamper.

#include <atomic>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <unistd.h>

#include "cli/Command.h"
#include "cli/CommandDatabase.h"
#include "cli/JsonText.h"
#include "cli/JsonWarnings.h"
#include "cli/JobHost.h"
#include "cli/TerminalText.h"
#include "framework/media/Exceptions.h"
#include "pack/FolderDescription.h"
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

void PrintSummary(std::ostream& out, const std::string& output, const CPackReport& report) {
  out << "{\n  " << JsonMember("output", output) << ",\n  \"outcome\": " << JsonString(OutcomeName(report.outcome));
  if (!report.endedBy.empty()) out << ",\n  " << JsonMember("endedBy", report.endedBy);
  if (report.outcome != CPackReport::EOutcome::kComplete && !report.cause.empty()) {
    out << ",\n  " << JsonMember("cause", report.cause);
  }
  out << ",\n  \"filesPacked\": " << report.filesPacked << ",\n  \"leftOut\": [";
  for (std::size_t i = 0; i < report.leftOut.size(); ++i) {
    const CPackReport::CLeftOut& file = report.leftOut[i];
    out << (i ? ",\n" : "\n") << "    {" << JsonMember("file", file.file) << ", \"kind\": " << JsonString(file.kind)
        << ", " << JsonMember("cause", file.cause) << "}";
  }
  out << (report.leftOut.empty() ? "]" : "\n  ]") << ",\n  " << JsonWarnings("warnings", report.Warnings()) << ",\n  "
      << JsonArrayMember("externalHampers", report.externalHampers)
      << ",\n  \"outputBytes\": " << report.outputBytes << ",\n  \"dataBytes\": " << report.dataBytes
      << ",\n  \"sourceBytes\": " << report.sourceBytes << ",\n  \"verificationSkipped\": "
      << (report.verificationSkipped ? "true" : "false") << ",\n  \"seconds\": " << report.milliseconds / 1000.0
      << "\n}\n";
}

int Pack(const PackOptions& options, Streams& streams) {
  CCommandDatabase commandDatabase(options.hampers, streams.err);
  CDatabase& database = commandDatabase.Get();
  // Before anything is asked or deleted.
  if (!fs::is_directory(options.input)) throw NSFerryman::XFileNotFound(options.input + ": no such folder");

  CJobHostOptions hostOptions;
  hostOptions.quiet = options.quiet;
  hostOptions.quietSuccess = options.json;
  CCommandLineJobHost host(streams, hostOptions);
  CSLCLibraryState slc(options.slcLibrary);
  CPackJob job(host, database, slc);
  host.Attach(job);
  CPackQuestions questions;
  questions.replaceExisting = options.force ? EAnswer::kYes : EAnswer::kAsk;
  questions.leaveOutBadFiles = options.skipBad ? EAnswer::kYes : EAnswer::kAsk;
  questions.warnForExternalHampers = options.warnExternal;
  job.SetQuestions(questions);
  job.SetWorkerCount(options.jobs == 0 ? COrderedPipeline::DefaultWorkers() : options.jobs);
  job.SetInputFolder(NSFerryman::CDirSpec(options.input));

  // The output's default: the Hamper's Name and ".hmp", in the working folder.
  std::string output = options.output;
  if (output.empty()) {
    const CHamperDescription description =
        ReadInputFolderDescription(database, NSFerryman::CDirSpec(options.input), nullptr);
    // The job refuses a folder without a Name; with no output named there is nothing else to do.
    if (description.GetName().empty()) {
      host.ShowNoName();
      return kExitFailure;
    }
    output = HamperFileName(description.GetName());
  }
  job.SetOutputFile(NSFerryman::CFileSpec(output));

  // What the packed songs and patches need besides this Hamper, once the job has found it (a
  // result the user must know, so it is said even when quiet), and the summary, however the job
  // ended.
  const auto tellResults = [&] {
    const CPackReport& report = job.GetReport();
    if (!report.externalHampers.empty()) {
      std::string line;
      for (const std::string& name : report.externalHampers) line += (line.empty() ? "" : ", ") + EscapeForTerminal(name);
      streams.err << "External Hampers: " << line << "\n";
    }
    if (options.json) PrintSummary(streams.out, output, report);
  };
  CStopOnInterrupt stop;
  try {
    job.RunPackJob();
  } catch (const NSFerryman::XAlertAlreadyShown&) {
    tellResults();
    return kExitFailure;
  } catch (...) {
    tellResults();
    throw;
  }
  tellResults();
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
