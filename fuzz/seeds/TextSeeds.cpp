// Text inputs: INFO.TXT files in each line-break style, the program's own resource scripts (and
// a few damaged ones), and MIDI headers of each timing kind.

#include "framework/resources/EmbeddedResources.h"
#include "fuzz/seeds/SeedWriter.h"

namespace seeds {

void WriteInfoTextSeeds(CSeedFolder& folder) {
  folder.Add("info-lf.txt", std::string("NAME = \"Seed Kit\"\nURL=\"http://example.com/\"\n"
                                        "COMMENTS \"two\nlines\"\ncopyright=\"(c) Seeds\"\n"));
  folder.Add("info-crlf.txt", std::string("Name=\"Seed Kit\"\r\nNAME: \"not this\"\r\nURL \"open"));
  folder.Add("name-cr.txt", std::string("Seed\rKit\r\r"));
  folder.Add("name-zero.txt", std::string("Seed Kit\0trailing\n\n", 19));
  // Edges the fuzzer met: a line feed only behind a zero byte, mixed breaks, keys that begin
  // with a quote or an equals sign.
  folder.Add("zero-then-lf.txt", std::string("Named\rKit=\"Seed Kit\"\0\nNAME: \"not this\"\r\nURL \"open", 48));
  folder.Add("mixed-breaks.txt", std::string("Seed\rT\rS\x06" "eMM\n"));
  folder.Add("odd-keys.txt", std::string("\"em=SaeNed Kit\"\r\nNm\0\0a Kit\"\r\0e\"=\xf9NAME: \"n\0Ss`\r\n", 39));
}

void WriteResourceSeeds(CSeedFolder& folder) {
  for (const NSFerryman::EmbeddedResource* r = NSFerryman::EmbeddedResources(); r->name; ++r) {
    folder.Add(std::string(r->name) + ".txt", Bytes(r->bytes, r->bytes + r->size));
  }
  folder.Add("alert-no-button.txt", std::string("7 {[STOP][Title ^0]Message ^0 ^1}\n"));
  folder.Add("alert-four-buttons.txt", std::string("8 {[A][B][C][D]}\n9 {[WARN]\t[Open\n"));
  folder.Add("comments.txt", std::string("/* block */ 12\t\t{OK}\t\t// line\r\n// 13 {skipped}\r\n14 {a\\rb} /* open"));
  folder.Add("menu.txt", std::string("1 {File;\tQuit#Q=25;-;Open...=101;;Bad}\n99999 {too big}\n"));
}

void WriteMIDISeeds(CSeedFolder& folder) {
  const auto header = [](std::uint16_t format, std::uint16_t tracks, std::uint16_t division) {
    Bytes b = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
    for (std::uint16_t v : {format, tracks, division}) {
      b.push_back(static_cast<std::uint8_t>(v >> 8));
      b.push_back(static_cast<std::uint8_t>(v));
    }
    for (char c : std::string("MTrk\0\0\0\4\0\xFF\x2F\0", 12)) b.push_back(static_cast<std::uint8_t>(c));
    return b;
  };
  folder.Add("format0.mid", header(0, 1, 480));
  folder.Add("format1-smpte25.mid", header(1, 2, 0xE728));
  folder.Add("division0.mid", header(2, 1, 0));
  folder.Add("smpte-bad-rate.mid", header(1, 1, 0xE928));
  folder.Add("short.mid", Bytes{'M', 'T', 'h', 'd', 0, 0});
}

}  // namespace seeds
