#pragma once
// The verification of a finished Hamper: its header is read and checked (and compared with what
// the writer meant to write, when that is given), then every index record in turn: the item is
// found by its path where the item's check needs it, and its bytes are read or decoded in full
// with the check of its item type. Audio is decoded in blocks, other items read in blocks, so
// memory does not grow with an item's size.
//
// With a source folder, each item that passes is then compared with the file it was packed from.
//
// A stop taken between items ends the verification early without an error ("Skip"). Any other
// failure is thrown: XBadFormat for a header that differs or an unknown item type, the media,
// decoding, reference and sliced-loop failures of the item checks as they come.
//
// Progress: the record gets "5/5 Verifying...", the button text "Skip" and the item count, then
// one "5/5 Verifying: <path>" line per item.

#include <exception>
#include <functional>

#include "container/HamperDescription.h"
#include "container/HamperIndexEntry.h"
#include "framework/media/Media.h"
#include "framework/media/ScratchFolder.h"
#include "framework/resources/AlertHost.h"
#include "navigation/NavigationHolder.h"
#include "pack/SimpleProgressInfo.h"
#include "pack/SourceComparison.h"
#include "pack/VerificationJob.h"

class CDatabase;
class CSLCLibrary;

struct CVerificationContext {
  // What the writer meant to write; compared field by field with the header when given.
  const CHamperDescription* expected = nullptr;
  CDatabase* database = nullptr;
  // Needed when the Hamper holds sliced loops.
  CSLCLibrary* slcLibrary = nullptr;
  // Where data too large for memory goes while an item is checked (null: the system's temporary
  // folder); a pack keeps it beside the Hamper.
  const NSFerryman::CScratchFolder* scratch = nullptr;
  // Where a reference check shows its alert; null lets the failure pass on.
  NSFerryman::MAlertHost* alerts = nullptr;
  // Threads that check items while the caller's thread takes the results in index order.
  unsigned workers = 1;
  // When set, every item is also compared with the file it was packed from (pack/SourceComparison.h).
  const CSourceFolder* source = nullptr;
  // When set, a failing item is reported here and the verification goes on with the next one.
  std::function<void(const CHamperIndexEntry&, const std::exception_ptr&)> onItemFailure;
};

// `hamper` is the Hamper's item (a MINIHamperFile); `media` reads the whole file. Gives the
// number of items checked (fewer than the Hamper holds after a stop).
std::size_t VerifyFinishedHamper(MVerificationJob& job, CSimpleProgressInfo& record, const CNavigationHolder& hamper,
                          NSFerryman::CMedia& media, const CVerificationContext& context);

// Checks one item's bytes (a window on the Hamper) by its item type.
void VerifyHamperItem(const CHamperIndexEntry& record, NSFerryman::CMedia& item, const CNavigationHolder& hamper,
                      const CHamperDescription& header, const CVerificationContext& context);
