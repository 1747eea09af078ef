#pragma once
// The rows of the report window's list: what a pack left out or warned about, or what Check
// Folder found, one file each (kind, file, cause), with the file's place on disk so that its
// folder can be shown. Plain data, free of the toolkit.
//
//   for (const CReportRow& row : PackReportRows(report)) ...   // row.path: Show in Folder

#include <filesystem>
#include <string>
#include <vector>

#include "pack/FolderCheck.h"
#include "pack/PackReport.h"

struct CReportRow {
  std::string kind;   // "bad format", "letter-case twins", "other Hampers", ...
  std::string file;   // as the report names it, relative to the folder ("" for the folder itself)
  std::string cause;  // why it is listed
  std::filesystem::path path;  // the file on disk (the folder itself for "")
};

// Left out, then warnings, then the files that refer to other Hampers.
std::vector<CReportRow> PackReportRows(const CPackReport& report);
// Problems, then warnings, then the files that refer to other Hampers.
std::vector<CReportRow> FolderCheckRows(const std::string& folder, const CFolderCheckReport& report);

// Rows as text to paste: kind, file and cause separated by tabs, one row a line. Tabs and line
// breaks inside a field become spaces, so that each row stays one line of three fields.
std::string ReportRowsText(const std::vector<CReportRow>& rows);

// `relative` ("Samples:Kick.wav") below `folder` as a path on disk. A name may hold ":" itself
// (the pack leaves such a file out for that reason): parts are taken as folders only where such
// a folder exists, and joined back with ":" otherwise.
std::filesystem::path PathBelow(const std::filesystem::path& folder, const std::string& relative);
