// `hamper check INPUT_DIR [--hampers DIR]... [--slc-library PATH] [--json]`: a dry run of a pack
// that writes nothing and reports every problem it finds at once.

#include <memory>
#include <ostream>
#include <string>

#include "cli/Command.h"
#include "cli/CommandDatabase.h"
#include "cli/JsonText.h"
#include "cli/JsonWarnings.h"
#include "cli/TerminalText.h"
#include "framework/media/Exceptions.h"
#include "pack/FolderCheck.h"

namespace cli {
namespace {

struct CheckOptions {
  std::string input;
  std::vector<std::string> hampers;
  std::string slcLibrary;
  bool json = false;
};

std::string ProblemLine(const CFolderProblem& problem) {
  std::string line = problem.file.empty() ? std::string() : EscapeForTerminal(problem.file) + ": ";
  line += ProblemKindName(problem.kind);
  if (problem.kind == CFolderProblem::EKind::kBadReference) {
    return line + ": refers to '" + EscapeForTerminal(problem.detail) +
           "', which is neither in the folder nor in another Hamper" +
           (problem.reason.empty() ? "" : " (" + EscapeForTerminal(problem.reason) + ")");
  }
  return line + (problem.detail.empty() ? "" : ": " + EscapeForTerminal(problem.detail));
}

void PrintText(std::ostream& out, const std::string& input, const CFolderCheckReport& report) {
  out << EscapeForTerminal(input) << ": Hamper \"" << EscapeForTerminal(report.description.GetName()) << "\", "
      << report.packableFiles << " packable file" << (report.packableFiles == 1 ? "" : "s") << "\n";
  if (report.problems.empty()) {
    out << "No problems: the folder can be packed.\n";
  } else {
    out << "\nProblems that would stop a pack (" << report.problems.size() << "):\n";
    for (const CFolderProblem& problem : report.problems) out << "  " << ProblemLine(problem) << "\n";
  }
  if (!report.externalHampers.empty()) {
    out << "\nOther Hampers referred to (needed where this one is used):\n";
    for (const auto& [file, names] : report.externalHampers) {
      out << "  " << EscapeForTerminal(file) << ":";
      for (std::size_t i = 0; i < names.size(); ++i) out << (i ? ", '" : " '") << EscapeForTerminal(names[i]) << "'";
      out << "\n";
    }
  }
  const std::vector<CFolderWarning> warnings = report.Warnings();
  if (!warnings.empty()) {
    out << "\nWarnings:\n";
    for (const CFolderWarning& warning : warnings) out << "  " << EscapeForTerminal(FolderWarningText(warning)) << "\n";
  }
}

void PrintJson(std::ostream& out, const std::string& input, const CFolderCheckReport& report) {
  out << "{\n  " << JsonMember("folder", input) << ",\n  " << JsonMember("name", report.description.GetName())
      << ",\n  \"packableFiles\": " << report.packableFiles << ",\n  \"problems\": [";
  for (std::size_t i = 0; i < report.problems.size(); ++i) {
    const CFolderProblem& p = report.problems[i];
    out << (i ? ",\n" : "\n") << "    {" << JsonMember("file", p.file) << ", \"kind\": " << JsonString(ProblemKindName(p.kind))
        << ", " << JsonMember("detail", p.detail);
    if (!p.reason.empty()) out << ", " << JsonMember("reason", p.reason);
    out << "}";
  }
  out << (report.problems.empty() ? "]" : "\n  ]") << ",\n  \"externalHampers\": [";
  for (std::size_t i = 0; i < report.externalHampers.size(); ++i) {
    const auto& [file, names] = report.externalHampers[i];
    out << (i ? ",\n" : "\n") << "    {" << JsonMember("file", file) << ", " << JsonArrayMember("hampers", names) << "}";
  }
  out << (report.externalHampers.empty() ? "]" : "\n  ]") << ",\n  " << JsonWarnings("warnings", report.Warnings())
      << "\n}\n";
}

int Check(const CheckOptions& options, Streams& streams) {
  CCommandDatabase database(options.hampers, streams.err);
  CSLCLibraryState slc(options.slcLibrary);
  const CFolderCheckReport report = CheckFolder(NSFerryman::CDirSpec(options.input), database.Get(), slc);
  if (options.json) {
    PrintJson(streams.out, options.input, report);
  } else {
    PrintText(streams.out, options.input, report);
  }
  return report.problems.empty() ? kExitOk : kExitFailure;
}

const CommandRegistrar kCheck(
    "check", "Check a content folder as a pack would, writing nothing, and report every problem at once",
    [](CLI::App& sub) -> std::function<int(Streams&)> {
      auto options = std::make_shared<CheckOptions>();
      sub.add_option("INPUT_DIR", options->input, "The content folder to check")->required();
      AddHampersOption(sub, options->hampers);
      sub.add_option("--slc-library", options->slcLibrary, "Where the sliced-loop library is");
      sub.add_flag("--json", options->json, "Print one JSON object instead of text");
      return [options](Streams& streams) {
        if (TooManyHampersFolders(options->hampers, streams.err)) return static_cast<int>(kExitUsage);
        return ReportingFailures(streams, options->input, [&] { return Check(*options, streams); });
      };
    });

}  // namespace
}  // namespace cli
