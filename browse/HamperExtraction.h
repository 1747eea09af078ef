#pragma once
// Writing items of a Hamper back as files below a folder, as `hamper extract` and the browser's
// Extract do, so that packing the folder again gives the same Hamper: each item at its own Path
// with ":" as "/"; an audio item in the format its name says (a 16-bit AIFF file for ".aif" and
// ".aiff" in any letter case, else a 16-bit WAV file) with everything its header holds (rate,
// loop, root key, fine tune); everything else as stored; and the description as description
// files (pack/DescriptionFileWriter.h). Nothing is ever written outside the folder
// (browse/ConfinedFolder.h), an existing file is kept unless `replace`, and a file appears whole
// or not at all, its data on the disk before its name.
//
//   CConfinedFolder folder(dir);
//   CHamperExtraction extraction(hamperFile, header, folder);
//   for (std::size_t r : records) {
//     try { extraction.Extract(index[r], replace); }      // in place and synced when it returns
//     catch (const XTargetExists&) { ... kept ... } catch (const std::exception& e) { ... }
//   }
//
// Many items are written faster in batches that are synced together:
//
//   extraction.ExtractLater(record, replace);             // throws as Extract
//   if (extraction.BatchIsFull()) report(extraction.CommitBatch());
//   ...
//   report(extraction.Finish());
//
// Extract throws what stops one item and leaves the others to be written: XBadFormat for a Path
// that names no file extract writes (pack/ExtractablePaths.h), for an item outside the file or an
// audio item that does not decode; XCreateFailed for a Path that cannot stand beside one written
// before by this extraction (the same Path, or a file where a folder is needed, or the reverse);
// XTargetExists for a file that is there (without `replace`); the XFile family for the file system.

#include <memory>
#include <string>
#include <vector>

#include "browse/ConfinedFolder.h"
#include "container/HamperDescription.h"
#include "container/HamperIndexEntry.h"
#include "framework/media/Media.h"
#include "items/AudioItemDecoder.h"
#include "pack/ExtractablePaths.h"

// The file format an audio item of this name is written in.
EAudioFileFormat AudioFileFormatOf(const std::string& name);

// The target of an item below the folder, its Path with ":" as "/"; "" when extract does not
// write that Path (PathExtractionProblem).
std::string ExtractionTarget(const CHamperIndexEntry& record);

class CHamperExtraction {
 public:
  // `hamper` reads the whole Hamper file; it and the folder must outlive the extraction.
  CHamperExtraction(NSFerryman::CMedia& hamper, const CHamperDescription& header, CConfinedFolder& folder)
      : hamper_(hamper), header_(header), folder_(folder) {}

  // Why extract does not write the item's Path (alone, or beside those written before); "" when it
  // does. Extract and ExtractLater throw it; asking first costs no exception, which counts when a
  // crafted index holds millions of such Paths.
  std::string PathProblem(const CHamperIndexEntry& record) const { return paths_.Check(record.GetPath()); }

  // Writes one item; returns its target's path below the folder.
  std::string Extract(const CHamperIndexEntry& record, bool replace);

  // Writes one item under its hidden name; it is put in place by the next CommitBatch or Finish.
  void ExtractLater(const CHamperIndexEntry& record, bool replace);
  // Whether enough is waiting for one sync to be worth it.
  bool BatchIsFull() const;
  // Puts what waits in place; returns each item that could not be, by its Path, with why.
  struct CFailure {
    std::string path;
    std::exception_ptr error;
  };
  std::vector<CFailure> CommitBatch();
  // CommitBatch, then the folders are synced too: every file written stands on the disk.
  std::vector<CFailure> Finish();

  // Writes the description files at the top of the folder (with `only`, just those of these
  // names), each kept when it is there unless `replace`, and synced. Gives each file that was not
  // written (by its name) with why, and the texts the files cannot give back exactly, in words.
  struct CDescriptionOutcome {
    std::vector<CFailure> notWritten;
    std::vector<std::string> inexact;
  };
  CDescriptionOutcome ExtractDescription(bool replace, const std::vector<std::string>& only = {});

 private:
  std::unique_ptr<CConfinedOutputFile> Write(const CHamperIndexEntry& record, bool replace);
  std::vector<CFailure> AsItemFailures(std::vector<CConfinedFolder::CCommitFailure> failures) const;

  NSFerryman::CMedia& hamper_;
  const CHamperDescription& header_;
  CConfinedFolder& folder_;
  CExtractablePaths paths_;
};
