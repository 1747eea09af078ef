#pragma once
// The two operations the pack job runs on each packable file, chosen by its file type: the check
// of stage 1 (and of the final verification, on the stored item) and the pack operation of stage
// 2, which writes the item's bytes at the output's position.
//
//   type                      check                                   stored bytes
//   Audio IFF, Wave File      the sample description; 1 or 2 channels  VORP header and stream
//   JPEG Bitmap, TIFF File    decoded whole, line by line              decoded, then copied
//   Standard MIDI File        the header test, then readability        copied
//   Hidden PAD file           readability                              copied
//   songs, published songs    the main chunk and its references        rewritten references
//   patches                   the "PTCH" form and its references       rewritten references
//   sliced loops              through the sliced-loop library          copied
//   anything else             nothing                                  copied
//
// Both are functions of their inputs: files may be checked and packed on several threads at once.

#include <cstdint>

#include "filetypes/FileType.h"
#include "framework/media/Media.h"
#include "framework/media/ScratchFolder.h"
#include "items/SLCLibrary.h"
#include "navigation/ExternalHamperNames.h"
#include "references/ReferenceResolution.h"

// What the operations need besides the file.
struct CItemContext {
  // Where the references of songs and patches resolve; `referencingItem` is the file's item.
  CReferenceContext references;
  // The loaded sliced-loop library; sliced loops cannot be checked without it.
  CSLCLibrary* slcLibrary = nullptr;
  // Where data too large for memory goes while a file is worked on; null: the system's
  // temporary folder.
  const NSFerryman::CScratchFolder* scratch = nullptr;

  const NSFerryman::CScratchFolder& Scratch() const {
    return scratch ? *scratch : NSFerryman::CScratchFolder::System();
  }
};

// Throws what the check finds (XBadFormat, XUnsupportedFormat, media and reference failures);
// songs and patches add the other Hampers they refer to to `names`.
void CheckItem(const CFileType& type, NSFerryman::CMedia& file, const CItemContext& context,
               ExternalHamperNames& names);

// Writes the stored bytes at the output's position and returns how many.
std::uint64_t PackItem(const CFileType& type, NSFerryman::CMedia& file, NSFerryman::CMedia& output,
                       const CItemContext& context);

// Whether the pack operation stores the file's bytes as they are, so that the item is exactly as
// large as the file (pictures, MIDI files, sliced loops, PAD files, any other type).
bool IsStoredUnchanged(const CFileType& type);
