#include "pack/DescriptionFileWriter.h"

#include "pack/FolderDescription.h"

namespace {

struct CText {
  const char* key;    // as INFO.TXT names it
  const char* words;  // as a sentence names it
  const std::string& text;
};

// A value INFO.TXT gives back as it is. Each stays under a quarter of what a description file may
// hold, so that INFO.TXT with all four stays readable too.
bool FitsInfoText(const std::string& text) {
  return text.find_first_of("\"\r\n") == std::string::npos && text.size() < kMaxDescriptionTextSize / 4 - 32;
}

}  // namespace

CDescriptionFileSet DescriptionFilesFor(const CHamperDescription& description) {
  const CText texts[] = {{"NAME", "Name", description.GetName()},
                         {"COMMENTS", "Comments", description.GetComments()},
                         {"URL", "URL", description.GetURL()},
                         {"COPYRIGHT", "Copyright", description.GetCopyright()}};
  CDescriptionFileSet set;
  std::string info;
  for (const CText& t : texts) {
    if (t.text.empty()) continue;
    if (FitsInfoText(t.text)) {
      info += std::string(t.key) + " = \"" + t.text + "\"\n";
      continue;
    }
    std::string text = t.text;
    if (text.back() == '\r' || text.back() == '\n') {
      set.problems.push_back(std::string("the ") + t.words +
                             " text ends in a line break, which no description file can give back; it is written "
                             "without the line breaks at its end");
      while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    }
    // The line feed makes the reader take the text's line breaks as they are (with none, a text of
    // carriage returns alone would have each widened to carriage return plus line feed).
    text += '\n';
    if (text.size() > kMaxDescriptionTextSize) {
      set.problems.push_back(std::string("the ") + t.words + " text holds " + std::to_string(t.text.size()) +
                             " bytes; a pack reads a description file of at most " +
                             std::to_string(kMaxDescriptionTextSize));
    }
    set.files.push_back({std::string(t.key) + ".TXT", std::move(text)});
  }
  if (!info.empty()) set.files.insert(set.files.begin(), {"INFO.TXT", std::move(info)});
  return set;
}
