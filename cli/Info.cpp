// `hamper info FILE.hmp [--hampers DIR]... [--json]`: a Hamper in figures: its description, its
// items and stored bytes by kind, the other Hampers its songs and patches need (and whether they
// are installed), and the stored audio against its 16-bit PCM size (browse/HamperSummary.h). A
// damaged Hamper is summed up as far as it can be read, its problems are warned of, and the
// command fails.

#include <fmt/format.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "browse/HamperContents.h"
#include "browse/HamperSummary.h"
#include "browse/ItemKind.h"
#include "cli/Command.h"
#include "cli/DescriptionText.h"
#include "cli/CommandDatabase.h"
#include "cli/JsonText.h"
#include "cli/TerminalText.h"
#include "cli/Warnings.h"

namespace cli {
namespace {

struct InfoOptions {
  std::string file;
  std::vector<std::string> hampers;
  bool json = false;
};

std::string Percent(std::uint64_t part, std::uint64_t whole) {
  return whole == 0 ? std::string("-") : fmt::format("{:.1f} %", 100.0 * static_cast<double>(part) / whole);
}

void PrintText(std::ostream& out, const CHamperContents& contents, const CHamperSummary& summary,
               const std::vector<bool>& installed) {
  const CHamperDescription& d = contents.Description();
  PrintDescriptionTexts(out, d);
  out << "Size:        " << contents.FileSize() << " bytes, " << summary.items << " item"
      << (summary.items == 1 ? "" : "s") << " (" << summary.hiddenItems << " hidden) of " << summary.itemBytes
      << " bytes\n";
  if (!summary.kinds.empty()) {
    out << "\n" << fmt::format("{:<26}{:>7}{:>14}", "Kind", "Items", "Bytes") << "\n";
    for (const CKindTotal& kind : summary.kinds) {
      out << fmt::format("{:<26}{:>7}{:>14}", ItemKindName(kind.itemType), kind.items, kind.bytes) << "\n";
    }
  }
  out << "\n";
  if (summary.externalHampers.empty()) {
    out << "Other Hampers: none; nothing in it refers outside it\n";
  } else {
    out << "Other Hampers its songs and patches need:\n";
    for (std::size_t i = 0; i < summary.externalHampers.size(); ++i) {
      const CExternalHamperUse& use = summary.externalHampers[i];
      out << "  \"" << EscapeForTerminal(use.name) << "\" (" << (installed[i] ? "installed" : "not installed")
          << "), by ";
      for (std::size_t k = 0; k < use.usedBy.size(); ++k) out << (k ? ", " : "") << EscapeForTerminal(use.usedBy[k]);
      out << "\n";
    }
  }
  out << "Audio:       " << summary.samples << " sample" << (summary.samples == 1 ? "" : "s") << ", "
      << fmt::format("{:.3f}", summary.audioSeconds) << " s: " << summary.audioBytes << " bytes stored for "
      << summary.pcmBytes << " bytes of 16-bit PCM (" << Percent(summary.audioBytes, summary.pcmBytes) << ")\n";
}

void PrintJson(std::ostream& out, const std::string& file, const CHamperContents& contents,
               const CHamperSummary& summary, const std::vector<bool>& installed) {
  const CHamperDescription& d = contents.Description();
  out << "{\n  " << JsonMember("file", file) << ",\n  " << JsonMember("name", d.GetName()) << ",\n  "
      << JsonMember("comments", d.GetComments()) << ",\n  " << JsonMember("url", d.GetURL()) << ",\n  "
      << JsonMember("copyright", d.GetCopyright()) << ",\n  \"fileSize\": " << contents.FileSize()
      << ",\n  \"items\": " << summary.items << ",\n  \"hiddenItems\": " << summary.hiddenItems
      << ",\n  \"itemBytes\": " << summary.itemBytes << ",\n  \"kinds\": [";
  for (std::size_t i = 0; i < summary.kinds.size(); ++i) {
    const CKindTotal& kind = summary.kinds[i];
    out << (i ? ",\n" : "\n") << "    {\"itemType\": " << kind.itemType
        << ", \"kind\": " << JsonString(ItemKindName(kind.itemType)) << ", \"items\": " << kind.items
        << ", \"bytes\": " << kind.bytes << "}";
  }
  out << (summary.kinds.empty() ? "]" : "\n  ]") << ",\n  \"externalHampers\": [";
  for (std::size_t i = 0; i < summary.externalHampers.size(); ++i) {
    const CExternalHamperUse& use = summary.externalHampers[i];
    out << (i ? ",\n" : "\n") << "    {" << JsonMember("name", use.name)
        << ", \"installed\": " << (installed[i] ? "true" : "false") << ", " << JsonArrayMember("usedBy", use.usedBy)
        << "}";
  }
  out << (summary.externalHampers.empty() ? "]" : "\n  ]") << ",\n  \"audio\": {\"samples\": " << summary.samples
      << ", \"seconds\": " << fmt::format("{:.6f}", summary.audioSeconds) << ", \"storedBytes\": " << summary.audioBytes
      << ", \"pcmBytes\": " << summary.pcmBytes << "},\n  \"problems\": [";
  // What is wrong with the Hamper as a whole, then with items, each by its path.
  std::size_t n = 0;
  for (const std::string& problem : contents.Problems()) {
    out << (n++ ? ",\n" : "\n") << "    {" << JsonMember("cause", problem) << "}";
  }
  for (const CItemProblem& problem : summary.problems) {
    out << (n++ ? ",\n" : "\n") << "    {" << JsonMember("path", problem.path) << ", "
        << JsonMember("cause", problem.cause) << "}";
  }
  out << (n ? "\n  ]" : "]") << ",\n  \"problemsNotListed\": " << summary.problemsNotListed << "\n}\n";
}

int Info(const InfoOptions& options, Streams& streams) {
  const std::unique_ptr<CHamperContents> contents = CHamperContents::Open(options.file);
  if (!contents->HasDescription()) {
    throw NSFerryman::XBadFormat(contents->Problems().empty() ? "not a Hamper" : contents->Problems().front());
  }
  const CHamperSummary summary = SummariseHamper(*contents);

  std::vector<bool> installed;
  if (!summary.externalHampers.empty()) {
    CCommandDatabase commandDatabase(options.hampers, streams.err);
    CDatabase& database = commandDatabase.Get();
    CDatabaseScope scope(database);
    for (const CExternalHamperUse& use : summary.externalHampers) {
      installed.push_back(static_cast<bool>(database.FindInstalledHamper(use.name)));
    }
  }
  if (options.json) {
    PrintJson(streams.out, options.file, *contents, summary, installed);
  } else {
    PrintText(streams.out, *contents, summary, installed);
  }
  CWarnings warnings(streams.err, options.file);
  for (const std::string& problem : contents->Problems()) warnings.Add(EscapeForTerminal(problem));
  for (const CItemProblem& problem : summary.problems) {
    warnings.Add(EscapeForTerminal(problem.path) + ": " + EscapeForTerminal(problem.cause));
  }
  warnings.AddUnshown(summary.problemsNotListed);
  warnings.Finish();
  return warnings.Count() == 0 ? kExitOk : kExitFailure;
}

const CommandRegistrar kInfo(
    "info", "Sum up a Hamper: its description, its items by kind, the Hampers it needs, its audio",
    [](CLI::App& sub) -> std::function<int(Streams&)> {
      auto options = std::make_shared<InfoOptions>();
      sub.add_option("FILE", options->file, "The Hamper (.hmp) to sum up")->required();
      AddHampersOption(sub, options->hampers);
      sub.add_flag("--json", options->json, "Print one JSON object instead of text");
      return [options](Streams& streams) {
        if (TooManyHampersFolders(options->hampers, streams.err)) return static_cast<int>(kExitUsage);
        return ReportingFailures(streams, options->file, [&] { return Info(*options, streams); });
      };
    });

}  // namespace
}  // namespace cli
