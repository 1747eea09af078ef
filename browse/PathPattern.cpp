#include "browse/PathPattern.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace {

using EKind = CPathPattern::CToken::EKind;

// A byte that is not part of valid UTF-8 stands for itself, above every Unicode character.
constexpr char32_t kStrayByte = 0x110000;

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string decoded;
  decoded.reserve(text.size());
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t i = 0; i < length;) {
    const std::int32_t start = i;
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (c >= 0) {
      decoded += static_cast<char32_t>(c);
    } else {
      for (std::int32_t b = start; b < i; ++b) decoded += kStrayByte + bytes[b];
    }
  }
  return decoded;
}

// Case-folded and composed, the canonical caseless form: decomposed first, so that a character
// and its decomposed spelling fold alike.
void AppendFolded(const icu::UnicodeString& run, std::u32string& out) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  icu::UnicodeString folded = U_SUCCESS(status) ? nfd->normalize(run, status) : run;
  folded.foldCase(U_FOLD_CASE_DEFAULT);
  if (U_SUCCESS(status)) folded = nfc->normalize(folded, status);
  if (U_FAILURE(status)) folded = icu::UnicodeString(run).foldCase(U_FOLD_CASE_DEFAULT);
  for (std::int32_t i = 0; i < folded.length(); i = folded.moveIndex32(i, 1)) {
    out += static_cast<char32_t>(folded.char32At(i));
  }
}

std::u32string Fold(const std::u32string& raw) {
  std::u32string out;
  out.reserve(raw.size());
  bool ascii = true;
  for (const char32_t c : raw) ascii = ascii && c < 0x80;
  if (ascii) {
    // ASCII folds to ASCII and is composed already: no need to ask ICU.
    for (const char32_t c : raw) out += (c >= U'A' && c <= U'Z') ? c - U'A' + U'a' : c;
    return out;
  }
  icu::UnicodeString run;
  for (const char32_t c : raw) {
    if (c < kStrayByte) {
      run.append(static_cast<UChar32>(c));
      continue;
    }
    AppendFolded(run, out);
    run.remove();
    out += c;
  }
  AppendFolded(run, out);
  return out;
}

char32_t FoldOne(char32_t c) { return c < kStrayByte ? static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT)) : c; }

// The pattern's characters, each with whether it was escaped (and so is never a wildcard).
struct CPatternChar {
  char32_t c;
  bool escaped;
};

std::vector<CPatternChar> ReadPattern(std::string_view pattern) {
  std::vector<CPatternChar> chars;
  bool escape = false;
  for (const char32_t c : DecodeUtf8(pattern)) {
    if (!escape && c == U'\\') {
      escape = true;
      continue;
    }
    chars.push_back({c, escape});
    escape = false;
  }
  if (escape) chars.push_back({U'\\', true});  // a "\" at the end stands for itself
  return chars;
}

// Parses the set that opens at chars[at] ("["); returns the index behind its "]", or `at` when
// the set is not closed (the "[" is then an ordinary character).
std::size_t ParseSet(const std::vector<CPatternChar>& chars, std::size_t at, CPathPattern::CToken& set) {
  std::size_t i = at + 1;
  if (i < chars.size() && !chars[i].escaped && (chars[i].c == U'!' || chars[i].c == U'^')) {
    set.negated = true;
    ++i;
  }
  for (bool first = true; i < chars.size(); first = false) {
    if (!first && !chars[i].escaped && chars[i].c == U']') return i + 1;
    char32_t low = chars[i].c, high = low;
    if (i + 2 < chars.size() && !chars[i + 1].escaped && chars[i + 1].c == U'-' &&
        (chars[i + 2].escaped || chars[i + 2].c != U']')) {
      high = chars[i + 2].c;
      i += 3;
    } else {
      ++i;
    }
    set.ranges.emplace_back(low, high);
    set.ranges.emplace_back(FoldOne(low), FoldOne(high));
  }
  set.ranges.clear();
  set.negated = false;
  return at;
}

CPathPattern::CToken Token(EKind kind, char32_t literal = 0) {
  CPathPattern::CToken token;
  token.kind = kind;
  token.literal = literal;
  return token;
}

std::vector<CPathPattern::CToken> Tokens(const std::vector<CPatternChar>& chars) {
  std::vector<CPathPattern::CToken> tokens;
  std::u32string literal;
  const auto flush = [&] {
    for (const char32_t c : Fold(literal)) tokens.push_back(Token(EKind::kLiteral, c));
    literal.clear();
  };
  for (std::size_t i = 0; i < chars.size();) {
    const CPatternChar& pc = chars[i];
    if (!pc.escaped && (pc.c == U'*' || pc.c == U'?')) {
      flush();
      // Runs of "*" are one: it keeps the matcher's backtracking short.
      if (pc.c == U'?' || tokens.empty() || tokens.back().kind != EKind::kAnyRun) {
        tokens.push_back(Token(pc.c == U'*' ? EKind::kAnyRun : EKind::kAny));
      }
      ++i;
      continue;
    }
    if (!pc.escaped && pc.c == U'[') {
      CPathPattern::CToken set = Token(EKind::kSet);
      if (const std::size_t end = ParseSet(chars, i, set); end != i) {
        flush();
        tokens.push_back(std::move(set));
        i = end;
        continue;
      }
    }
    literal += pc.c;
    ++i;
  }
  flush();
  return tokens;
}

bool StepMatches(const CPathPattern::CToken& token, char32_t c) {
  switch (token.kind) {
    case EKind::kLiteral:
      return token.literal == c;
    case EKind::kAny:
      return true;
    case EKind::kSet: {
      bool member = false;
      for (const auto& [low, high] : token.ranges) member = member || (low <= c && c <= high);
      return member != token.negated;
    }
    case EKind::kAnyRun:
      break;
  }
  return false;
}

// The classic glob walk: on a mismatch, the last "*" takes one character more.
bool MatchTokens(const std::vector<CPathPattern::CToken>& tokens, std::u32string_view text) {
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t t = 0, s = 0, star = kNone, starText = 0;
  while (s < text.size()) {
    if (t < tokens.size() && tokens[t].kind == EKind::kAnyRun) {
      star = t++;
      starText = s;
    } else if (t < tokens.size() && StepMatches(tokens[t], text[s])) {
      ++t;
      ++s;
    } else if (star != kNone) {
      t = star + 1;
      s = ++starText;
    } else {
      return false;
    }
  }
  while (t < tokens.size() && tokens[t].kind == EKind::kAnyRun) ++t;
  return t == tokens.size();
}

}  // namespace

std::u32string FoldedCharacters(std::string_view text) { return Fold(DecodeUtf8(text)); }

CPathPattern::CPathPattern(std::string_view pattern) : text_(pattern) {
  std::vector<CPatternChar> chars = ReadPattern(pattern);
  tokens_ = Tokens(chars);
  if (!chars.empty() && !chars.back().escaped && chars.back().c == U':') chars.pop_back();
  asFolder_ = Tokens(chars);
}

bool CPathPattern::Matches(std::string_view path) const {
  const std::u32string folded = FoldedCharacters(path);
  if (MatchTokens(tokens_, folded)) return true;
  for (std::size_t colon = folded.find(U':'); colon != std::u32string::npos; colon = folded.find(U':', colon + 1)) {
    if (MatchTokens(asFolder_, std::u32string_view(folded).substr(0, colon))) return true;
  }
  return false;
}
