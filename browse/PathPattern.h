#pragma once
// The shell patterns of `hamper extract --only`, matched against item Paths as a file manager's
// search matches names:
//
//   const CPathPattern pattern("drums:k?ck*");
//   if (pattern.Matches(record.GetPath())) ...
//
// `*` stands for any run of characters, `?` for one character, `[...]` for one character of a set
// (`[abc]`, ranges `[a-z]`, `[!...]` or `[^...]` for any other, a `]` first is a member) and `\`
// takes the next character as it is. ":" is an ordinary character, so `*` runs across folders:
// "Drums:*" takes everything below Drums.
//
// Characters, not bytes: a Path and a pattern are read as UTF-8, so `?` takes "é" whole, and a
// byte that is not part of valid UTF-8 counts as one character of its own. Letter case is folded
// the Unicode way (full case folding, through ICU) and both sides are compared in composed form
// (NFC), so "STRASSE" finds "Straße" and a decomposed "é" finds a composed one.
//
// A pattern that names a folder takes the items below it, as tar and unzip take a folder: a Path
// matches when the pattern, with one ":" at its end left out, matches the Path itself or one of
// the folders on it ("Drums" and "Drums:" take "Drums:Kick.wav" and "Drums:Sub:Snare.wav").

#include <string>
#include <string_view>
#include <vector>

class CPathPattern {
 public:
  explicit CPathPattern(std::string_view pattern);

  bool Matches(std::string_view path) const;

  const std::string& Text() const { return text_; }

  // One step of a pattern; public for the matcher's helpers.
  struct CToken {
    enum class EKind { kLiteral, kAny, kAnyRun, kSet };
    EKind kind;
    char32_t literal = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;  // kSet: members as inclusive ranges
  };

 private:
  std::string text_;
  std::vector<CToken> tokens_;      // the whole pattern
  std::vector<CToken> asFolder_;    // without a ":" at its end
};

// The characters of a name as CPathPattern compares them: case-folded, composed, one value per
// character (a byte outside valid UTF-8 as a value above U+10FFFF).
std::u32string FoldedCharacters(std::string_view text);
