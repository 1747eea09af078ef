#pragma once
// Warnings about one file on standard error, "hamper: warning: FILE: TEXT", as many as a reader
// takes in: the first kShownWarnings, then one line for the rest ("and 6999980 more"). A
// damaged index may hold millions of problems; what is printed stays a screenful.
//
//   CWarnings warnings(streams.err, options.file);
//   for (...) warnings.Add(EscapeForTerminal(path) + ": " + EscapeForTerminal(problem));
//   warnings.Finish();                       // the count of the rest, if any
//
// Texts are printed as given: escape what comes from a file before.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace cli {

inline constexpr std::uint64_t kShownWarnings = 20;

class CWarnings {
 public:
  CWarnings(std::ostream& err, const std::string& file);

  void Add(std::string_view text);
  // Warnings counted but not given (a summary that kept only the first of them).
  void AddUnshown(std::uint64_t count) { count_ += count; }
  // Whether another would be printed.
  bool Shows() const { return count_ < kShownWarnings; }
  std::uint64_t Count() const { return count_; }
  void Finish();

 private:
  std::ostream& err_;
  std::string prefix_;
  std::uint64_t count_ = 0;
};

}  // namespace cli
