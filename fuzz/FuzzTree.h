#pragma once
// A small navigation tree in memory, for targets that resolve references: folders and files
// with parents, so that relative paths can climb, and nothing of the real file system is ever
// listed. Made once per process and never changed.
//
//   Top
//     Content                 the folder being packed (the root folder of references)
//       Samples               kick.wav, snare.wav, Kick.wav, a.wav
//       Songs                 demo.tns (the referencing file)
//       Samples               extra.wav (a second folder of the same name)
//     Outside                 far.wav
//
// FuzzReferenceContext() is a context over it with a database whose volume searches start at Top
// and find no volume by name, and a list that collects unresolved records, so that checking goes
// on past them.

#include "references/ReferenceResolution.h"

namespace fuzz {

const CReferenceContext& FuzzReferenceContext();

}  // namespace fuzz
