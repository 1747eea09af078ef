// `hamper verify FILE.hmp [--source DIR] [--hampers DIR]... [--slc-library PATH] [--json] [-q]`:
// the final verification of a pack job, over any Hamper: the header, the index layout, then every
// item read or decoded with the check of its type. With --source, each item is also compared with
// the file it was packed from. Ctrl-C stops between items.

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "cli/Command.h"
#include "cli/CommandDatabase.h"
#include "cli/JobHost.h"
#include "cli/JsonText.h"
#include "cli/ProgressLine.h"
#include "cli/Terminal.h"
#include "cli/TerminalText.h"
#include "container/HamperFile.h"
#include "container/HamperHeader.h"
#include "container/HamperIndexLayout.h"
#include "framework/media/Exceptions.h"
#include "framework/media/OpenFile.h"
#include "pack/FinalVerification.h"
#include "pack/OrderedPipeline.h"
#include "pack/SLCLibraryState.h"
#include "platform/Clock.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

struct VerifyOptions {
  std::string file;
  std::string source;
  std::vector<std::string> hampers;
  std::string slcLibrary;
  bool json = false;
  bool quiet = false;
  unsigned jobs = 0;
};

struct CFailure {
  std::string path;
  int itemType;
  std::string problem;
};

// What the verification asks of its job, for the command line: the progress line, Ctrl-C as the
// stop button, and alerts kept as text for the failure they belong to.
class CVerifyRun : public MVerificationJob, public NSFerryman::MAlertHost {
 public:
  CVerifyRun(Streams& streams, bool quiet, bool stopAtFirstFailure)
      : stopAtFirstFailure_(stopAtFirstFailure),
        // One stage only: away from a terminal a progress line would say nothing the result does not.
        line_(streams.err,
              !quiet && &streams.err == &std::cerr && IsTerminal(STDERR_FILENO) ? CProgressLine::EMode::kTerminal
                                                                                : CProgressLine::EMode::kQuiet,
              TerminalWidth(STDERR_FILENO)) {}

  void SetItemCount(std::uint32_t count) { itemCount_ = count; }

  // MVerificationJob. The verification asks before each item; a "no" means the item is checked.
  bool TakeStopRequest() override {
    if (stopAtFirstFailure_ && !failures_.empty()) return true;
    if (CStopOnInterrupt::TakeInterrupt()) {
      interrupted_ = true;
      return true;
    }
    ++checked_;
    return false;
  }
  void ShowProgress(const CSimpleProgressInfo& record) override { Show(record); }
  void UpdateProgress(const CSimpleProgressInfo& record) override { Show(record); }
  std::int32_t ComputeProgress(std::int64_t done) override {
    return itemCount_ == 0 ? 0 : static_cast<std::int32_t>(done * CSimpleProgressInfo::kComplete / itemCount_);
  }

  // MAlertHost: an alert shown during a check (a bad reference, the sliced-loop library) is the
  // text of the failure that follows it.
  int PresentAlert(const NSFerryman::CAlert& alert) override {
    lastAlert_ = AlertLine(alert);
    return alert.buttons.empty() ? NSFerryman::kAlertButton1 : alert.buttons.back().result;
  }
  std::string TakeAlert() { return std::exchange(lastAlert_, {}); }

  void AddFailure(const CHamperIndexEntry& record, const std::exception_ptr& failure) {
    std::string problem = Describe(failure);
    // Some checks name the item themselves; it is named once, in front.
    if (problem.starts_with(record.GetPath() + ": ")) problem.erase(0, record.GetPath().size() + 2);
    failures_.push_back({record.GetPath(), record.GetItemType(), std::move(problem)});
  }
  void AddFailure(CFailure failure) { failures_.push_back(std::move(failure)); }
  const std::vector<CFailure>& Failures() const { return failures_; }
  bool WasInterrupted() const { return interrupted_; }
  std::uint32_t Checked() const { return checked_; }
  void EndProgress() { line_.Finish(); }

  std::string Describe(const std::exception_ptr& failure) {
    try {
      std::rethrow_exception(failure);
    } catch (const NSFerryman::XAlertAlreadyShown& e) {
      const std::string alert = TakeAlert();
      return alert.empty() ? e.what() : alert;
    } catch (const std::bad_alloc&) {
      return OutOfMemoryLine();
    } catch (const std::exception& e) {
      return e.what();
    } catch (...) {
      return "an unknown failure";
    }
  }

 private:
  void Show(const CSimpleProgressInfo& record) {
    CProgressLine::CState state;
    state.stageTitle = "Verifying";
    state.value = record.GetValue();
    // The job's item line is its stage title, a line break and the quoted Path: only the Path
    // says anything beside this command's own title.
    const std::string& text = record.GetStatusText();
    const std::size_t lineBreak = text.rfind('\r');
    state.itemText = lineBreak == std::string::npos ? std::string() : text.substr(lineBreak + 1);
    line_.Show(state, platform::MillisecondsNow());
  }

  bool stopAtFirstFailure_;
  CProgressLine line_;
  std::uint32_t itemCount_ = 0;
  std::uint32_t checked_ = 0;
  bool interrupted_ = false;
  std::vector<CFailure> failures_;
  std::string lastAlert_;
};

bool HoldsSlicedLoops(const std::vector<CHamperIndexEntry>& index) {
  return std::any_of(index.begin(), index.end(), [](const CHamperIndexEntry& e) {
    const int type = e.GetItemType();
    return type == 6 || type == 7 || type == 12;
  });
}

void PrintJson(std::ostream& out, const VerifyOptions& options, const CHamperDescription& header, const CVerifyRun& run) {
  out << "{\n  " << JsonMember("file", options.file) << ",\n  " << JsonMember("name", header.GetName())
      << ",\n  " << (options.source.empty() ? std::string("\"source\": null") : JsonMember("source", options.source))
      << ",\n  \"items\": " << header.GetEntryCount() << ",\n  \"checked\": " << run.Checked()
      << ",\n  \"stopped\": " << (run.WasInterrupted() ? "true" : "false") << ",\n  \"failures\": [";
  const auto& failures = run.Failures();
  for (std::size_t i = 0; i < failures.size(); ++i) {
    out << (i ? ",\n" : "\n") << "    {" << JsonMember("path", failures[i].path)
        << ", \"itemType\": " << failures[i].itemType << ", " << JsonMember("problem", failures[i].problem) << "}";
  }
  out << (failures.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

int Verify(const VerifyOptions& options, Streams& streams) {
  if (!options.source.empty() && !fs::is_directory(options.source)) {
    throw NSFerryman::XFileNotFound(options.source + ": no such folder");
  }
  NSFerryman::COpenFile media{NSFerryman::CFileSpec(options.file)};
  const CHamperDescription header = ReadAndCheckHamperHeader(media);
  const std::vector<CHamperIndexEntry> index = ReadHamperIndex(media, header);

  CVerifyRun run(streams, options.quiet || options.json, !options.json);
  run.SetItemCount(header.GetEntryCount());
  const std::string file = EscapeForTerminal(options.file);

  // Records that put their items outside the file, over one another or under one path: the file
  // is damaged, and no item of it is read.
  for (const CIndexLayoutProblem& problem : CheckHamperIndexLayout(header, index, media.GetSize())) {
    const CHamperIndexEntry& record = index[problem.record];
    run.AddFailure({record.GetPath(), record.GetItemType(), problem.message});
  }

  if (run.Failures().empty()) {
    CCommandDatabase commandDatabase(options.hampers, streams.err);
    CDatabase& database = commandDatabase.Get();
    CDatabaseScope scope(database);
    const CNavigationHolder hamper = database.ItemForPath(fs::absolute(options.file).string());
    if (!dynamic_cast<const MINIHamperFile*>(hamper.Get())) {
      throw NSFerryman::XBadFormat(options.file + ": cannot be opened as a Hamper");
    }

    CSLCLibraryState slc(options.slcLibrary);
    CVerificationContext context;
    context.database = &database;
    context.alerts = &run;
    context.workers = options.jobs == 0 ? COrderedPipeline::DefaultWorkers() : options.jobs;
    context.onItemFailure = [&run](const CHamperIndexEntry& record, const std::exception_ptr& failure) {
      run.AddFailure(record, failure);
    };
    if (HoldsSlicedLoops(index)) {
      try {
        slc.EnsureSLCLibrary(run);
      } catch (const NSFerryman::XAlertAlreadyShown& e) {
        streams.err << "hamper: " << file << ": " << EscapeForTerminal(run.TakeAlert()) << " ("
                    << EscapeForTerminal(e.what()) << ")\n";
        return kExitFailure;
      }
      context.slcLibrary = &slc.Library();
    }
    CSourceFolder source{"", &database};
    if (!options.source.empty()) {
      fs::path folder = fs::absolute(options.source).lexically_normal();
      if (!folder.has_filename() && folder.has_parent_path()) folder = folder.parent_path();
      source.path = folder.string();
      context.source = &source;
    }

    CStopOnInterrupt stop;
    CSimpleProgressInfo record;
    VerifyFinishedHamper(run, record, hamper, media, context);
    run.EndProgress();
  }

  if (options.json) PrintJson(streams.out, options, header, run);
  if (run.WasInterrupted()) {
    streams.err << "hamper: " << file << ": stopped after " << run.Checked() << " of " << header.GetEntryCount()
                << " items: not every item was verified\n";
    return kExitStopped;
  }
  if (!run.Failures().empty()) {
    if (!options.json) {
      // The first failure, or every problem of a damaged index, which are all known at once.
      for (const CFailure& failure : run.Failures()) {
        streams.err << "hamper: " << file << ": " << EscapeForTerminal(failure.path) << ": "
                    << EscapeForTerminal(failure.problem) << "\n";
      }
    }
    return kExitFailure;
  }
  if (!options.json) {
    streams.out << file << ": all " << header.GetEntryCount() << " items are sound";
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
