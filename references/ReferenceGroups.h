#pragma once
// The reference group of a song or patch: the one "CAT " group of type "REFS" among the children
// of the file's main chunk (the "PTCH" form of a patch, the "TS10" group of a song). Its children
// are "REFE" chunks, each one reference record, and "EMBF" forms, embedded files that are carried
// along unread; anything else in it is XBadFormat.
//
// Checking reads every record (see ReferenceResolution.h). Rewriting copies the main chunk's
// children to a writer, each with its kind, ID and bytes unchanged, except that the reference
// group is rebuilt with every record rewritten.
//
// An unresolvable internal record shows the "Bad reference" alert (the file and the referenced
// name) on the context's alert host and ends with XAlertAlreadyShown; without a host XBadReference
// passes on; with a list for unresolved names the record is listed and the walk goes on.
//
// Readers and writers stand inside the main chunk on entry and are back at its level on return.

#include "framework/iff/IFFFileReader.h"
#include "framework/iff/IFFFileWriter.h"
#include "navigation/ExternalHamperNames.h"
#include "references/ReferenceResolution.h"

// Checks the one reference group among the main chunk's children; XBadFormat when there is none
// or more than one.
void CheckReferencesOfChunk(NSFerryman::CIFFFileReader& reader, const CReferenceContext& context,
                            ExternalHamperNames& names);

// Walks the children of a reference group the reader has entered.
void CheckReferenceGroup(NSFerryman::CIFFFileReader& reader, const CReferenceContext& context,
                         ExternalHamperNames& names);
void RewriteReferenceGroup(NSFerryman::CIFFFileReader& reader, NSFerryman::CIFFFileWriter& writer,
                           const CReferenceContext& context);

// Copies every child of the main chunk to the writer, rebuilding reference groups.
void CopyChunksRewritingReferences(NSFerryman::CIFFFileReader& reader, NSFerryman::CIFFFileWriter& writer,
                                   const CReferenceContext& context);

// The four-character codes of the reference group.
inline constexpr NSFerryman::CFourCharCode kReferenceGroupType{"REFS"};
inline constexpr NSFerryman::CFourCharCode kReferenceRecordID{"REFE"};
inline constexpr NSFerryman::CFourCharCode kEmbeddedFileType{"EMBF"};
