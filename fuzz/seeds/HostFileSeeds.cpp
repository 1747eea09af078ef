// Songs, published songs of both generations and patches written by the authoring tool, with
// reference records of every stored form and embedded files. The reference, published-song and
// IFF targets start from them.

#include "fuzz/seeds/SeedWriter.h"
#include "tools/authoring/AuthoringScript.h"

namespace seeds {

namespace {

const char* const kReferences = R"(refs
  ref "kick.wav"
    relative 1 "Samples" "kick.wav"
  embed "embedded file bytes"
  ref "snare.wav"
    database "Seed Kit" "Content" "Samples" "snare.wav"
  ref "far.wav"
    volume 13 "DEMOCD" "Outside" "far.wav" media
  ref "a.wav"
    hamper "Drum Basics" "http://x/"
    relative 1 "a.wav"
  ref "old.wav"
    relative 2 "Content" "Samples" "kick.wav"
    version relative 1.0.0
    volume 15 "" "Content" "Samples" "kick.wav"
    version volume 1.1.0
  ref "older.wav"
    database "Seed Kit" "Samples" "snare.wav"
    version database 1.0.0
    volume 15 "" "x"
    version volume 1.0.0
    flag 7
end
)";

Bytes Authored(const std::string& script) {
  NSFerryman::CMemoryMedia media;
  WriteAuthoredFile(ParseAuthoringScript(script), media);
  return BytesOf(media);
}

}  // namespace

std::vector<std::pair<std::string, Bytes>> HostFileSeeds() {
  const std::string body = std::string("chunk TNAM \"Groove\"\nform PATT hex \"0001020304\"\n") + kReferences +
                           "chunk ODD1 \"odd\"\nlist SEQS \"sequence data\"\n";
  return {
      {"song.tns", Authored("kind song\n" + body)},
      {"published-1.tps", Authored("kind published-song-1\nouter chunk INFO \"about\"\nbody\n" + body)},
      {"published-2.tps", Authored("kind published-song-2\nouter chunk INFO \"about\"\nbody\n" + body)},
      {"patch.zyp", Authored("kind polywinder\nchunk PNAM \"Lead\"\n" + std::string(kReferences))},
      {"patch-no-refs.smp", Authored("kind sx24\nchunk PNAM \"Keys\"\n")},
      {"song-two-groups.tns", Authored("kind song\n" + std::string(kReferences) + kReferences)},
      {"song-bad-child.tns", Authored("kind song\nrefs\n  chunk JUNK \"x\"\nend\n")},
  };
}

}  // namespace seeds
