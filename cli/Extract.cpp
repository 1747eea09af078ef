// `hamper extract FILE.hmp DIR [--force] [--only PATTERN]...`: writes every item of a Hamper (or
// those whose Paths match a pattern) back as a file below DIR, at its own Path with ":" as "/",
// and the description as description files, so that packing DIR gives the same Hamper again
// (browse/HamperExtraction.h). Nothing is ever written outside DIR, whatever the index says; an
// item that cannot be written is named with the reason and the others are still written.
//
// The index is read twice, a record at a time, and never held: once to check it whole and to
// count what each pattern takes, once to write. A crafted index of millions of records costs the
// memory of the items written, not of the records it claims.

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "browse/HamperExtraction.h"
#include "browse/PathPattern.h"
#include "cli/Command.h"
#include "cli/TerminalText.h"
#include "container/HamperHeader.h"
#include "container/HamperIndexStream.h"
#include "framework/media/Exceptions.h"
#include "framework/media/OpenFile.h"
#include "framework/media/PartialOutputRegistry.h"
#include "framework/resources/ExceptionAlerts.h"

namespace cli {
namespace {

// Items not written are named up to this many; the rest are counted.
constexpr std::size_t kNamedFailures = 100;

struct ExtractOptions {
  std::string file;
  std::string dir;
  bool force = false;
  std::vector<std::string> only;
};

// Files are synced and named in batches, each file open until it is named: the larger the
// batch, the fewer the syncs. The soft limit of open files is raised as far as the hard one lets.
void RaiseOpenFileLimit() {
  struct rlimit limit;
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max || limit.rlim_cur >= 16384) return;
  limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 16384);
  ::setrlimit(RLIMIT_NOFILE, &limit);
}

// What went wrong with one item, in words.
std::string Problem(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    return NSFerryman::OutOfMemoryText();
  } catch (const NSFerryman::XDiskFull& e) {
    // "Disk Full" as for every other command; the detail names the file.
    return NSFerryman::FrameworkAlertText(e) + " (" + e.what() + ")";
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "an unknown problem";
  }
}

class CExtractRun {
 public:
  CExtractRun(const ExtractOptions& options, Streams& streams)
      : options_(options), streams_(streams), file_(EscapeForTerminal(options.file)) {}

  int Run() {
    NSFerryman::COpenFile hamper{NSFerryman::CFileSpec(options_.file)};
    const CHamperDescription header = ReadAndCheckHamperHeader(hamper);
    // The index has a media of its own: reading items elsewhere leaves its read-ahead alone.
    NSFerryman::COpenFile indexFile{NSFerryman::CFileSpec(options_.file)};
    CHamperIndexStream index(indexFile, header);
    for (const std::string& pattern : options_.only) patterns_.emplace_back(pattern);

    const std::uint64_t chosen = CheckIndexAndPatterns(index);
    if (chosen == 0 && !patterns_.empty()) return kExitFailure;

    CConfinedFolder folder(options_.dir);
    CHamperExtraction extraction(hamper, header, folder);
    // The description belongs to the whole Hamper, not to a choice of its items.
    if (patterns_.empty()) {
      const CHamperExtraction::CDescriptionOutcome description = extraction.ExtractDescription(options_.force);
      for (const auto& file : description.notWritten) Report(file.path, file.error, false);
      for (const std::string& problem : description.inexact) {
        failed_ = true;
        streams_.err << "hamper: " << file_ << ": " << EscapeForTerminal(problem) << "\n";
      }
    }
    index.Rewind();
    bool diskFull = false;
    for (CHamperIndexEntry record; !diskFull && index.Next(record);) {
      if (!IsChosen(record.GetPath())) continue;
      ++attempted_;
      if (const std::string problem = extraction.PathProblem(record); !problem.empty()) {
        ReportProblem(record.GetPath(), "not written: " + problem);
        continue;
      }
      try {
        extraction.ExtractLater(record, options_.force);
      } catch (const NSFerryman::XDiskFull&) {
        // Every item after this one would fail the same way.
        diskFull = true;
        Report(record.GetPath(), std::current_exception());
      } catch (...) {
        Report(record.GetPath(), std::current_exception());
      }
      if (extraction.BatchIsFull()) ReportAll(extraction.CommitBatch());
    }
    ReportAll(extraction.Finish());

    // After a full disk, the items not tried were not written either.
    const std::uint64_t notWritten = itemsFailed_ + (chosen - attempted_);
    if (notWritten > 0) {
      streams_.err << "hamper: " << file_ << ": " << notWritten << " of " << chosen << " items were not written"
                   << (itemsFailed_ > kNamedFailures ? " (the first " + std::to_string(kNamedFailures) + " are named above)" : "")
                   << (diskFull ? " (the disk is full: the items after it were not tried)" : "")
                   << (taken_ ? " (--force replaces files that are there)" : "") << "\n";
    } else if (taken_) {
      streams_.err << "hamper: " << file_ << ": --force replaces files that are there\n";
    }
    return failed_ ? kExitFailure : kExitOk;
  }

 private:
  bool IsChosen(const std::string& path) const {
    return patterns_.empty() ||
           std::any_of(patterns_.begin(), patterns_.end(), [&](const CPathPattern& p) { return p.Matches(path); });
  }

  // Reads the whole index once, before anything is written: a damaged one is refused whole. Says
  // which patterns take nothing; returns the number of items chosen.
  std::uint64_t CheckIndexAndPatterns(CHamperIndexStream& index) {
    std::vector<bool> used(patterns_.size());
    std::uint64_t chosen = 0;
    for (CHamperIndexEntry record; index.Next(record);) {
      bool any = patterns_.empty();
      for (std::size_t p = 0; p < patterns_.size(); ++p) {
        if (patterns_[p].Matches(record.GetPath())) any = used[p] = true;
      }
      chosen += any;
    }
    for (std::size_t p = 0; p < patterns_.size(); ++p) {
      if (used[p]) continue;
      failed_ = true;
      streams_.err << "hamper: " << file_ << ": no item's path matches " << EscapeForTerminal(patterns_[p].Text())
                   << " (paths name folders with \":\", as `hamper list` shows them)\n";
    }
    return chosen;
  }

  // Names what was not written and why; `item` false for a description file.
  void Report(const std::string& path, const std::exception_ptr& failure, bool item = true) {
    try {
      std::rethrow_exception(failure);
    } catch (const XTargetExists&) {
      taken_ = true;
    } catch (...) {
    }
    ReportProblem(path, Problem(failure), item);
  }

  void ReportProblem(const std::string& path, std::string problem, bool item = true) {
    failed_ = true;
    if (item && ++itemsFailed_ > kNamedFailures) return;
    // A problem of the target file names it by its path below DIR: said once when that is just
    // the item's Path ("Kits:Kick.wav: is there already", not "...: Kits/Kick.wav: is there ...").
    std::string asTarget = path;
    std::replace(asTarget.begin(), asTarget.end(), ':', '/');
    if (problem.starts_with(asTarget + ": ")) problem.erase(0, asTarget.size() + 2);
    streams_.err << "hamper: " << file_ << ": " << EscapeForTerminal(path) << ": " << EscapeForTerminal(problem) << "\n";
  }

  void ReportAll(const std::vector<CHamperExtraction::CFailure>& failures) {
    for (const auto& failure : failures) Report(failure.path, failure.error);
  }

  const ExtractOptions& options_;
  Streams& streams_;
  const std::string file_;
  std::vector<CPathPattern> patterns_;
  bool failed_ = false;
  bool taken_ = false;
  std::uint64_t itemsFailed_ = 0;
  std::uint64_t attempted_ = 0;
};

const CommandRegistrar kExtract(
    "extract", "Write the items and the description of a Hamper back as the files of a content folder",
    [](CLI::App& sub) -> std::function<int(Streams&)> {
      auto options = std::make_shared<ExtractOptions>();
      sub.add_option("FILE", options->file, "The Hamper (.hmp) to extract")->required();
      sub.add_option("DIR", options->dir, "The folder to write the items into (made when missing)")->required();
      sub.add_flag("-f,--force", options->force, "Replace files that are there already");
      sub.add_option("--only", options->only,
                     "Only the items whose paths match this shell pattern (\"Drums:*\", \"Caf?.wav\"), or that lie "
                     "in a folder it names (\"Drums\"); by characters of UTF-8, letter case ignored the Unicode way; "
                     "may be given more than once; a pattern that matches nothing is an error")
          ->allow_extra_args(false);
      return [options](Streams& streams) {
        NSFerryman::InstallPartialOutputRemoval();
        RaiseOpenFileLimit();
        return ReportingFailures(streams, options->file, [&] { return CExtractRun(*options, streams).Run(); });
      };
    });

}  // namespace
}  // namespace cli
