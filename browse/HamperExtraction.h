#pragma once
// Writing items of a Hamper back as files below a folder, as `hamper extract` and the browser's
// Extract do: each item at its Path with ":" as "/", audio as a 16-bit WAV file with its loop and
// root key ("Kick.aif" becomes "Kick.wav"), everything else as stored. Nothing is ever written
// outside the folder (browse/ConfinedFolder.h), an existing file is kept unless `replace`, and a
// file appears whole or not at all.
//
//   CConfinedFolder folder(dir);
//   CHamperExtraction extraction(hamperFile, header, folder);
//   for (std::size_t r : records) {
//     try { extraction.Extract(index[r], replace); }
//     catch (const XTargetExists&) { ... kept ... } catch (const std::exception& e) { ... }
//   }
//
// Extract throws what stops one item and leaves the others to be written: XBadFormat for a Path
// that names no plain file below the folder, for an item outside the file or an audio item that
// does not decode; XTargetExists for a file that is there (without `replace`) and XCreateFailed
// for a target another item of this extraction took (twin Paths, or names equal once ".wav" is
// put in); the XFile family for the file system.

#include <set>
#include <string>
#include <string_view>

#include "browse/ConfinedFolder.h"
#include "container/HamperDescription.h"
#include "container/HamperIndexEntry.h"
#include "framework/media/Media.h"

// The file an audio item becomes: a name that does not say WAV gets ".wav" in place of its
// extension ("Kick.aif" -> "Kick.wav", "Kick" -> "Kick.wav").
std::string WaveFileName(const std::string& name);

// The target of an item below the folder, its Path with ":" as "/" (and ".wav" for audio); ""
// when the Path names no plain file.
std::string ExtractionTarget(const CHamperIndexEntry& record);

// True when the Path matches the shell pattern (`*`, `?`, `[...]`; ":" is an ordinary
// character, so "Drums:*" takes everything below Drums), letters a to z in any case.
bool PathMatchesPattern(std::string_view path, const std::string& pattern);

class CHamperExtraction {
 public:
  // `hamper` reads the whole Hamper file; it and the folder must outlive the extraction.
  CHamperExtraction(NSFerryman::CMedia& hamper, const CHamperDescription& header, CConfinedFolder& folder)
      : hamper_(hamper), header_(header), folder_(folder) {}

  // Writes one item; returns its target's path below the folder.
  std::string Extract(const CHamperIndexEntry& record, bool replace);

 private:
  NSFerryman::CMedia& hamper_;
  const CHamperDescription& header_;
  CConfinedFolder& folder_;
  std::set<std::string> written_;
};
