// `hamper list FILE.hmp [--long] [--json]`: prints a Hamper's description record and its index,
// one record per line with its kind in words, or the same as one JSON object. With --long, each
// sample's facts from its header too: length, channels, rate, loop and root key.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <fmt/format.h>

#include "browse/HamperContents.h"
#include "browse/ItemKind.h"
#include "browse/SampleFacts.h"
#include "cli/Command.h"
#include "cli/DescriptionText.h"
#include "cli/JsonText.h"
#include "cli/TerminalText.h"
#include "container/HamperIndexLayout.h"
#include "container/HamperHeader.h"
#include "framework/media/OpenFile.h"
#include "framework/media/PartialMedia.h"

namespace cli {
namespace {

// The facts of each sample, read from its header; for other items none. A sample whose header
// cannot be read has its problem instead.
struct CItemFacts {
  bool sample = false;
  bool recordDamaged = false;  // warned of already
  CSampleFactsResult facts;
};

std::vector<CItemFacts> ReadFacts(NSFerryman::CMedia& media, const CHamperDescription& d,
                                  const std::vector<CHamperIndexEntry>& index,
                                  const std::vector<CIndexLayoutProblem>& problems) {
  std::vector<CItemFacts> all(index.size());
  std::vector<bool> damaged(index.size(), false);
  for (const CIndexLayoutProblem& problem : problems) damaged[problem.record] = true;
  for (std::size_t i = 0; i < index.size(); ++i) {
    const CHamperIndexEntry& e = index[i];
    if (!IsSampleItemType(e.GetItemType())) continue;
    all[i].sample = true;
    if (damaged[i]) {
      all[i].recordDamaged = true;
      all[i].facts.problem = "its record is damaged";
      continue;
    }
    try {
      NSFerryman::CPartialMedia item(media, std::uint64_t{d.GetDataOffset()} + e.GetOffset(), e.GetSize());
      all[i].facts.header = ReadSampleFacts(item);
      all[i].facts.ok = true;
    } catch (const NSFerryman::XBase& x) {
      all[i].facts.problem = x.what();
    }
  }
  return all;
}

void PrintText(std::ostream& out, const CHamperDescription& d, const std::vector<CHamperIndexEntry>& index,
               const std::vector<CItemFacts>* facts) {
  PrintDescriptionTexts(out, d);
  out << "Entries:     " << d.GetEntryCount() << "\n"
      << "IndexOffset: " << d.GetIndexOffset() << "\n"
      << "DataOffset:  " << d.GetDataOffset() << "\n";
  if (index.empty()) return;
  // Columns as wide as their widest cell; the Path last, as it is.
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> heading = {"ItemType", "Kind", "Offset", "Size", "Hidden"};
  if (facts) heading.insert(heading.end(), {"Length", "Channels", "Rate", "Loop", "Root key"});
  heading.push_back("Path");
  rows.push_back(heading);
  for (std::size_t i = 0; i < index.size(); ++i) {
    const CHamperIndexEntry& e = index[i];
    std::vector<std::string> row = {std::to_string(e.GetItemType()), std::string(ItemKindName(e.GetItemType())),
                                    std::to_string(e.GetOffset()), std::to_string(e.GetSize()),
                                    e.IsHidden() ? "yes" : "no"};
    if (facts) {
      const CItemFacts& f = (*facts)[i];
      if (f.sample && f.facts.ok) {
        const CVORPSampleHeader& h = f.facts.header;
        row.insert(row.end(), {SampleLengthText(h), SampleChannelsText(h), SampleRateText(h), SampleLoopText(h),
                               SampleRootKeyText(h)});
      } else {
        row.insert(row.end(), {f.sample ? "damaged" : "", "", "", "", ""});
      }
    }
    row.push_back(EscapeForTerminal(e.GetPath()));
    rows.push_back(std::move(row));
  }
  std::vector<std::size_t> widths(heading.size(), 0);
  for (const auto& row : rows) {
    for (std::size_t c = 0; c + 1 < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  out << "\n";
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t c = 0; c + 1 < row.size(); ++c) {
      line += row[c];
      line.resize(line.size() + widths[c] - row[c].size() + 2, ' ');
    }
    out << line << row.back() << "\n";
  }
}

void PrintJson(std::ostream& out, const CHamperDescription& d, const std::vector<CHamperIndexEntry>& index,
               const std::vector<CItemFacts>* facts) {
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
        << ", \"kind\": " << JsonString(ItemKindName(e.GetItemType())) << ", \"offset\": " << e.GetOffset()
        << ", \"size\": " << e.GetSize() << ", \"hidden\": " << (e.IsHidden() ? "true" : "false");
    if (facts && (*facts)[i].sample) {
      const CSampleFactsResult& f = (*facts)[i].facts;
      if (!f.ok) {
        out << ",\n     \"sample\": {" << JsonMember("problem", f.problem) << "}";
      } else {
        const CVORPSampleHeader& h = f.header;
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
  out << (index.empty() ? "]\n" : "\n  ]\n") << "}\n";
}

const CommandRegistrar kList(
    "list", "Print a Hamper's description and index", [](CLI::App& sub) -> std::function<int(Streams&)> {
      struct Options {
        std::string file;
        bool json = false;
        bool longListing = false;
      };
      auto options = std::make_shared<Options>();
      sub.add_option("FILE", options->file, "The Hamper (.hmp) to list")->required();
      sub.add_flag("-l,--long", options->longListing,
                   "Also each sample's length, channels, sample rate, loop and root key");
      sub.add_flag("--json", options->json, "Print one JSON object instead of text");
      return [options](Streams& streams) {
        return ReportingFailures(streams, options->file, [&] {
          NSFerryman::COpenFile media{NSFerryman::CFileSpec(options->file)};
          const CHamperDescription description = ReadAndCheckHamperHeader(media);
          const std::vector<CHamperIndexEntry> index = ReadHamperIndex(media, description);
          // A damaged index is still listed: the listing is how one sees what is wrong with it.
          const std::vector<CIndexLayoutProblem> problems = CheckHamperIndexLayout(description, index, media.GetSize());
          for (const CIndexLayoutProblem& problem : problems) {
            streams.err << "hamper: warning: " << EscapeForTerminal(options->file) << ": "
                        << EscapeForTerminal(index[problem.record].GetPath()) << ": "
                        << EscapeForTerminal(problem.message) << "\n";
          }
          std::vector<CItemFacts> facts;
          if (options->longListing) {
            facts = ReadFacts(media, description, index, problems);
            for (std::size_t i = 0; i < facts.size(); ++i) {
              if (!facts[i].sample || facts[i].facts.ok || facts[i].recordDamaged) continue;
              streams.err << "hamper: warning: " << EscapeForTerminal(options->file) << ": "
                          << EscapeForTerminal(index[i].GetPath()) << ": " << EscapeForTerminal(facts[i].facts.problem)
                          << "\n";
            }
          }
          const std::vector<CItemFacts>* shownFacts = options->longListing ? &facts : nullptr;
          if (options->json) {
            PrintJson(streams.out, description, index, shownFacts);
          } else {
            PrintText(streams.out, description, index, shownFacts);
          }
          return static_cast<int>(kExitOk);
        });
      };
    });

}  // namespace
}  // namespace cli
