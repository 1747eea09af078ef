#pragma once
// The window's words for what a pack job reports (CPackReport) and for what Check Folder finds
// (CFolderCheckReport): the whole report as plain text, to read, copy and save, and, for the
// report window, a summary to show above the list of its files (ReportRows.h).

#include <string>
#include <vector>

#include "app/ReportRows.h"
#include "pack/FolderCheck.h"
#include "pack/PackReport.h"

std::string PackReportText(const CPackReport& report);
std::string FolderCheckText(const std::string& folder, const CFolderCheckReport& report);

// How it ended, with counts in place of the lists.
std::string PackReportSummary(const CPackReport& report);
std::string FolderCheckSummary(const std::string& folder, const CFolderCheckReport& report);

// A report as the window shows it: the summary above the rows; `text` is the whole report, as
// Save As writes it.
struct CReportContents {
  std::string summary;
  std::vector<CReportRow> rows;
  std::string text;
};
CReportContents PackReportContents(const CPackReport& report);
CReportContents FolderCheckContents(const std::string& folder, const CFolderCheckReport& report);
