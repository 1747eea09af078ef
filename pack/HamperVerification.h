#pragma once
// The verification of a Hamper file as a user asks for it (`hamper verify`, the Hamper browser's
// Verify), on any Hamper and not only the one a job has just written:
//
//   CHamperVerificationSettings settings;
//   settings.database = &database;          // references resolve here; a scope is opened
//   settings.slc = &slcState;               // loaded only when the Hamper holds sliced loops
//   settings.source = "/home/me/Content";   // optional: every item compared with its file
//   const CHamperVerificationReport report = VerifyHamperFile("/home/me/Kit.hmp", settings, host);
//   for (const CHamperItemFailure& f : report.failures) ...
//
// In order: the header (XBadFormat, thrown, names the check that failed), the index layout
// (records that put their items outside the file, over one another or under one path: each is a
// failure and no item is read), the sliced-loop library when the Hamper holds sliced loops (its
// alert's text in `libraryProblem`; no item is read), the Paths that `hamper extract` would not
// write (pack/ExtractablePaths.h; each a failure "not extractable: ...", and the items are still
// checked), then every item with the check of its type (pack/FinalVerification.h). A failing item is collected with its reason and the next one is
// checked, unless `stopAtFirstFailure`. The host's stop is taken before each item; what was
// checked until then stands.
//
// Alerts the checks show (a bad reference) become the text of the failure they belong to; none
// reaches a user. A source folder that is not a folder is XFileNotFound, thrown before anything
// is read; a file that cannot be opened throws the XFile family.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "container/HamperDescription.h"

class CDatabase;
class CSLCLibraryState;

struct CHamperItemFailure {
  std::size_t record = 0;  // the record's place in the index
  std::string path;
  int itemType = 0;
  std::string problem;     // without the Path
};

class MHamperVerificationHost {
 public:
  virtual ~MHamperVerificationHost() = default;
  // The user's stop, taken (read and cleared) before each item.
  virtual bool TakeStopRequest() = 0;
  // The per-mille progress over the items, and the item being checked ("" between items).
  virtual void ShowVerificationProgress(std::int32_t perMille, std::string_view item) = 0;
};

struct CHamperVerificationSettings {
  CDatabase* database = nullptr;
  CSLCLibraryState* slc = nullptr;
  // The content folder the Hamper was packed from; "" for none.
  std::string source;
  // Threads that check items (1: the calling thread only).
  unsigned workers = 1;
  bool stopAtFirstFailure = false;
};

struct CHamperVerificationReport {
  CHamperDescription header;
  // In index order: every layout problem, or the items that failed their checks.
  std::vector<CHamperItemFailure> failures;
  bool layoutDamaged = false;
  // The sliced-loop library could not be loaded: its alert as one line, and the detail.
  std::string libraryProblem;
  std::string libraryDetail;
  // Ended by the host's stop before every item was checked.
  bool stopped = false;
  std::uint32_t checked = 0;

  bool Passed() const { return failures.empty() && libraryProblem.empty() && !stopped; }
};

CHamperVerificationReport VerifyHamperFile(const std::string& file, const CHamperVerificationSettings& settings,
                                           MHamperVerificationHost& host);
