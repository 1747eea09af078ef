#pragma once
// A registered file type (description, extension list, four-character type code) and the
// registry of every type this system knows. Types are told apart by the file name's extension
// only; contents are never looked at for this.
//
// The registered instances are constant and shared by every consumer: use the accessors below
// (e.g. WaveFileType()) and compare a file's type with TypeMatchesType, never by address.

#include <cstddef>
#include <string>
#include <string_view>

#include "framework/resources/FourCharCode.h"

class CFileType {
 public:
  // `extensions` holds one or more extensions, each with its leading ".", separated by ";".
  CFileType(std::string description, std::string extensions, std::string_view typeCode);

  const std::string& GetDescription() const { return description_; }
  const std::string& GetExtensions() const { return extensions_; }
  NSFerryman::CFourCharCode GetTypeCode() const { return typeCode_; }

  // The number of ";" in the list plus one.
  std::size_t GetExtensionCount() const;
  // The n-th (0-based) piece between ";" separators; empty past the end.
  std::string GetExtension(std::size_t n) const;

  // True when the name's extension (from its last "." on, dot included) equals one of this type's
  // extensions, ignoring the case of a to z. A name without "." matches nothing.
  bool NameMatches(std::string_view fileName) const;

  // True when the type codes are equal, or some extension of this type, taken as a name, matches
  // `other`.
  bool TypeMatches(const CFileType& other) const;

 private:
  std::string description_;
  std::string extensions_;
  NSFerryman::CFourCharCode typeCode_;
};

// Free forms of the two matches, as consumers read them.
inline bool NameMatchesType(const CFileType& type, std::string_view fileName) {
  return type.NameMatches(fileName);
}
inline bool TypeMatchesType(const CFileType& a, const CFileType& b) { return a.TypeMatches(b); }

// The registered types.
const CFileType& TextFileType();                 // "Text File"
const CFileType& BmpBitmapFileType();            // "BMP Bitmap"
const CFileType& JpegBitmapFileType();           // "JPEG Bitmap"
const CFileType& WaveFileType();                 // "Wave File"
const CFileType& AudioIffFileType();             // "Audio IFF"
const CFileType& MidiFileType();                 // "Standard MIDI File"
const CFileType& UndefinedBinaryFileType();      // "Undefined Binary"
const CFileType& TemporaryFileType();            // "Temporary File"
const CFileType& Slivver1FileType();             // "Slivver 1.6/1.7 File"
const CFileType& TesselSongFileType();           // "Tessel Song"
const CFileType& PublishedTesselSongFileType();  // "Published Tessel Song"
const CFileType& PolywinderPatchFileType();      // "Tessel Polywinder Patch"
const CFileType& SX24SamplerPatchFileType();     // "Tessel SX24 Sampler Patch"
const CFileType& LooptorPatchFileType();         // "Tessel Looptor Patch"
const CFileType& ThumprPatchFileType();          // "Tessel Thumpr Patch"
const CFileType& Slivver2FileType();             // "Slivver 2 file"
const CFileType& SlcFileType();                  // "SLC File"
const CFileType& VorpFileType();                 // "VORP files"
const CFileType& HiddenPadFileType();            // "Hidden PAD file"
const CFileType& TiffFileType();                 // "TIFF File"
const CFileType& ShortcutFileType();             // "Shortcut"
const CFileType& HamperFileType();               // "Hamper file"

// Known but consulted by no operation of the packer.
const CFileType& ApplicationFileType();          // "Application"
const CFileType& TesselPreferenceFileType();     // "Tessel Preference File"
const CFileType& TesselDataFileType();           // "Tessel Data File"
const CFileType& PictorixBitmapFileType();       // "Pictorix Bitmap File"
const CFileType& Slc1FileType();                 // "SLC1 File"

// The host application's creator code, given when a Hamper file is created.
inline constexpr NSFerryman::CFourCharCode kHostCreatorCode{"TSon"};

// The registered type of a file name; "Undefined Binary" when nothing else matches.
const CFileType& ClassifyFileName(std::string_view fileName);

// The item type (0 to 14) a file of this type is packed as; 0 means it is not packed.
int GetItemTypeOfFileType(const CFileType& fileType);

// Shorthand: the item type of a file name.
inline int GetItemTypeOfFileName(std::string_view fileName) {
  return GetItemTypeOfFileType(ClassifyFileName(fileName));
}
