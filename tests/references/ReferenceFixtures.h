#pragma once
// A content folder on disk with samples and songs, a database over it, and the helpers the
// reference tests share.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/iff/IFFFileReader.h"
#include "framework/iff/IFFFileWriter.h"
#include "framework/media/MemoryMedia.h"
#include "framework/resources/AlertHost.h"
#include "navigation/ShellItem.h"
#include "references/Database.h"
#include "references/ReferenceGroups.h"
#include "support/TestSupport.h"
#include "tools/authoring/AuthoringScript.h"

namespace reftest {

// Records each alert and answers with the default button.
struct RecordingAlerts : NSFerryman::MAlertHost {
  int PresentAlert(const NSFerryman::CAlert& alert) override {
    alerts.push_back(alert);
    return NSFerryman::kAlertButton1;
  }
  std::vector<NSFerryman::CAlert> alerts;
};

inline std::vector<std::uint8_t> Authored(const std::string& script) {
  NSFerryman::CMemoryMedia media;
  WriteAuthoredFile(ParseAuthoringScript(script), media);
  return {media.Data(), media.Data() + media.GetSize()};
}

inline std::unique_ptr<NSFerryman::CMemoryMedia> MediaOf(const std::vector<std::uint8_t>& bytes) {
  auto media = std::make_unique<NSFerryman::CMemoryMedia>();
  if (!bytes.empty()) media->Write(bytes.size(), bytes.data());
  media->SetPosition(0);
  return media;
}

// Checks a song's references as the song check does.
inline void CheckSong(const std::vector<std::uint8_t>& bytes, const CReferenceContext& context,
                      ExternalHamperNames& names) {
  const auto media = MediaOf(bytes);
  NSFerryman::CIFFFileReader reader(*media, NSFerryman::EIFFByteOrder::kBigEndian);
  reader.EnterCAT("TS10");
  CheckReferencesOfChunk(reader, context, names);
}

// Rewrites a song as packing does.
inline std::vector<std::uint8_t> RewriteSong(const std::vector<std::uint8_t>& bytes, const CReferenceContext& context) {
  const auto in = MediaOf(bytes);
  NSFerryman::CMemoryMedia out;
  {
    NSFerryman::CIFFFileReader reader(*in, NSFerryman::EIFFByteOrder::kBigEndian);
    NSFerryman::CIFFFileWriter writer(out, NSFerryman::EIFFByteOrder::kBigEndian);
    reader.EnterCAT("TS10");
    writer.BeginCAT("TS10");
    CopyChunksRewritingReferences(reader, writer, context);
    writer.Close();
  }
  return {out.Data(), out.Data() + out.GetSize()};
}

// The records of a song's reference group, in order.
inline std::vector<CSF10ReferenceChunk> RecordsOf(const std::vector<std::uint8_t>& bytes) {
  const auto media = MediaOf(bytes);
  NSFerryman::CIFFFileReader reader(*media, NSFerryman::EIFFByteOrder::kBigEndian);
  reader.EnterCAT("TS10");
  reader.EnterCAT("REFS");
  std::vector<CSF10ReferenceChunk> records;
  if (reader.EnterFirst()) {
    do {
      if (reader.GetCurrentChunk().chars != NSFerryman::CFourCharCode("REFE")) continue;
      reader.GetCurrentMedia().SetPosition(0);
      records.push_back(CSF10ReferenceChunk::Read(reader.GetCurrentMedia()));
    } while (reader.Next());
  }
  return records;
}

// tmp/Content: the folder being packed, named "Content"
//   Samples/kick.wav, snare.wav, kick:1.wav, "kické.wav"
//   Songs/ (where the songs under test live)
// tmp/Outside/far.wav lies outside it. A CD-ROM volume "DEMOCD" is mounted at tmp.
class ContentFolder {
 public:
  ContentFolder() : database_(NSFerryman::AlertId(NSFerryman::kApplicationResources, 92)) {
    for (const char* name : {"Samples/kick.wav", "Samples/snare.wav", "Samples/kick:1.wav", "Samples/kick\xC3\xA9.wav",
                             "Outside/far.wav"}) {
      const std::string folder = std::string(name).starts_with("Outside") ? "" : "Content/";
      test::WriteFileText(dir_ / (folder + name), "sample");
    }
    std::filesystem::create_directories(dir_ / "Content/Songs");
    database_.SetVolumeSource([this] {
      return std::vector<CShellVolume>{{"/", "root", "ext4", "/dev/sda1"}, {dir_.Path().string(), "DEMOCD", "iso9660", "/dev/sr0"}};
    });
  }

  const std::filesystem::path& Path() const { return dir_.Path(); }
  CDatabase& Database() { return database_; }

  // A context for a song written (by WriteSong) at Content/Songs/NAME.
  CReferenceContext Context(const std::string& songName, NSFerryman::MAlertHost* alerts = nullptr) {
    CReferenceContext context;
    context.rootFolder = database_.ItemForPath((dir_ / "Content").string());
    context.hamperName = "Demo Kit";
    context.hamperUrl = "http://example.com/demo\x01";
    context.referencingItem = database_.ItemForPath((dir_ / "Content/Songs" / songName).string());
    context.referencingName = songName;
    context.database = &database_;
    context.alerts = alerts;
    return context;
  }

  std::vector<std::uint8_t> WriteSong(const std::string& songName, const std::string& script) {
    std::vector<std::uint8_t> bytes = Authored(script);
    test::WriteFileBytes(dir_ / "Content/Songs" / songName, bytes);
    return bytes;
  }

  // The components of an absolute path below "/".
  std::string AbsoluteComponents(const std::string& below) const {
    std::string out;
    for (const auto& part : (dir_.Path() / below)) {
      if (part != "/") out += " \"" + part.string() + "\"";
    }
    return out;
  }

 private:
  test::TempDir dir_;
  CDatabase database_;
};

}  // namespace reftest
