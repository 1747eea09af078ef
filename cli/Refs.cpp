// `hamper refs FILE [--root DIR] [--name NAME] [--hampers DIR]... [--json]`: what a song,
// published song or patch refers to, record by record, and where each internal record resolves.
// Authors use it to see why a pack would stop before they pack.

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "browse/ItemReferences.h"
#include "cli/Command.h"
#include "cli/CommandDatabase.h"
#include "cli/JsonText.h"
#include "cli/TerminalText.h"
#include "filetypes/FileType.h"
#include "framework/media/AsciiCase.h"
#include "framework/media/OpenFile.h"
#include "items/HostFile.h"
#include "pack/FolderDescription.h"
#include "pack/FolderScan.h"
#include "references/ReferenceErrors.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

struct RefsOptions {
  std::string file;
  std::string root;
  std::string name;
  bool nameGiven = false;
  std::vector<std::string> hampers;
  bool json = false;
};

struct CRecordReport {
  CSF10ReferenceChunk record;
  bool external = false;
  std::optional<std::string> resolvesTo;  // internal records only
  std::string problem;                    // why an internal record resolves nowhere
};

bool HoldsDescriptionFiles(const fs::path& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = NSFerryman::AsciiUpperCopy(it->path().filename().string());
    if (name == "INFO.TXT" || name == "NAME.TXT") return true;
  }
  return false;
}

// The nearest folder above the file that holds description files, else the file's own folder.
fs::path DefaultRoot(const fs::path& file) {
  const fs::path own = fs::absolute(file).lexically_normal().parent_path();
  for (fs::path folder = own; !folder.empty(); folder = folder.parent_path()) {
    if (HoldsDescriptionFiles(folder)) return folder;
    if (folder == folder.parent_path()) break;
  }
  return own;
}

EHostFileKind KindOf(const std::string& path, NSFerryman::CMedia& media) {
  const CFileType& type = ClassifyFileName(fs::path(path).filename().string());
  if (TypeMatchesType(TesselSongFileType(), type)) return EHostFileKind::kSong;
  if (TypeMatchesType(PublishedTesselSongFileType(), type)) return EHostFileKind::kPublishedSong;
  for (const CFileType* patch : {&PolywinderPatchFileType(), &SX24SamplerPatchFileType(), &ThumprPatchFileType(),
                                 &LooptorPatchFileType()}) {
    if (TypeMatchesType(*patch, type)) return EHostFileKind::kPatch;
  }
  return HostFileKindOf(media);
}

const char* KindName(EHostFileKind kind) {
  switch (kind) {
    case EHostFileKind::kSong: return "song";
    case EHostFileKind::kPatch: return "patch";
    case EHostFileKind::kPublishedSong: return "published song";
  }
  return "";
}

// The real names from below the root down to the item, joined by "/".
std::string PathBelow(const CNavigationHolder& item, const MINavigationInterface& root) {
  std::vector<std::string> names;
  for (CNavigationHolder current = item; current && !current->IsSame(root); current = current->GetParent()) {
    names.push_back(current->GetName());
  }
  std::string path;
  for (auto it = names.rbegin(); it != names.rend(); ++it) path += (path.empty() ? "" : "/") + *it;
  return path;
}

void PrintText(std::ostream& out, const std::string& file, EHostFileKind kind, const std::string& hamper,
               const fs::path& root, const std::vector<CRecordReport>& reports) {
  out << EscapeForTerminal(file) << ": " << KindName(kind) << ", " << reports.size() << " reference record"
      << (reports.size() == 1 ? "" : "s") << "; internal means in the Hamper \"" << EscapeForTerminal(hamper)
      << "\" of " << EscapeForTerminal(root.string()) << "\n";
  std::size_t number = 0;
  for (const CRecordReport& report : reports) {
    const CSF10ReferenceChunk& r = report.record;
    out << "\n" << ++number << ". \"" << EscapeForTerminal(r.displayName) << "\": ";
    if (report.external) {
      out << "external, in the Hamper \"" << EscapeForTerminal(r.hamperName) << "\"\n";
    } else if (report.resolvesTo) {
      out << "internal, resolves to " << EscapeForTerminal(*report.resolvesTo) << "\n";
    } else {
      out << "internal, RESOLVES NOWHERE (" << EscapeForTerminal(report.problem) << ")\n";
    }
    for (const std::string& line : DescribeReferenceParts(r, EscapeForTerminal)) out << "   " << line << "\n";
  }
}

void PrintJson(std::ostream& out, const std::string& file, const std::vector<CRecordReport>& reports) {
  out << "{\n  " << JsonMember("file", file) << ",\n  \"references\": [";
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const CSF10ReferenceChunk& r = reports[i].record;
    out << (i ? ",\n" : "\n") << "    {" << JsonMember("displayName", r.displayName) << ", " << JsonMember("hamperName", r.hamperName)
        << ", " << JsonMember("hamperUrl", r.hamperUrl)
        << ",\n     \"relative\": ";
    if (r.relative.present) {
      out << "{\"levelsUp\": " << r.relative.levelsUp << ", " << JsonArrayMember("components", r.relative.components)
          << "}";
    } else {
      out << "null";
    }
    out << ",\n     \"database\": ";
    if (r.database.present) {
      out << "{" << JsonMember("hamperName", r.database.hamperName)
          << ", " << JsonArrayMember("components", r.database.components) << "}";
    } else {
      out << "null";
    }
    out << ",\n     \"volume\": ";
    if (r.volume.present) {
      out << "{" << JsonMember("name", r.volume.volumeName) << ", \"kind\": " << int{r.volume.volumeKind}
          << ", " << JsonArrayMember("components", r.volume.components) << "}";
    } else {
      out << "null";
    }
    out << ",\n     \"kind\": \"" << (reports[i].external ? "external" : "internal") << "\", "
        << (reports[i].resolvesTo ? JsonMember("resolvesTo", *reports[i].resolvesTo) : std::string("\"resolvesTo\": null"))
        << "}";
  }
  out << (reports.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

int Refs(const RefsOptions& options, Streams& streams) {
  CCommandDatabase commandDatabase(options.hampers, streams.err);
  CDatabase& database = commandDatabase.Get();
  CDatabaseScope scope(database);

  const fs::path root = options.root.empty() ? DefaultRoot(options.file) : fs::absolute(options.root).lexically_normal();
  std::string hamper = options.name;
  if (!options.nameGiven) {
    CFileEntryList topLevel = ListTopLevel(CItemReference(database.ItemForPath(root.string())));
    hamper = ReadDescriptionFiles(topLevel).description.GetName();
  }

  NSFerryman::COpenFile media{NSFerryman::CFileSpec(options.file)};
  const EHostFileKind kind = KindOf(options.file, media);
  const std::vector<CSF10ReferenceChunk> records = ReadHostFileReferences(kind, media);

  CReferenceContext context;
  context.rootFolder = database.ItemForPath(root.string());
  context.hamperName = hamper;
  context.referencingItem = database.ItemForPath(options.file);
  context.referencingName = fs::path(options.file).filename().string();
  context.database = &database;

  std::vector<CRecordReport> reports;
  for (const CSF10ReferenceChunk& record : records) {
    CRecordReport report;
    report.record = record;
    report.external = IsExternalReference(record, hamper);
    if (!report.external) {
      try {
        const CReferenceTarget target = FindReferenceTarget(context, record);
        PathBelowRoot(*target.item, *context.rootFolder);
        report.resolvesTo = PathBelow(target.item, *context.rootFolder);
      } catch (const XBadReference& e) {
        report.problem = e.what();
      }
    }
    reports.push_back(std::move(report));
  }

  if (options.json) {
    PrintJson(streams.out, options.file, reports);
  } else {
    PrintText(streams.out, options.file, kind, hamper, root, reports);
  }
  int exit = kExitOk;
  for (const CRecordReport& report : reports) {
    if (report.external || report.resolvesTo) continue;
    streams.err << "hamper: " << EscapeForTerminal(options.file) << ": '" << EscapeForTerminal(report.record.displayName)
                << "' resolves nowhere in " << EscapeForTerminal(root.string()) << "\n";
    exit = kExitFailure;
  }
  return exit;
}

const CommandRegistrar kRefs(
    "refs", "Show what a song, published song or patch refers to and where each reference resolves",
    [](CLI::App& sub) -> std::function<int(Streams&)> {
      auto options = std::make_shared<RefsOptions>();
      sub.add_option("FILE", options->file, "The song (.tns, .tps) or patch (.zyp, .smp, .drp, .sxp)")->required();
      sub.add_option("--root", options->root,
                     "The content folder references must resolve in (default: the nearest folder above FILE "
                     "with description files, else FILE's folder)")
          ->type_name("DIR");
      sub.add_option("--name", options->name,
                     "The Name of the Hamper being built, which decides internal and external (default: the Name "
                     "the root folder's description files give)");
      AddHampersOption(sub, options->hampers);
      sub.add_flag("--json", options->json, "Print one JSON object instead of text");
      return [options, &sub](Streams& streams) {
        options->nameGiven = sub.count("--name") > 0;
        if (TooManyHampersFolders(options->hampers, streams.err)) return static_cast<int>(kExitUsage);
        return ReportingFailures(streams, options->file, [&] { return Refs(*options, streams); });
      };
    });

}  // namespace
}  // namespace cli
