// `hamper verify FILE.hmp [--source DIR] [--hampers DIR]... [--slc-library PATH] [--json] [-q]`:
// the final verification of a pack job, over any Hamper: the header, the index layout, then every
// item read or decoded with the check of its type (pack/HamperVerification.h). With --source,
// each item is also compared with the file it was packed from. Ctrl-C stops between items.

#include <iostream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/Command.h"
#include "cli/CommandDatabase.h"
#include "cli/JobHost.h"
#include "cli/JsonText.h"
#include "cli/ProgressLine.h"
#include "cli/Terminal.h"
#include "cli/TerminalText.h"
#include "pack/HamperVerification.h"
#include "pack/OrderedPipeline.h"
#include "pack/SLCLibraryState.h"
#include "platform/Clock.h"

namespace cli {
namespace {

struct VerifyOptions {
  std::string file;
  std::string source;
  std::vector<std::string> hampers;
  std::string slcLibrary;
  bool json = false;
  bool quiet = false;
  unsigned jobs = 0;
};

// The verification's host on the command line: the progress line, and Ctrl-C as the stop button.
class CVerifyProgress : public MHamperVerificationHost {
 public:
  CVerifyProgress(Streams& streams, bool quiet)
      // One stage only: away from a terminal a progress line would say nothing the result does not.
      : line_(streams.err,
              !quiet && &streams.err == &std::cerr && IsTerminal(STDERR_FILENO) ? CProgressLine::EMode::kTerminal
                                                                                : CProgressLine::EMode::kQuiet,
              TerminalWidth(STDERR_FILENO)) {}

  bool TakeStopRequest() override { return CStopOnInterrupt::TakeInterrupt(); }
  void ShowVerificationProgress(std::int32_t perMille, std::string_view item) override {
    CProgressLine::CState state;
    state.stageTitle = "Verifying";
    state.value = perMille;
    state.itemText = std::string(item);
    line_.Show(state, platform::MillisecondsNow());
  }
  void EndProgress() { line_.Finish(); }

 private:
  CProgressLine line_;
};

void PrintJson(std::ostream& out, const VerifyOptions& options, const CHamperVerificationReport& report) {
  out << "{\n  " << JsonMember("file", options.file) << ",\n  " << JsonMember("name", report.header.GetName())
      << ",\n  " << (options.source.empty() ? std::string("\"source\": null") : JsonMember("source", options.source))
      << ",\n  \"items\": " << report.header.GetEntryCount() << ",\n  \"checked\": " << report.checked
      << ",\n  \"stopped\": " << (report.stopped ? "true" : "false") << ",\n  \"failures\": [";
  const auto& failures = report.failures;
  for (std::size_t i = 0; i < failures.size(); ++i) {
    out << (i ? ",\n" : "\n") << "    {" << JsonMember("path", failures[i].path)
        << ", \"itemType\": " << failures[i].itemType << ", " << JsonMember("problem", failures[i].problem) << "}";
  }
  out << (failures.empty() ? "]" : "\n  ]") << ",\n  \"failuresNotListed\": " << report.failuresNotListed << "\n}\n";
}

int Verify(const VerifyOptions& options, Streams& streams) {
  CCommandDatabase commandDatabase(options.hampers, streams.err);
  CSLCLibraryState slc(options.slcLibrary);
  CHamperVerificationSettings settings;
  settings.database = &commandDatabase.Get();
  settings.slc = &slc;
  settings.source = options.source;
  settings.workers = options.jobs == 0 ? COrderedPipeline::DefaultWorkers() : options.jobs;
  settings.stopAtFirstFailure = !options.json;

  CVerifyProgress progress(streams, options.quiet || options.json);
  CStopOnInterrupt stop;
  const CHamperVerificationReport report = VerifyHamperFile(options.file, settings, progress);
  progress.EndProgress();
  const std::string file = EscapeForTerminal(options.file);

  if (!report.libraryProblem.empty()) {
    streams.err << "hamper: " << file << ": " << EscapeForTerminal(report.libraryProblem) << " ("
                << EscapeForTerminal(report.libraryDetail) << ")\n";
    return kExitFailure;
  }
  if (options.json) PrintJson(streams.out, options, report);
  if (report.stopped) {
    streams.err << "hamper: " << file << ": stopped after " << report.checked << " of "
                << report.header.GetEntryCount() << " items: not every item was verified\n";
    return kExitStopped;
  }
  if (!report.Passed()) {
    if (!options.json) {
      // The first failure, or the problems of a damaged index, which are all known at once: the
      // first few of them, as the other commands warn, and a count of the rest.
      constexpr std::size_t kShown = 20;
      for (std::size_t i = 0; i < report.failures.size() && i < kShown; ++i) {
        streams.err << "hamper: " << file << ": " << EscapeForTerminal(report.failures[i].path) << ": "
                    << EscapeForTerminal(report.failures[i].problem) << "\n";
      }
      const std::uint64_t unshown =
          report.failuresNotListed + (report.failures.size() > kShown ? report.failures.size() - kShown : 0);
      if (unshown > 0) streams.err << "hamper: " << file << ": and " << unshown << " more\n";
    }
    return kExitFailure;
  }
  if (!options.json) {
    streams.out << file << ": all " << report.header.GetEntryCount() << " items are sound";
    if (!options.source.empty()) streams.out << " and match their sources in " << EscapeForTerminal(options.source);
    streams.out << "\n";
  }
  return kExitOk;
}

const CommandRegistrar kVerify(
    "verify", "Check every item of a Hamper (and, with --source, compare it with its source file)",
    [](CLI::App& sub) -> std::function<int(Streams&)> {
      auto options = std::make_shared<VerifyOptions>();
      sub.add_option("FILE", options->file, "The Hamper (.hmp) to verify")->required();
      sub.add_option("--source", options->source,
                     "The content folder the Hamper was packed from: every item is compared with its file")
          ->type_name("DIR");
      AddHampersOption(sub, options->hampers);
      sub.add_option("--slc-library", options->slcLibrary, "Where the sliced-loop library is");
      sub.add_flag("--json", options->json, "Print one JSON object with every failing item");
      sub.add_flag("-q,--quiet", options->quiet, "Show no progress");
      sub.add_option("-j,--jobs", options->jobs, "Threads that check items (default: one per core)")
          ->check(CLI::Range(0u, 256u));
      return [options](Streams& streams) {
        if (TooManyHampersFolders(options->hampers, streams.err)) return static_cast<int>(kExitUsage);
        return ReportingFailures(streams, options->file, [&] { return Verify(*options, streams); });
      };
    });

}  // namespace
}  // namespace cli
