#pragma once
// The window's words for what a pack job reports (CPackReport) and for what Check Folder finds
// (CFolderCheckReport): plain text for the report window, to read, copy and save.

#include <string>

#include "pack/FolderCheck.h"
#include "pack/PackReport.h"

std::string PackReportText(const CPackReport& report);
std::string FolderCheckText(const std::string& folder, const CFolderCheckReport& report);
