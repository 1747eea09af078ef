#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "items/SLCFileCheck.h"
#include "items/SLCLibrary.h"
#include "items/SLCLibrarySearch.h"
#include "framework/media/MemoryMedia.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string Fake(const std::string& variant) {
  return (fs::path(HAMPER_FAKE_SLC_DIR) / variant / kSLCLibraryFileName).string();
}

// Sets an environment variable for the life of the object, then puts the old value back.
class CScopedVariable {
 public:
  CScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
  }
  ~CScopedVariable() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SLCLibraryTest, LoadGivesTheResultOfEachKindOfLibrary) {
  test::TempDir dir;
  test::WriteFileText(dir / "not a library.so", "text");
  const struct {
    std::string name;
    std::string path;
    int result;
  } cases[] = {
      {"ours", HAMPER_SLC_LIBRARY_FILE, kSLCLibSuccess},
      {"1.1.1", Fake("good"), kSLCLibSuccess},
      {"nothing at the path", (dir / "missing.so").string(), kSLCLibNotFound},
      {"no path", "", kSLCLibNotFound},
      {"a folder on the way is a file", (dir / "not a library.so" / "x.so").string(), kSLCLibNotFound},
      {"not a shared library", (dir / "not a library.so").string(), kSLCLibGeneralFailure},
      {"major 0", Fake("major0"), kSLCLibTooOld},
      {"1.1.0", Fake("v110"), kSLCLibTooOld},
      {"1.0.5", Fake("v100"), kSLCLibTooOld},
      {"major 2", Fake("major2"), kSLCLibTooNew},
      {"no version", Fake("noversion"), kSLCLibGeneralFailure},
      {"an entry point missing", Fake("noentry"), kSLCLibGeneralFailure},
      {"Open refuses", Fake("openfails"), kSLCLibGeneralFailure},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CSLCLibrary library;
    EXPECT_EQ(library.Load(c.path), c.result);
    EXPECT_EQ(library.IsLoaded(), c.result == kSLCLibSuccess);
    EXPECT_EQ(library.UseCount(), c.result == kSLCLibSuccess ? 1 : 0);
  }
}

// "Open" once on the first load, "Close" only when the last use ends, none when "Open" refused.
TEST(SLCLibraryTest, UseCountDecidesWhenTheLibraryCloses) {
  test::TempDir dir;
  const fs::path log = dir / "calls";
  CScopedVariable logVariable("FAKE_SLC_LOG", log.string());
  const auto calls = [&] {
    if (!fs::exists(log)) return std::string();
    const std::vector<std::uint8_t> bytes = test::ReadFileBytes(log);
    return std::string(bytes.begin(), bytes.end());
  };

  CSLCLibrary library;
  ASSERT_EQ(library.Load(Fake("good")), kSLCLibSuccess);
  EXPECT_EQ(library.Load(Fake("good")), kSLCLibAlreadyLoaded);
  EXPECT_EQ(library.Load(Fake("major2")), kSLCLibAlreadyLoaded);  // only the count is raised
  EXPECT_EQ(library.UseCount(), 3);
  library.Unload();
  library.Unload();
  EXPECT_TRUE(library.IsLoaded());
  EXPECT_EQ(calls(), "Open\n");
  library.Unload();
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_EQ(calls(), "Open\nClose\n");
  library.Unload();  // nothing left to unload
  EXPECT_EQ(calls(), "Open\nClose\n");

  // Tried again after a failure, as the application does before each pack job.
  EXPECT_EQ(library.Load(Fake("openfails")), kSLCLibGeneralFailure);
  EXPECT_EQ(calls(), "Open\nClose\nOpen\n");
  EXPECT_EQ(library.Load(Fake("good")), kSLCLibSuccess);
  {
    CSLCLibrary second;
    ASSERT_EQ(second.Load(Fake("good")), kSLCLibSuccess);
    EXPECT_EQ(second.Load(Fake("good")), kSLCLibAlreadyLoaded);
  }  // the destructor closes whatever the count
  EXPECT_EQ(calls(), "Open\nClose\nOpen\nOpen\nOpen\nClose\n");
  EXPECT_TRUE(library.IsLoaded());
}

TEST(SLCLibraryTest, CallsWithoutALibraryGiveAbsent) {
  CSLCLibrary library;
  void* handle = nullptr;
  std::uint8_t buffer[32] = {};
  EXPECT_EQ(library.SLCCreate(&handle, buffer, sizeof buffer, 0, 0), kSLCLibAbsent);
  EXPECT_EQ(library.SLCGetCreatorInfo(handle, sizeof buffer, buffer), kSLCLibAbsent);
  EXPECT_EQ(library.SLCGetInfo(handle, sizeof buffer, buffer), kSLCLibAbsent);
  EXPECT_EQ(library.SLCGetSliceInfo(handle, 0, 8, buffer), kSLCLibAbsent);
  EXPECT_EQ(library.SLCDelete(&handle), kSLCLibAbsent);
  // Not the file's fault: no XBadFormat.
  NSFerryman::CMemoryMedia file;
  file.Write(sizeof buffer, buffer);
  EXPECT_THROW(CheckSLCFile(library, file), NSFerryman::XUnrecoverableCommandError);
}

TEST(SLCLibrarySearchTest, GivenPathsComeFirstAndAreFinal) {
  test::TempDir dir;
  const std::string inDir = (dir / kSLCLibraryFileName).string();
  test::WriteFileText(inDir, "");
  {
    CScopedVariable variable(kSLCLibraryVariable, std::nullopt);
    EXPECT_EQ(FindSLCLibrary(dir.Path().string()), inDir);
    EXPECT_EQ(FindSLCLibrary("/some/file.so"), "/some/file.so");
    // Nothing given: beside the test program there is none, so the build tree's.
    EXPECT_EQ(fs::path(FindSLCLibrary("")), fs::path(HAMPER_SLC_LIBRARY_FILE));
    const std::vector<std::string> places = SLCLibraryCandidates("");
    ASSERT_EQ(places.size(), 3u);
    EXPECT_EQ(fs::path(places[0]).parent_path(), fs::read_symlink("/proc/self/exe").parent_path());
  }
  {
    CScopedVariable variable(kSLCLibraryVariable, dir.Path().string());
    EXPECT_EQ(FindSLCLibrary(""), inDir);
    EXPECT_EQ(FindSLCLibrary("/given.so"), "/given.so");
  }
  {
    CScopedVariable variable(kSLCLibraryVariable, (dir / "missing.so").string());
    EXPECT_EQ(FindSLCLibrary(""), (dir / "missing.so").string());
    EXPECT_EQ(SLCLibraryCandidates("").size(), 1u);
  }
}

}  // namespace
