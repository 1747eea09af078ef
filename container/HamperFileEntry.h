#pragma once
// MINIHamperFileEntry: one packed item of a Hamper, made from its index record. Its name is the
// last component of the Path; its bytes open as a window onto the Hamper file.

#include <memory>
#include <string>

#include "container/ABCHamperEntry.h"
#include "container/HamperIndexEntry.h"

class MINIHamperFileEntry : public MINIABCHamperEntry {
 public:
  MINIHamperFileEntry(const CHamperIndexEntry& record, const MINavigationInterface& parent, const MINIHamperFile& file);

  const CHamperIndexEntry& GetRecord() const { return record_; }

  std::string GetName() const override;
  int GetImage() const override;
  // XBadFormat when the record points outside the file; the file's open failures otherwise.
  std::unique_ptr<NSFerryman::CMedia> OpenMedia() const override;
  std::uint64_t GetSize() const override { return record_.GetSize(); }
  // The type a reader presents for the item type; audio is presented as VORP, and item type 14
  // (and any unknown value) as none.
  const CFileType* GetFileType() const override;

  // The presented type for an item type, or null.
  static const CFileType* FileTypeOfItemType(int itemType);

 private:
  CHamperIndexEntry record_;
};
