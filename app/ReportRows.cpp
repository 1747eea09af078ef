#include "app/ReportRows.h"

#include <system_error>

#include "app/AppTexts.h"
#include "framework/resources/ResourceCache.h"

using NSFerryman::GetString;
namespace fs = std::filesystem;

namespace {

std::string Joined(const ExternalHamperNames& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// "/a/Kit/" as "/a/Kit": a folder shown in its parent needs a last name.
fs::path WithoutTrailingSeparator(fs::path folder) {
  folder = folder.lexically_normal();
  if (!folder.has_filename() && folder.has_parent_path() && folder != folder.root_path()) folder = folder.parent_path();
  return folder;
}

class CRowList {
 public:
  explicit CRowList(const std::string& folder) : folder_(WithoutTrailingSeparator(folder)) {}

  void Add(std::string kind, const std::string& file, std::string cause) {
    rows_.push_back({std::move(kind), file, std::move(cause), PathBelow(folder_, file)});
  }
  void AddWarnings(const std::vector<CFolderWarning>& warnings) {
    // A twin's cause names the other of the two; a link's needs no other path.
    for (const CFolderWarning& warning : warnings) {
      Add(FolderWarningKindName(warning.kind), warning.path,
          warning.kind == CFolderWarning::EKind::kNameTwins ? FolderWarningText(warning) : FolderWarningCause(warning));
    }
  }
  void AddExternalHampers(const std::vector<std::pair<std::string, ExternalHamperNames>>& byFile) {
    for (const auto& [file, names] : byFile) {
      Add(GetString(apptext::kRowOtherHampers), file, GetString(apptext::kRowRefersTo, {Joined(names)}));
    }
  }
  std::vector<CReportRow> Take() { return std::move(rows_); }

 private:
  fs::path folder_;
  std::vector<CReportRow> rows_;
};

std::string OneLine(std::string field) {
  for (char& c : field) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return field;
}

}  // namespace

std::vector<CReportRow> PackReportRows(const CPackReport& report) {
  CRowList rows(report.inputFolder);
  for (const CPackReport::CLeftOut& file : report.leftOut) rows.Add(file.kind, file.file, file.cause);
  rows.AddWarnings(report.Warnings());
  rows.AddExternalHampers(report.externalHampersByFile);
  return rows.Take();
}

std::vector<CReportRow> FolderCheckRows(const std::string& folder, const CFolderCheckReport& report) {
  CRowList rows(folder);
  for (const CFolderProblem& problem : report.problems) {
    rows.Add(ProblemKindName(problem.kind), problem.file,
             problem.detail + (problem.reason.empty() ? "" : " (" + problem.reason + ")"));
  }
  rows.AddWarnings(report.Warnings());
  rows.AddExternalHampers(report.externalHampers);
  return rows.Take();
}

std::string ReportRowsText(const std::vector<CReportRow>& rows) {
  std::string text;
  for (const CReportRow& row : rows) text += OneLine(row.kind) + "\t" + OneLine(row.file) + "\t" + OneLine(row.cause) + "\n";
  return text;
}

fs::path PathBelow(const fs::path& folder, const std::string& relative) {
  if (relative.empty()) return folder;
  fs::path path = folder;
  std::string name;  // the name being read: one part, or parts joined by ":" again
  bool reading = false;
  for (std::size_t begin = 0;;) {
    const std::size_t colon = relative.find(':', begin);
    const std::string part = relative.substr(begin, colon == std::string::npos ? colon : colon - begin);
    name = reading ? name + ":" + part : part;
    reading = true;
    if (colon == std::string::npos) break;
    std::error_code error;
    if (fs::is_directory(path / name, error)) {
      path /= name;
      reading = false;
    }
    begin = colon + 1;
  }
  return path / name;
}
