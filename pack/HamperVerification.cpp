#include "pack/HamperVerification.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <utility>

#include "container/HamperFile.h"
#include "container/HamperHeader.h"
#include "container/HamperIndexLayout.h"
#include "framework/media/Exceptions.h"
#include "framework/media/OpenFile.h"
#include "pack/ExtractablePaths.h"
#include "pack/FileWork.h"
#include "pack/FinalVerification.h"
#include "pack/SLCLibraryState.h"
#include "references/Database.h"

namespace {

namespace fs = std::filesystem;

// An alert as one line: its title, then its message with the line breaks as spaces.
std::string AlertText(const NSFerryman::CAlert& alert) {
  std::string message = alert.MessageWithLineBreaks(" ");
  return alert.title.empty() ? message : alert.title + ": " + message;
}

// What the final verification asks of its job, for a verification the user asked for: the
// host's stop and progress, the alerts of the checks kept as the text of their failures.
class CVerificationRun : public MVerificationJob, public NSFerryman::MAlertHost {
 public:
  CVerificationRun(MHamperVerificationHost& host, CHamperVerificationReport& report, bool stopAtFirstFailure)
      : host_(host), report_(report), stopAtFirstFailure_(stopAtFirstFailure) {}

  bool TakeStopRequest() override {
    if (stopAtFirstFailure_ && !report_.failures.empty()) return true;
    if (host_.TakeStopRequest()) {
      report_.stopped = true;
      return true;
    }
    ++report_.checked;
    return false;
  }
  void ShowProgress(const CSimpleProgressInfo& record) override { Show(record); }
  void UpdateProgress(const CSimpleProgressInfo& record) override { Show(record); }
  std::int32_t ComputeProgress(std::int64_t done) override {
    const std::uint32_t count = report_.header.GetEntryCount();
    return count == 0 ? 0 : static_cast<std::int32_t>(done * CSimpleProgressInfo::kComplete / count);
  }

  int PresentAlert(const NSFerryman::CAlert& alert) override {
    lastAlert_ = AlertText(alert);
    return alert.buttons.empty() ? NSFerryman::kAlertButton1 : alert.buttons.back().result;
  }
  std::string TakeAlert() { return std::exchange(lastAlert_, {}); }

  void AddFailure(std::size_t index, const CHamperIndexEntry& record, const std::exception_ptr& failure) {
    std::string problem = Describe(failure);
    // Some checks name the item themselves; it is named once, by the caller.
    if (problem.starts_with(record.GetPath() + ": ")) problem.erase(0, record.GetPath().size() + 2);
    report_.failures.push_back({index, record.GetPath(), record.GetItemType(), std::move(problem)});
  }

 private:
  std::string Describe(const std::exception_ptr& failure) {
    try {
      std::rethrow_exception(failure);
    } catch (const NSFerryman::XAlertAlreadyShown& e) {
      const std::string alert = TakeAlert();
      return alert.empty() ? e.what() : alert;
    } catch (...) {
      return DescribeFailure(failure);
    }
  }

  void Show(const CSimpleProgressInfo& record) {
    // The job's item line is its stage title, a line break and the quoted Path: only the Path
    // says anything beside the host's own title.
    const std::string& text = record.GetStatusText();
    const std::size_t lineBreak = text.rfind('\r');
    host_.ShowVerificationProgress(record.GetValue(), lineBreak == std::string::npos
                                                          ? std::string_view()
                                                          : std::string_view(text).substr(lineBreak + 1));
  }

  MHamperVerificationHost& host_;
  CHamperVerificationReport& report_;
  bool stopAtFirstFailure_;
  std::string lastAlert_;
};

bool HoldsSlicedLoops(const std::vector<CHamperIndexEntry>& index) {
  return std::any_of(index.begin(), index.end(), [](const CHamperIndexEntry& e) {
    const int type = e.GetItemType();
    return type == 6 || type == 7 || type == 12;
  });
}

}  // namespace

CHamperVerificationReport VerifyHamperFile(const std::string& file, const CHamperVerificationSettings& settings,
                                           MHamperVerificationHost& host) {
  if (!settings.source.empty() && !fs::is_directory(settings.source)) {
    throw NSFerryman::XFileNotFound(settings.source + ": no such folder");
  }
  if (!settings.database) throw NSFerryman::XBase("verification without an installed-Hamper database");
  CHamperVerificationReport report;
  NSFerryman::COpenFile media{NSFerryman::CFileSpec(file)};
  report.header = ReadAndCheckHamperHeader(media);
  const std::vector<CHamperIndexEntry> index = ReadHamperIndex(media, report.header);

  // Records that put their items outside the file, over one another or under one path: the file
  // is damaged, and no item of it is read.
  for (const CIndexLayoutProblem& problem : CheckHamperIndexLayout(report.header, index, media.GetSize())) {
    const CHamperIndexEntry& record = index[problem.record];
    report.failures.push_back({problem.record, record.GetPath(), record.GetItemType(), problem.message});
  }
  if (!report.failures.empty()) {
    report.layoutDamaged = true;
    return report;
  }

  CDatabase& database = *settings.database;
  CDatabaseScope scope(database);
  const CNavigationHolder hamper = database.ItemForPath(fs::absolute(file).string());
  if (!dynamic_cast<const MINIHamperFile*>(hamper.Get())) {
    throw NSFerryman::XBadFormat(file + ": cannot be opened as a Hamper");
  }

  CVerificationRun run(host, report, settings.stopAtFirstFailure);
  CVerificationContext context;
  context.database = &database;
  context.alerts = &run;
  context.workers = std::max(1u, settings.workers);
  // Each failing item is kept with its place in the index, which twin Paths do not give.
  std::size_t next = 0;
  context.onItemFailure = [&](const CHamperIndexEntry& record, const std::exception_ptr& failure) {
    while (next < index.size() && !(index[next] == record)) ++next;
    run.AddFailure(next < index.size() ? next : 0, record, failure);
  };
  if (HoldsSlicedLoops(index)) {
    if (!settings.slc) throw NSFerryman::XBase("verification of sliced loops without the sliced-loop library");
    try {
      settings.slc->EnsureSLCLibrary(run);
    } catch (const NSFerryman::XAlertAlreadyShown& e) {
      report.libraryProblem = run.TakeAlert();
      report.libraryDetail = e.what();
      return report;
    }
    context.slcLibrary = &settings.slc->Library();
  }
  CSourceFolder source{"", &database};
  if (!settings.source.empty()) {
    fs::path folder = fs::absolute(settings.source).lexically_normal();
    if (!folder.has_filename() && folder.has_parent_path()) folder = folder.parent_path();
    source.path = folder.string();
    context.source = &source;
  }

  // Paths that extract will not write are findings as well; every item is still checked.
  for (CUnextractablePath& path : FindUnextractablePaths(index)) {
    const CHamperIndexEntry& entry = index[path.record];
    report.failures.push_back({path.record, entry.GetPath(), entry.GetItemType(), "not extractable: " + path.problem});
  }
  const std::size_t pathFindings = report.failures.size();

  CSimpleProgressInfo record;
  VerifyFinishedHamper(run, record, hamper, media, context);
  std::inplace_merge(report.failures.begin(), report.failures.begin() + static_cast<std::ptrdiff_t>(pathFindings),
                     report.failures.end(),
                     [](const CHamperItemFailure& a, const CHamperItemFailure& b) { return a.record < b.record; });
  return report;
}
