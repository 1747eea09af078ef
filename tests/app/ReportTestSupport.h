#pragma once
// A content folder with a damaged sample and two samples whose names differ only in case, and the
// packer window set to pack it: what the report window's tests report on.

#include <QString>
#include <filesystem>
#include <vector>

#include "app/AppTestSupport.h"
#include "app/CreateWindow.h"
#include "app/ReportWindow.h"
#include "support/TestSupport.h"

namespace reporttest {

namespace fs = std::filesystem;

inline const std::vector<std::uint8_t> kBadWave = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};

inline void WriteFolderWithProblems(const fs::path& folder) {
  apptest::WriteContentFolder(folder);
  test::WriteFileBytes(folder / "Samples" / "bad.wav", kBadWave);
  fs::copy_file(folder / "Samples" / "Sample 2.wav", folder / "Samples" / "SAMPLE 2.wav");
}

struct CPackedWithProblems : apptest::CPackerFixture {
  CPackedWithProblems() {
    WriteFolderWithProblems(*this / "Kit");
    Packer().OpenItem((*this / "Kit").string());
    fs::create_directories(*this / "Out");
    Window().SetOutputFile(NSFerryman::CFileSpec((*this / "Out" / "Test Kit.hmp").string()));
  }
  QString ReportText() {
    CReportWindow* report = Window().ReportWindow();
    return report && report->isVisible() ? report->Text() : QString();
  }
};

}  // namespace reporttest
