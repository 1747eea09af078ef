#pragma once
// The host application's songs, published songs and patches as items: their checks (stage 1 and
// the final verification) and the rewrite that packing stores.
//
//   song            "CAT " group of type "TS10"
//   patch           "FORM" of type "PTCH" (the four patch kinds alike)
//   published song  "FORM" of type "TNPS" (first generation: its "BODY" chunk is a song) or
//                   "TPS2" (second generation: "BODY" is the song as one zlib stream)
//
// Checks enter the main chunk (XBadFormat when it is missing) and check its reference group,
// adding the other Hampers the file refers to to `names`. Rewrites copy every chunk as it was
// except the reference records (references/ReferenceGroups.h) and return the stored size. A
// published song's body is unpacked into a scratch file, rewritten as a song into a second one
// and packed again; both are removed on every path. Scratch files go to `scratch` (the system's
// temporary folder unless a caller names another).
//
// The functions keep no state and may run on several threads at once.

#include <cstdint>
#include <vector>

#include "framework/media/Media.h"
#include "framework/media/ScratchFolder.h"
#include "navigation/ExternalHamperNames.h"
#include "references/ReferenceRecord.h"
#include "references/ReferenceResolution.h"

enum class EHostFileKind { kSong, kPatch, kPublishedSong };

// A published song body that inflates past this is refused: no real song comes near it, and a
// crafted stream must not fill the disk.
inline constexpr std::uint64_t kMaxPublishedSongBodyBytes = std::uint64_t{256} << 20;

void CheckHostFile(EHostFileKind kind, NSFerryman::CMedia& file, const CReferenceContext& context,
                   ExternalHamperNames& names,
                   const NSFerryman::CScratchFolder& scratch = NSFerryman::CScratchFolder::System());
// Writes the rewritten file at the output's position; returns the bytes written.
std::uint64_t RewriteHostFile(EHostFileKind kind, NSFerryman::CMedia& file, NSFerryman::CMedia& output,
                              const CReferenceContext& context,
                              const NSFerryman::CScratchFolder& scratch = NSFerryman::CScratchFolder::System());

// The kind a file's contents show, for files met without a type (`hamper refs`); XBadFormat when
// it is none of them.
EHostFileKind HostFileKindOf(NSFerryman::CMedia& file);
// Every reference record of the file, in order.
std::vector<CSF10ReferenceChunk> ReadHostFileReferences(EHostFileKind kind, NSFerryman::CMedia& file);
