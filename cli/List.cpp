// `hamper list FILE.hmp [--json]`: prints a Hamper's description record and its index, one record
// per line, or the same as one JSON object.

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Command.h"
#include "cli/JsonText.h"
#include "cli/TerminalText.h"
#include "container/HamperIndexLayout.h"
#include "container/HamperHeader.h"
#include "framework/media/OpenFile.h"

namespace cli {
namespace {

// Multi-line texts keep their lines under the field's label; each line is escaped on its own, so
// that only the line breaks reach the terminal as they are.
std::string Indented(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    out += EscapeForTerminal(std::string_view(text).substr(start, i - start));
    if (i == text.size()) break;
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    out += "\n             ";
    start = i + 1;
  }
  return out;
}

void PrintText(std::ostream& out, const CHamperDescription& d, const std::vector<CHamperIndexEntry>& index) {
  out << "Name:        " << Indented(d.GetName()) << "\n"
      << "Comments:    " << Indented(d.GetComments()) << "\n"
      << "URL:         " << Indented(d.GetURL()) << "\n"
      << "Copyright:   " << Indented(d.GetCopyright()) << "\n"
      << "Entries:     " << d.GetEntryCount() << "\n"
      << "IndexOffset: " << d.GetIndexOffset() << "\n"
      << "DataOffset:  " << d.GetDataOffset() << "\n";
  if (index.empty()) return;
  out << "\nItemType  Offset      Size        Hidden  Path\n";
  for (const CHamperIndexEntry& e : index) {
    std::string line = std::to_string(e.GetItemType());
    line.resize(10, ' ');
    line += std::to_string(e.GetOffset());
    line.resize(22, ' ');
    line += std::to_string(e.GetSize());
    line.resize(34, ' ');
    line += e.IsHidden() ? "yes" : "no";
    line.resize(42, ' ');
    out << line << EscapeForTerminal(e.GetPath()) << "\n";
  }
}

void PrintJson(std::ostream& out, const CHamperDescription& d, const std::vector<CHamperIndexEntry>& index) {
  out << "{\n"
      << "  " << JsonMember("name", d.GetName()) << ",\n"
      << "  " << JsonMember("comments", d.GetComments()) << ",\n"
      << "  " << JsonMember("url", d.GetURL()) << ",\n"
      << "  " << JsonMember("copyright", d.GetCopyright()) << ",\n"
      << "  \"entryCount\": " << d.GetEntryCount() << ",\n"
      << "  \"indexOffset\": " << d.GetIndexOffset() << ",\n"
      << "  \"dataOffset\": " << d.GetDataOffset() << ",\n"
      << "  \"items\": [";
  for (std::size_t i = 0; i < index.size(); ++i) {
    const CHamperIndexEntry& e = index[i];
    out << (i == 0 ? "\n" : ",\n") << "    {" << JsonMember("path", e.GetPath()) << ", \"itemType\": " << e.GetItemType()
        << ", \"offset\": " << e.GetOffset() << ", \"size\": " << e.GetSize()
        << ", \"hidden\": " << (e.IsHidden() ? "true" : "false") << "}";
  }
  out << (index.empty() ? "]\n" : "\n  ]\n") << "}\n";
}

const CommandRegistrar kList(
    "list", "Print a Hamper's description and index", [](CLI::App& sub) -> std::function<int(Streams&)> {
      struct Options {
        std::string file;
        bool json = false;
      };
      auto options = std::make_shared<Options>();
      sub.add_option("FILE", options->file, "The Hamper (.hmp) to list")->required();
      sub.add_flag("--json", options->json, "Print one JSON object instead of text");
      return [options](Streams& streams) {
        return ReportingFailures(streams, options->file, [&] {
          NSFerryman::COpenFile media{NSFerryman::CFileSpec(options->file)};
          const CHamperDescription description = ReadAndCheckHamperHeader(media);
          const std::vector<CHamperIndexEntry> index = ReadHamperIndex(media, description);
          // A damaged index is still listed: the listing is how one sees what is wrong with it.
          for (const CIndexLayoutProblem& problem : CheckHamperIndexLayout(description, index, media.GetSize())) {
            streams.err << "hamper: warning: " << EscapeForTerminal(options->file) << ": "
                        << EscapeForTerminal(index[problem.record].GetPath()) << ": "
                        << EscapeForTerminal(problem.message) << "\n";
          }
          if (options->json) {
            PrintJson(streams.out, description, index);
          } else {
            PrintText(streams.out, description, index);
          }
          return static_cast<int>(kExitOk);
        });
      };
    });

}  // namespace
}  // namespace cli
