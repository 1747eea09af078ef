#pragma once
// Authoring scripts: small text files that describe a host song, published song or patch, which
// the authoring tool turns into the real IFF file. Tests and the demo content are made this way,
// since we have no files of the host application itself. The format is documented in
// tools/README.md.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/iff/IFFChunk.h"
#include "framework/media/Media.h"
#include "references/ReferenceRecord.h"

enum class EAuthoredKind {
  kSong,              // "CAT " of type "TS10"
  kPublishedSong1,    // "FORM" "TNPS" whose "BODY" is the song
  kPublishedSong2,    // "FORM" "TPS2" whose "BODY" is the song, zlib-deflated
  kPolywinderPatch,   // the four patch kinds: "FORM" "PTCH"
  kSX24Patch,
  kThumprPatch,
  kLooptorPatch,
};

// One child of the main chunk, or of the reference group.
struct CAuthoredChunk {
  enum class EType { kPlain, kForm, kCAT, kLIST, kReferences, kReference, kEmbeddedFile };
  EType type = EType::kPlain;
  NSFerryman::CFourCharCode code;       // ID of a plain chunk, type of a group
  std::vector<std::uint8_t> bytes;      // contents of a plain chunk, of a group after its type
  CSF10ReferenceChunk reference;        // a "REFE" record
  std::vector<CAuthoredChunk> children; // of the reference group
};

struct CAuthoredFile {
  EAuthoredKind kind = EAuthoredKind::kSong;
  // Chunks of the published song's outer form besides "BODY" (which holds the song).
  std::vector<CAuthoredChunk> outerChunks;
  // Children of the main chunk (the "TS10" group or the "PTCH" form).
  std::vector<CAuthoredChunk> chunks;
};

// XBadFormat naming the line for anything the script cannot mean.
CAuthoredFile ParseAuthoringScript(std::string_view script);

// Writes the file at the media's position.
void WriteAuthoredFile(const CAuthoredFile& file, NSFerryman::CMedia& media);
// Writes only the song (a "CAT " "TS10" group) of a file of any song kind.
void WriteAuthoredSong(const CAuthoredFile& file, NSFerryman::CMedia& media);

// The usual extension of a kind (".tns", ".tps", ".zyp", ".smp", ".drp", ".sxp").
const char* AuthoredExtension(EAuthoredKind kind);
