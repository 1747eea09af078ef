// `hamper list FILE.hmp [--long] [--json]`: prints a Hamper's description record and its index,
// one record per line with its kind in words, or the same as one JSON object. With --long, each
// sample's facts from its header too: length, channels, rate, loop and root key.
//
// The index is held as stored (container/HamperIndex.h) and each line is written as it is made:
// nothing grows with the number of records but the index itself. The text's columns are as wide
// as their widest cell, found in a first pass over the records.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "browse/ItemKind.h"
#include "browse/SampleFacts.h"
#include "cli/Command.h"
#include "cli/DescriptionText.h"
#include "cli/JsonText.h"
#include "cli/TerminalText.h"
#include "cli/Warnings.h"
#include "container/HamperHeader.h"
#include "container/HamperIndex.h"
#include "container/HamperIndexLayout.h"
#include "framework/media/OpenFile.h"
#include "framework/media/PartialMedia.h"

namespace cli {
namespace {

struct ListOptions {
  std::string file;
  bool json = false;
  bool longListing = false;
};

// A Hamper being listed: its header, its index and what is wrong with its records.
struct CListed {
  NSFerryman::COpenFile& media;
  CHamperDescription description;
  CHamperIndex index;
  CIndexLayoutProblems problems;
  bool longListing;
  CWarnings& warnings;
};

// The facts of a sample's header; none for other items. A sample whose header cannot be read
// has its problem instead; `warn` says it once, on the pass that warns.
std::optional<CSampleFactsResult> FactsOf(const CListed& listed, std::size_t r, bool warn) {
  if (!listed.longListing || !IsSampleItemType(listed.index.ItemType(r))) return std::nullopt;
  CSampleFactsResult facts;
  if (listed.problems.Of(r)) {
    facts.problem = "its record is damaged";  // warned of already
    return facts;
  }
  try {
    NSFerryman::CPartialMedia item(listed.media,
                                   std::uint64_t{listed.description.GetDataOffset()} + listed.index.Offset(r),
                                   listed.index.ItemSize(r));
    facts.header = ReadSampleFacts(item);
    facts.ok = true;
  } catch (const NSFerryman::XBase& x) {
    facts.problem = x.what();
    if (warn) listed.warnings.Add(EscapeForTerminal(listed.index.Path(r)) + ": " + EscapeForTerminal(facts.problem));
  }
  return facts;
}

// The cells of one record's line, the Path last.
std::vector<std::string> Row(const CListed& listed, std::size_t r, bool warn) {
  const CHamperIndex& index = listed.index;
  std::vector<std::string> row = {std::to_string(index.ItemType(r)), std::string(ItemKindName(index.ItemType(r))),
                                  std::to_string(index.Offset(r)), std::to_string(index.ItemSize(r)),
                                  index.IsHidden(r) ? "yes" : "no"};
  if (listed.longListing) {
    const std::optional<CSampleFactsResult> facts = FactsOf(listed, r, warn);
    if (facts && facts->ok) {
      const CVORPSampleHeader& h = facts->header;
      row.insert(row.end(), {SampleLengthText(h), SampleChannelsText(h), SampleRateText(h), SampleLoopText(h),
                             SampleRootKeyText(h)});
    } else {
      row.insert(row.end(), {facts ? "damaged" : "", "", "", "", ""});
    }
  }
  row.push_back(EscapeForTerminal(index.Path(r)));
  return row;
}

void PrintLine(std::ostream& out, const std::vector<std::string>& row, const std::vector<std::size_t>& widths) {
  std::string line;
  for (std::size_t c = 0; c + 1 < row.size(); ++c) {
    line += row[c];
    line.resize(line.size() + widths[c] - row[c].size() + 2, ' ');
  }
  out << line << row.back() << "\n";
}

void PrintText(std::ostream& out, const CListed& listed) {
  const CHamperDescription& d = listed.description;
  PrintDescriptionTexts(out, d);
  out << "Entries:     " << d.GetEntryCount() << "\n"
      << "IndexOffset: " << d.GetIndexOffset() << "\n"
      << "DataOffset:  " << d.GetDataOffset() << "\n";
  if (listed.index.Empty()) return;
  std::vector<std::string> heading = {"ItemType", "Kind", "Offset", "Size", "Hidden"};
  if (listed.longListing) heading.insert(heading.end(), {"Length", "Channels", "Rate", "Loop", "Root key"});
  heading.push_back("Path");
  std::vector<std::size_t> widths(heading.size(), 0);
  const auto widen = [&](const std::vector<std::string>& row) {
    for (std::size_t c = 0; c + 1 < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  };
  widen(heading);
  for (std::size_t r = 0; r < listed.index.Size(); ++r) widen(Row(listed, r, /*warn=*/true));
  out << "\n";
  PrintLine(out, heading, widths);
  for (std::size_t r = 0; r < listed.index.Size(); ++r) PrintLine(out, Row(listed, r, /*warn=*/false), widths);
}

void PrintJson(std::ostream& out, const CListed& listed) {
  const CHamperDescription& d = listed.description;
  const CHamperIndex& index = listed.index;
  out << "{\n"
      << "  " << JsonMember("name", d.GetName()) << ",\n"
      << "  " << JsonMember("comments", d.GetComments()) << ",\n"
      << "  " << JsonMember("url", d.GetURL()) << ",\n"
      << "  " << JsonMember("copyright", d.GetCopyright()) << ",\n"
      << "  \"entryCount\": " << d.GetEntryCount() << ",\n"
      << "  \"indexOffset\": " << d.GetIndexOffset() << ",\n"
      << "  \"dataOffset\": " << d.GetDataOffset() << ",\n"
      << "  \"items\": [";
  for (std::size_t r = 0; r < index.Size(); ++r) {
    out << (r == 0 ? "\n" : ",\n") << "    {" << JsonMember("path", index.Path(r)) << ", \"itemType\": " << index.ItemType(r)
        << ", \"kind\": " << JsonString(ItemKindName(index.ItemType(r))) << ", \"offset\": " << index.Offset(r)
        << ", \"size\": " << index.ItemSize(r) << ", \"hidden\": " << (index.IsHidden(r) ? "true" : "false");
    if (const std::optional<CSampleFactsResult> f = FactsOf(listed, r, /*warn=*/true)) {
      if (!f->ok) {
        out << ",\n     \"sample\": {" << JsonMember("problem", f->problem) << "}";
      } else {
        const CVORPSampleHeader& h = f->header;
        const std::optional<double> seconds = SampleSeconds(h);
        out << ",\n     \"sample\": {\"frames\": " << h.frameCount << ", \"seconds\": "
            << (seconds ? fmt::format("{:.6f}", *seconds) : std::string("null")) << ", \"channels\": " << int{h.channelCount}
            << ", \"sampleRate\": " << h.sampleRate << ", \"loop\": ";
        if (h.loopMode == kVORPLoopNone) {
          out << "null";
        } else {
          out << "{\"mode\": " << JsonString(SampleLoopModeName(h)) << ", \"start\": " << h.loopStart
              << ", \"end\": " << h.loopEnd << "}";
        }
        out << ", \"rootKey\": " << int{h.rootKey} << ", \"fineTune\": " << int{h.fineTune} << "}";
      }
    }
    out << "}";
  }
  out << (index.Empty() ? "]\n" : "\n  ]\n") << "}\n";
}

int List(const ListOptions& options, Streams& streams) {
  NSFerryman::COpenFile media{NSFerryman::CFileSpec(options.file)};
  CWarnings warnings(streams.err, options.file);
  CListed listed{media, ReadAndCheckHamperHeader(media), {}, {}, options.longListing, warnings};
  listed.index = ReadHamperIndexRecords(media, listed.description);
  // A damaged index is still listed: the listing is how one sees what is wrong with it.
  listed.problems = CheckHamperIndexLayout(listed.description, listed.index, media.GetSize());
  for (std::size_t r = 0; r < listed.index.Size() && warnings.Shows(); ++r) {
    if (const std::optional<CIndexLayoutProblem> problem = listed.problems.Of(r)) {
      warnings.Add(EscapeForTerminal(listed.index.Path(r)) + ": " +
                   EscapeForTerminal(listed.problems.Text(*problem, listed.description, listed.index, media.GetSize())));
    }
  }
  if (!warnings.Shows()) warnings.AddUnshown(listed.problems.Count() - warnings.Count());
  if (options.json) {
    PrintJson(streams.out, listed);
  } else {
    PrintText(streams.out, listed);
  }
  warnings.Finish();
  return kExitOk;
}

const CommandRegistrar kList(
    "list", "Print a Hamper's description and index", [](CLI::App& sub) -> std::function<int(Streams&)> {
      auto options = std::make_shared<ListOptions>();
      sub.add_option("FILE", options->file, "The Hamper (.hmp) to list")->required();
      sub.add_flag("-l,--long", options->longListing,
                   "Also each sample's length, channels, sample rate, loop and root key");
      sub.add_flag("--json", options->json, "Print one JSON object instead of text");
      return [options](Streams& streams) {
        return ReportingFailures(streams, options->file, [&] { return List(*options, streams); });
      };
    });

}  // namespace
}  // namespace cli
