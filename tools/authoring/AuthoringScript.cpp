#include "tools/authoring/AuthoringScript.h"

#include <cctype>
#include <memory>
#include <zlib.h>

#include "framework/iff/IFFFileWriter.h"
#include "framework/media/Exceptions.h"
#include "framework/media/MemoryMedia.h"

using NSFerryman::CFourCharCode;
using NSFerryman::CIFFFileWriter;
using NSFerryman::CMedia;
using NSFerryman::CVersion;
using NSFerryman::XBadFormat;

namespace {

struct CToken {
  std::string text;
  bool quoted = false;
};

class CLineError {
 public:
  explicit CLineError(std::size_t line) : line_(line) {}
  [[noreturn]] void Fail(const std::string& what) const {
    throw XBadFormat("authoring script, line " + std::to_string(line_) + ": " + what);
  }

 private:
  std::size_t line_;
};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::vector<CToken> Tokenise(std::string_view line, const CLineError& error) {
  std::vector<CToken> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '#') break;
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
      continue;
    }
    CToken token;
    if (c != '"') {
      while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) token.text += line[i++];
      tokens.push_back(std::move(token));
      continue;
    }
    token.quoted = true;
    ++i;
    for (;;) {
      if (i >= line.size()) error.Fail("a quoted text has no closing quote");
      const char d = line[i++];
      if (d == '"') break;
      if (d != '\\') {
        token.text += d;
        continue;
      }
      if (i >= line.size()) error.Fail("a backslash ends the line");
      const char e = line[i++];
      switch (e) {
        case 'n': token.text += '\n'; break;
        case 'r': token.text += '\r'; break;
        case 't': token.text += '\t'; break;
        case '\\': token.text += '\\'; break;
        case '"': token.text += '"'; break;
        case 'x': {
          if (i + 2 > line.size() || HexValue(line[i]) < 0 || HexValue(line[i + 1]) < 0) error.Fail("bad \\x escape");
          token.text += static_cast<char>(HexValue(line[i]) * 16 + HexValue(line[i + 1]));
          i += 2;
          break;
        }
        default: error.Fail(std::string("unknown escape \\") + e);
      }
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

CFourCharCode ParseCode(const CToken& token, const CLineError& error) {
  if (token.text.size() != 4) error.Fail("\"" + token.text + "\" is not a four-character code");
  return CFourCharCode(token.text.c_str());
}

std::uint32_t ParseNumber(const CToken& token, const CLineError& error) {
  try {
    std::size_t used = 0;
    const unsigned long long value = std::stoull(token.text, &used, 0);
    if (used != token.text.size() || value > 0xFFFFFFFFull) throw std::out_of_range("");
    return static_cast<std::uint32_t>(value);
  } catch (const std::exception&) {
    error.Fail("\"" + token.text + "\" is not a number");
  }
}

CVersion ParseVersion(const CToken& token, const CLineError& error) {
  unsigned major = 0, minor = 0, revision = 0;
  char tail = 0;
  if (std::sscanf(token.text.c_str(), "%u.%u.%u%c", &major, &minor, &revision, &tail) != 3 || major > 255 ||
      minor > 255 || revision > 255) {
    error.Fail("\"" + token.text + "\" is not a version (major.minor.revision)");
  }
  return CVersion(static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor),
                  static_cast<std::uint8_t>(revision));
}

// Contents given as a quoted text, as `hex "0a1b..."`, or as nothing.
std::vector<std::uint8_t> ParseBytes(const std::vector<CToken>& tokens, std::size_t from, const CLineError& error) {
  if (from >= tokens.size()) return {};
  if (tokens[from].quoted && from + 1 == tokens.size()) {
    return std::vector<std::uint8_t>(tokens[from].text.begin(), tokens[from].text.end());
  }
  if (!tokens[from].quoted && tokens[from].text == "hex" && from + 2 == tokens.size()) {
    const std::string& hex = tokens[from + 1].text;
    if (hex.size() % 2 != 0) error.Fail("odd number of hex digits");
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
      if (HexValue(hex[i]) < 0 || HexValue(hex[i + 1]) < 0) error.Fail("bad hex digit");
      bytes.push_back(static_cast<std::uint8_t>(HexValue(hex[i]) * 16 + HexValue(hex[i + 1])));
    }
    return bytes;
  }
  error.Fail("contents must be one quoted text or hex \"digits\"");
}

CPathComponents Components(const std::vector<CToken>& tokens, std::size_t from) {
  CPathComponents components;
  for (std::size_t i = from; i < tokens.size(); ++i) components.push_back(tokens[i].text);
  return components;
}

const std::pair<const char*, EAuthoredKind> kKinds[] = {
    {"song", EAuthoredKind::kSong},
    {"published-song-1", EAuthoredKind::kPublishedSong1},
    {"published-song-2", EAuthoredKind::kPublishedSong2},
    {"polywinder", EAuthoredKind::kPolywinderPatch},
    {"sx24", EAuthoredKind::kSX24Patch},
    {"thumpr", EAuthoredKind::kThumprPatch},
    {"looptor", EAuthoredKind::kLooptorPatch},
};

bool IsSongKind(EAuthoredKind kind) {
  return kind == EAuthoredKind::kSong || kind == EAuthoredKind::kPublishedSong1 ||
         kind == EAuthoredKind::kPublishedSong2;
}

// A chunk line ("chunk", "form", "cat", "list" with a code and contents), or false.
bool ParseChunkLine(const std::vector<CToken>& tokens, const CLineError& error, CAuthoredChunk& chunk) {
  using EType = CAuthoredChunk::EType;
  static const std::pair<const char*, EType> kChunkWords[] = {
      {"chunk", EType::kPlain}, {"form", EType::kForm}, {"cat", EType::kCAT}, {"list", EType::kLIST}};
  for (const auto& [word, type] : kChunkWords) {
    if (tokens[0].text != word) continue;
    if (tokens.size() < 2) error.Fail(std::string(word) + " needs a four-character code");
    chunk.type = type;
    chunk.code = ParseCode(tokens[1], error);
    chunk.bytes = ParseBytes(tokens, 2, error);
    return true;
  }
  return false;
}

void ParseReferenceLine(const std::vector<CToken>& tokens, const CLineError& error, CSF10ReferenceChunk& record) {
  const std::string& word = tokens[0].text;
  auto need = [&](std::size_t count) {
    if (tokens.size() < count) error.Fail(word + " needs more values");
  };
  if (word == "hamper") {
    need(2);
    record.hamperName = tokens[1].text;
    record.hamperUrl = tokens.size() > 2 ? tokens[2].text : "";
  } else if (word == "relative") {
    need(2);
    record.relative.present = true;
    record.relative.levelsUp = ParseNumber(tokens[1], error);
    record.relative.components = Components(tokens, 2);
  } else if (word == "database") {
    need(2);
    record.database.present = true;
    record.database.hamperName = tokens[1].text;
    record.database.components = Components(tokens, 2);
  } else if (word == "volume") {
    need(3);
    record.volume.present = true;
    record.volume.volumeKind = static_cast<std::uint8_t>(ParseNumber(tokens[1], error));
    record.volume.volumeName = tokens[2].text;
    std::size_t end = tokens.size();
    if (!tokens.back().quoted && tokens.back().text == "media") {
      record.volume.mediaFlag = true;
      --end;
    }
    record.volume.components = Components(std::vector<CToken>(tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(end)), 3);
  } else if (word == "flag") {
    need(2);
    record.trailingFlag = static_cast<std::uint8_t>(ParseNumber(tokens[1], error));
  } else if (word == "version") {
    need(3);
    const CVersion version = ParseVersion(tokens[2], error);
    if (tokens[1].text == "relative") {
      record.relative.storedVersion = version;
    } else if (tokens[1].text == "database") {
      record.database.storedVersion = version;
    } else if (tokens[1].text == "volume") {
      record.volume.storedVersion = version;
    } else {
      error.Fail("version of which part: relative, database or volume?");
    }
  } else {
    error.Fail("\"" + word + "\" does not belong in a reference");
  }
}

// Deflates the whole of `bytes` at level 9 as one zlib stream.
std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::vector<std::uint8_t> out(size);
  if (compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), 9) != Z_OK) {
    throw NSFerryman::XWrite("zlib could not deflate the song");
  }
  out.resize(size);
  return out;
}

void WriteChunks(CIFFFileWriter& writer, const std::vector<CAuthoredChunk>& chunks);

void WriteChunk(CIFFFileWriter& writer, const CAuthoredChunk& chunk) {
  using EType = CAuthoredChunk::EType;
  switch (chunk.type) {
    case EType::kPlain: writer.BeginChunk(chunk.code); break;
    case EType::kForm: writer.BeginForm(chunk.code); break;
    case EType::kCAT: writer.BeginCAT(chunk.code); break;
    case EType::kLIST: writer.BeginLIST(chunk.code); break;
    case EType::kEmbeddedFile: writer.BeginForm(CFourCharCode("EMBF")); break;
    case EType::kReference: writer.BeginChunk(CFourCharCode("REFE")); break;
    case EType::kReferences:
      writer.BeginCAT(CFourCharCode("REFS"));
      WriteChunks(writer, chunk.children);
      writer.EndLevel();
      return;
  }
  if (chunk.type == EType::kReference) {
    chunk.reference.WriteInStoredForms(writer.GetCurrentMedia());
  } else if (!chunk.bytes.empty()) {
    writer.GetCurrentMedia().Write(chunk.bytes.size(), chunk.bytes.data());
  }
  writer.EndLevel();
}

void WriteChunks(CIFFFileWriter& writer, const std::vector<CAuthoredChunk>& chunks) {
  for (const CAuthoredChunk& chunk : chunks) WriteChunk(writer, chunk);
}

CFourCharCode BodyCode() { return CFourCharCode("BODY"); }

}  // namespace

CAuthoredFile ParseAuthoringScript(std::string_view script) {
  CAuthoredFile file;
  bool kindSeen = false;
  bool bodyPlaced = false;
  CAuthoredChunk* group = nullptr;  // the open "refs" group
  CAuthoredChunk* record = nullptr; // the reference lines apply to
  std::size_t lineNumber = 0;
  std::size_t start = 0;
  while (start <= script.size()) {
    std::size_t end = script.find('\n', start);
    if (end == std::string_view::npos) end = script.size();
    const std::string_view line = script.substr(start, end - start);
    start = end + 1;
    const CLineError error(++lineNumber);
    const std::vector<CToken> tokens = Tokenise(line, error);
    if (tokens.empty()) continue;
    const std::string& word = tokens[0].text;
    if (word == "kind") {
      if (kindSeen) error.Fail("the kind is given twice");
      if (tokens.size() != 2) error.Fail("kind takes one word");
      bool known = false;
      for (const auto& [name, kind] : kKinds) {
        if (tokens[1].text == name) {
          file.kind = kind;
          known = true;
        }
      }
      if (!known) error.Fail("unknown kind \"" + tokens[1].text + "\"");
      kindSeen = true;
      continue;
    }
    if (!kindSeen) error.Fail("the script must begin with its kind");
    CAuthoredChunk chunk;
    if (group) {
      if (word == "end") {
        group = nullptr;
        record = nullptr;
      } else if (word == "ref") {
        if (tokens.size() != 2) error.Fail("ref takes the display name");
        chunk.type = CAuthoredChunk::EType::kReference;
        chunk.reference.displayName = tokens[1].text;
        group->children.push_back(std::move(chunk));
        record = &group->children.back();
      } else if (word == "embed") {
        chunk.type = CAuthoredChunk::EType::kEmbeddedFile;
        chunk.bytes = ParseBytes(tokens, 1, error);
        group->children.push_back(std::move(chunk));
        record = nullptr;
      } else if (ParseChunkLine(tokens, error, chunk)) {
        group->children.push_back(std::move(chunk));
        record = nullptr;
      } else {
        if (!record) error.Fail("\"" + word + "\" outside a ref");
        ParseReferenceLine(tokens, error, record->reference);
      }
      continue;
    }
    if (word == "refs") {
      chunk.type = CAuthoredChunk::EType::kReferences;
      file.chunks.push_back(std::move(chunk));
      group = &file.chunks.back();
    } else if (word == "outer" || word == "body") {
      if (file.kind != EAuthoredKind::kPublishedSong1 && file.kind != EAuthoredKind::kPublishedSong2) {
        error.Fail("only published songs have an outer form");
      }
      if (word == "body") {
        if (bodyPlaced) error.Fail("the body is placed twice");
        bodyPlaced = true;
        chunk.type = CAuthoredChunk::EType::kPlain;
        chunk.code = BodyCode();
        file.outerChunks.push_back(std::move(chunk));
        continue;
      }
      const std::vector<CToken> rest(tokens.begin() + 1, tokens.end());
      if (rest.empty() || !ParseChunkLine(rest, error, chunk)) error.Fail("outer needs a chunk line");
      file.outerChunks.push_back(std::move(chunk));
    } else if (ParseChunkLine(tokens, error, chunk)) {
      file.chunks.push_back(std::move(chunk));
    } else {
      error.Fail("unknown line \"" + word + "\"");
    }
    // Pointers into the vectors stay valid: nothing is added to file.chunks while a group is open.
  }
  if (group) throw XBadFormat("authoring script: \"refs\" without \"end\"");
  if (!kindSeen) throw XBadFormat("authoring script: no kind");
  if ((file.kind == EAuthoredKind::kPublishedSong1 || file.kind == EAuthoredKind::kPublishedSong2) && !bodyPlaced) {
    CAuthoredChunk body;
    body.code = BodyCode();
    file.outerChunks.push_back(std::move(body));
  }
  return file;
}

void WriteAuthoredSong(const CAuthoredFile& file, CMedia& media) {
  if (!IsSongKind(file.kind)) throw XBadFormat("authoring: a patch holds no song");
  CIFFFileWriter writer(media, NSFerryman::EIFFByteOrder::kBigEndian);
  writer.BeginCAT(CFourCharCode("TS10"));
  WriteChunks(writer, file.chunks);
  writer.Close();
}

void WriteAuthoredFile(const CAuthoredFile& file, CMedia& media) {
  if (file.kind == EAuthoredKind::kSong) {
    WriteAuthoredSong(file, media);
    return;
  }
  CIFFFileWriter writer(media, NSFerryman::EIFFByteOrder::kBigEndian);
  if (!IsSongKind(file.kind)) {
    writer.BeginForm(CFourCharCode("PTCH"));
    WriteChunks(writer, file.chunks);
    writer.Close();
    return;
  }
  const bool second = file.kind == EAuthoredKind::kPublishedSong2;
  writer.BeginForm(CFourCharCode(second ? "TPS2" : "TNPS"));
  for (const CAuthoredChunk& chunk : file.outerChunks) {
    if (chunk.type != CAuthoredChunk::EType::kPlain || chunk.code != BodyCode() || !chunk.bytes.empty()) {
      WriteChunk(writer, chunk);
      continue;
    }
    NSFerryman::CMemoryMedia song;
    WriteAuthoredSong(file, song);
    std::vector<std::uint8_t> bytes(song.Data(), song.Data() + song.GetSize());
    if (second) bytes = Deflate(bytes);
    writer.BeginChunk(BodyCode());
    if (!bytes.empty()) writer.GetCurrentMedia().Write(bytes.size(), bytes.data());
    writer.EndLevel();
  }
  writer.Close();
}

const char* AuthoredExtension(EAuthoredKind kind) {
  switch (kind) {
    case EAuthoredKind::kSong: return ".tns";
    case EAuthoredKind::kPublishedSong1:
    case EAuthoredKind::kPublishedSong2: return ".tps";
    case EAuthoredKind::kPolywinderPatch: return ".zyp";
    case EAuthoredKind::kSX24Patch: return ".smp";
    case EAuthoredKind::kThumprPatch: return ".drp";
    case EAuthoredKind::kLooptorPatch: return ".sxp";
  }
  return "";
}
