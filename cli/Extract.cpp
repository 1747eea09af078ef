// `hamper extract FILE.hmp DIR [--force]`: writes every item of a Hamper back as a file below DIR,
// at its Path with ":" as "/": audio as a 16-bit WAV file with its loop and root key, everything
// else as stored. Nothing is ever written outside DIR, whatever the index says; an item that
// cannot be written is reported and the others are still written.

#include <algorithm>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Command.h"
#include "cli/ConfinedFolder.h"
#include "cli/TerminalText.h"
#include "container/HamperHeader.h"
#include "container/HamperItemPath.h"
#include "framework/media/AsciiCase.h"
#include "framework/media/Exceptions.h"
#include "framework/media/OpenFile.h"
#include "framework/media/PartialMedia.h"
#include "framework/media/PartialOutputRegistry.h"
#include "items/AudioItemDecoder.h"

namespace cli {
namespace {

struct ExtractOptions {
  std::string file;
  std::string dir;
  bool force = false;
};

constexpr int kAudioItemType = 11;
constexpr std::size_t kCopyBlock = 65536;

// An audio item becomes a WAV file: a name that does not say so gets ".wav" in place of its
// extension ("Kick.aif" -> "Kick.wav", "Kick" -> "Kick.wav").
std::string WaveFileName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  const std::string_view extension = dot == std::string::npos ? "" : std::string_view(name).substr(dot);
  if (NSFerryman::AsciiEqualsIgnoringCase(extension, ".wav") || NSFerryman::AsciiEqualsIgnoringCase(extension, ".wave")) {
    return name;
  }
  return (dot == std::string::npos ? name : name.substr(0, dot)) + ".wav";
}

void CopyItem(NSFerryman::CMedia& item, NSFerryman::CMedia& out) {
  std::vector<std::uint8_t> buffer(kCopyBlock);
  const NSFerryman::MediaSize size = item.GetSize();
  for (NSFerryman::MediaSize done = 0; done < size;) {
    const auto n = static_cast<std::size_t>(std::min<NSFerryman::MediaSize>(size - done, buffer.size()));
    item.ReadAt(done, n, buffer.data());
    out.Write(n, buffer.data());
    done += n;
  }
}

// Writes one item; returns the target's path below DIR. Throws what stops it.
std::string ExtractItem(const CHamperIndexEntry& record, const CHamperDescription& header, NSFerryman::CMedia& hamper,
                        CConfinedFolder& folder, bool replace, const std::set<std::string>& written) {
  const CHamperItemPath path = SplitHamperItemPath(record.GetPath());
  if (!path.problem.empty()) throw NSFerryman::XBadFormat("not written: " + path.problem);
  const bool audio = record.GetItemType() == kAudioItemType;
  CHamperItemPath target = path;
  if (audio) target.components.back() = WaveFileName(path.FileName());
  const std::string relative = target.Relative();
  // Twin records, or a name that only became equal with ".wav": the second must not replace the
  // first, even with --force.
  if (written.contains(relative)) throw NSFerryman::XCreateFailed(relative + ": another item was written there");
  if (!ItemLiesInsideHamper(header, record, hamper.GetSize())) {
    throw NSFerryman::XBadFormat("the item lies outside the file");
  }
  NSFerryman::CPartialMedia item(hamper, std::uint64_t{header.GetDataOffset()} + record.GetOffset(), record.GetSize());
  if (audio) CheckAudioItemDecodesToWave(item);
  const auto out = folder.CreateFile(target.Folders(), target.FileName(), replace);
  if (audio) {
    DecodeAudioItemToWave(item, out->Media());
  } else {
    CopyItem(item, out->Media());
  }
  out->Commit();
  return relative;
}

int Extract(const ExtractOptions& options, Streams& streams) {
  NSFerryman::COpenFile hamper{NSFerryman::CFileSpec(options.file)};
  const CHamperDescription header = ReadAndCheckHamperHeader(hamper);
  const std::vector<CHamperIndexEntry> index = ReadHamperIndex(hamper, header);
  CConfinedFolder folder(options.dir);

  std::set<std::string> written;
  std::size_t failed = 0;
  bool taken = false;
  const auto report = [&](const CHamperIndexEntry& record, std::string problem) {
    ++failed;
    // A problem of the target file names it by its path below DIR: said once when that is just
    // the item's Path ("Kits:Kick.wav: is there already", not "...: Kits/Kick.wav: is there ...").
    std::string asTarget = record.GetPath();
    std::replace(asTarget.begin(), asTarget.end(), ':', '/');
    if (problem.starts_with(asTarget + ": ")) problem.erase(0, asTarget.size() + 2);
    streams.err << "hamper: " << EscapeForTerminal(options.file) << ": " << EscapeForTerminal(record.GetPath())
                << ": " << EscapeForTerminal(problem) << "\n";
  };
  for (const CHamperIndexEntry& record : index) {
    try {
      written.insert(ExtractItem(record, header, hamper, folder, options.force, written));
    } catch (const XTargetExists& e) {
      taken = true;
      report(record, e.what());
    } catch (const std::bad_alloc&) {
      report(record, OutOfMemoryLine());
    } catch (const std::exception& e) {
      report(record, e.what());
    }
  }
  if (failed > 0) {
    streams.err << "hamper: " << EscapeForTerminal(options.file) << ": " << failed << " of " << index.size()
                << " items were not written" << (taken ? " (--force replaces files that are there)" : "") << "\n";
    return kExitFailure;
  }
  return kExitOk;
}

const CommandRegistrar kExtract(
    "extract", "Write every item of a Hamper back as a file (audio as WAV)",
    [](CLI::App& sub) -> std::function<int(Streams&)> {
      auto options = std::make_shared<ExtractOptions>();
      sub.add_option("FILE", options->file, "The Hamper (.hmp) to extract")->required();
      sub.add_option("DIR", options->dir, "The folder to write the items into (made when missing)")->required();
      sub.add_flag("-f,--force", options->force, "Replace files that are there already");
      return [options](Streams& streams) {
        NSFerryman::InstallPartialOutputRemoval();
        return ReportingFailures(streams, options->file, [&] { return Extract(*options, streams); });
      };
    });

}  // namespace
}  // namespace cli
