#include "app/ReportText.h"

#include <algorithm>
#include <cstdio>

#include "app/AppTexts.h"
#include "framework/resources/ResourceCache.h"

using NSFerryman::GetString;

namespace {

std::string Line(NSFerryman::ResourceId id, const std::vector<std::string>& arguments = {}) {
  return GetString(id, arguments) + "\n";
}

// 12345678 as "12,345,678".
std::string Grouped(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

std::string Duration(std::uint64_t milliseconds) {
  char text[32];
  if (milliseconds < 60000) {
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(milliseconds) / 1000.0);
  } else {
    const std::uint64_t seconds = milliseconds / 1000;
    std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned long long>(seconds / 60 % 60), static_cast<unsigned long long>(seconds % 60));
  }
  return text;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// How the job ended, its time and its size: the lines both the text and the summary begin with.
std::string PackReportHead(const CPackReport& report) {
  using EOutcome = CPackReport::EOutcome;
  std::string text = Line(apptext::kReportHamperFrom, {report.hamperName, report.inputFolder});
  switch (report.outcome) {
    case EOutcome::kNotRun: break;
    case EOutcome::kComplete:
      text += Line(apptext::kReportWrittenTo, {report.output});
      text += Line(report.verificationSkipped ? apptext::kReportCompleteSkipped : apptext::kReportComplete,
                   {std::to_string(report.filesPacked)});
      break;
    case EOutcome::kStopped: text += Line(apptext::kReportStopped); break;
    case EOutcome::kEndedByAlert:
      text += Line(apptext::kReportEnded, {report.endedBy.empty() ? report.cause : report.endedBy});
      if (!report.endedBy.empty() && !report.cause.empty()) text += Line(apptext::kReportCause, {report.cause});
      break;
    case EOutcome::kFailed: text += Line(apptext::kReportFailed, {report.cause}); break;
  }
  text += Line(apptext::kReportTime, {Duration(report.milliseconds)});
  if (report.outcome == EOutcome::kComplete) {
    const std::uint64_t percent = report.sourceBytes ? report.outputBytes * 100 / report.sourceBytes : 0;
    text += Line(apptext::kReportSize, {Grouped(report.outputBytes), Grouped(report.sourceBytes), std::to_string(percent)});
  }
  return text;
}

bool NothingToSay(const CPackReport& report) {
  return report.leftOut.empty() && report.Warnings().empty() && report.outcome == CPackReport::EOutcome::kComplete;
}

std::string FolderCheckHead(const std::string& folder, const CFolderCheckReport& report) {
  return Line(apptext::kReportHamperFrom, {report.description.GetName(), folder}) +
         Line(apptext::kCheckPackableFiles, {std::to_string(report.packableFiles)});
}

// The other Hampers of every file, each once, in the order found.
std::vector<std::string> HampersOf(const std::vector<std::pair<std::string, ExternalHamperNames>>& byFile) {
  std::vector<std::string> hampers;
  for (const auto& entry : byFile) {
    for (const std::string& name : entry.second) {
      if (std::find(hampers.begin(), hampers.end(), name) == hampers.end()) hampers.push_back(name);
    }
  }
  return hampers;
}

}  // namespace

std::string PackReportText(const CPackReport& report) {
  std::string text = PackReportHead(report);
  const std::vector<CFolderWarning> warnings = report.Warnings();
  if (!report.leftOut.empty()) {
    text += "\n" + Line(apptext::kReportLeftOut, {std::to_string(report.leftOut.size())});
    for (const CPackReport::CLeftOut& file : report.leftOut) text += "  " + file.file + ": " + file.kind + ": " + file.cause + "\n";
  }
  if (!warnings.empty()) {
    text += "\n" + Line(apptext::kReportWarnings, {std::to_string(warnings.size())});
    for (const CFolderWarning& warning : warnings) text += "  " + FolderWarningText(warning) + "\n";
  }
  if (!report.externalHampers.empty()) text += "\n" + Line(apptext::kReportExternalHampers, {Joined(report.externalHampers)});
  if (NothingToSay(report)) text += "\n" + Line(apptext::kReportNothingToSay);
  return text;
}

std::string PackReportSummary(const CPackReport& report) {
  std::string rest;
  if (!report.leftOut.empty()) rest += Line(apptext::kSummaryLeftOut, {std::to_string(report.leftOut.size())});
  if (const std::size_t warnings = report.Warnings().size()) rest += Line(apptext::kSummaryWarnings, {std::to_string(warnings)});
  if (!report.externalHampers.empty()) rest += Line(apptext::kReportExternalHampers, {Joined(report.externalHampers)});
  if (NothingToSay(report)) rest += Line(apptext::kReportNothingToSay);
  return PackReportHead(report) + (rest.empty() ? "" : "\n" + rest);
}

std::string FolderCheckText(const std::string& folder, const CFolderCheckReport& report) {
  std::string text = FolderCheckHead(folder, report);
  if (report.problems.empty()) {
    text += "\n" + Line(apptext::kCheckNoProblems);
  } else {
    text += "\n" + Line(apptext::kCheckProblems, {std::to_string(report.problems.size())});
    for (const CFolderProblem& problem : report.problems) {
      text += "  " + (problem.file.empty() ? std::string() : problem.file + ": ") + ProblemKindName(problem.kind) +
              (problem.detail.empty() ? "" : ": " + problem.detail) +
              (problem.reason.empty() ? "" : " (" + problem.reason + ")") + "\n";
    }
  }
  const std::vector<CFolderWarning> warnings = report.Warnings();
  if (!warnings.empty()) {
    text += "\n" + Line(apptext::kReportWarnings, {std::to_string(warnings.size())});
    for (const CFolderWarning& warning : warnings) text += "  " + FolderWarningText(warning) + "\n";
  }
  if (!report.externalHampers.empty()) {
    text += "\n" + Line(apptext::kCheckExternalHampers);
    for (const auto& [file, names] : report.externalHampers) text += "  " + file + ": " + Joined(names) + "\n";
  }
  return text;
}

std::string FolderCheckSummary(const std::string& folder, const CFolderCheckReport& report) {
  std::string text = FolderCheckHead(folder, report) + "\n";
  text += report.problems.empty() ? Line(apptext::kCheckNoProblems)
                                  : Line(apptext::kSummaryProblems, {std::to_string(report.problems.size())});
  if (const std::size_t warnings = report.Warnings().size()) text += Line(apptext::kSummaryWarnings, {std::to_string(warnings)});
  const std::vector<std::string> hampers = HampersOf(report.externalHampers);
  if (!hampers.empty()) text += Line(apptext::kReportExternalHampers, {Joined(hampers)});
  return text;
}

CReportContents PackReportContents(const CPackReport& report) {
  return {PackReportSummary(report), PackReportRows(report), PackReportText(report)};
}

CReportContents FolderCheckContents(const std::string& folder, const CFolderCheckReport& report) {
  return {FolderCheckSummary(folder, report), FolderCheckRows(folder, report), FolderCheckText(folder, report)};
}
