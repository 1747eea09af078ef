#include "app/AppTestSupport.h"

#include <QCoreApplication>
#include <QSettings>

#include "app/CreateWindow.h"
#include "framework/media/FileSpec.h"
#include "framework/media/OpenFile.h"
#include "items/PictureTestFiles.h"
#include "items/SampleInfo.h"
#include "items/WaveFileWriter.h"
#include "items/WaveSample.h"
#include "tools/authoring/AuthoringScript.h"

namespace apptest {

int CScriptedAlerts::PresentAlert(const NSFerryman::CAlert& alert) {
  shown.push_back(alert);
  if (onAlert) onAlert(alert);
  const auto answer = answers.find(alert.id);
  return answer != answers.end() ? answer->second : alert.defaultResult;
}

std::vector<std::uint32_t> CScriptedAlerts::Ids() const {
  std::vector<std::uint32_t> ids;
  for (const auto& alert : shown) ids.push_back(alert.id);
  return ids;
}

std::optional<std::string> CScriptedDialogs::ChooseFolder(QWidget*, const std::string& title,
                                                          const std::string& startFolder) {
  asked.push_back({title, startFolder, "", std::nullopt});
  if (folders.empty()) return std::nullopt;
  auto answer = folders.front();
  folders.pop_front();
  return answer;
}

std::optional<std::string> CScriptedDialogs::ChooseSaveFile(QWidget*, const std::string& title,
                                                            const std::string& startFolder,
                                                            const std::string& proposedName, ESavedFileKind kind) {
  asked.push_back({title, startFolder, proposedName, kind});
  if (saveFiles.empty()) return std::nullopt;
  auto answer = saveFiles.front();
  saveFiles.pop_front();
  return answer;
}

std::optional<std::string> CScriptedDialogs::ChooseHamperToOpen(QWidget*, const std::string& title,
                                                                const std::string& startFolder) {
  asked.push_back({title, startFolder, "", std::nullopt});
  if (hampers.empty()) return std::nullopt;
  auto answer = hampers.front();
  hampers.pop_front();
  return answer;
}

namespace {

void WriteSample(const fs::path& path, std::uint32_t frames, int seed) {
  CSampleFormat format;
  format.channels = 2;
  format.bits = 16;
  format.sampleRate = 44100;
  format.frameCount = frames;
  CWaveSample sample(format);
  std::int16_t* data = sample.Frames();
  for (std::uint32_t i = 0; i < frames * 2; ++i) {
    data[i] = static_cast<std::int16_t>(((i * (37 + seed)) % 2000) * 8 - 8000);
  }
  fs::create_directories(path.parent_path());
  NSFerryman::COpenFile out(NSFerryman::CFileSpec(path.string()), 0, 0);
  CWaveFileWriter::Write(out, sample, format.sampleRate, CSampleInfo{});
}

}  // namespace

void WriteContentFolder(const fs::path& folder, const CContent& content) {
  fs::create_directories(folder);
  if (!content.name.empty()) test::WriteFileText(folder / "NAME.TXT", content.name);
  test::WriteFileText(folder / "COMMENTS.TXT", content.comments);
  if (content.splashWidth) {
    picturetest::JPEGPicture splash;
    splash.width = content.splashWidth;
    splash.height = content.splashHeight;
    test::WriteFileBytes(folder / "Splash.jpg", picturetest::MakeJPEG(splash));
  }
  for (int i = 1; i <= content.samples; ++i) {
    WriteSample(folder / "Samples" / ("Sample " + std::to_string(i) + ".wav"), content.frames, i);
  }
  if (content.song && content.samples > 0) {
    const CAuthoredFile song = ParseAuthoringScript(R"(kind song
chunk TNAM "Groove"
refs
  ref "Sample 1.wav"
    relative 1 "Samples" "Sample 1.wav"
  ref "Deep Kick.wav"
    hamper "Drum Basics" "http://example.com/drums"
    relative 1 "Deep Kick.wav"
end
)");
    fs::create_directories(folder / "Songs");
    NSFerryman::COpenFile out(NSFerryman::CFileSpec((folder / "Songs" / "Groove.tns").string()), 0, 0);
    WriteAuthoredFile(song, out);
  }
}

std::size_t FilesBelow(const fs::path& folder) {
  std::size_t count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) count += entry.is_regular_file() ? 1 : 0;
  return count;
}

CPackerFixture::CPackerFixture(std::function<bool()> hasWebBrowser,
                               std::function<bool(const std::string&)> openWebPage,
                               std::function<QString()> audioAvailability) {
  QSettings().clear();
  CHamperPackerOptions options;
  options.slcLibrary = HAMPER_SLC_LIBRARY_FILE;
  options.minimumSplashTime = std::chrono::milliseconds(0);
  options.version = "9.8.7";
  CHamperPackerServices services;
  services.alerts = &alerts;
  services.dialogs = &dialogs;
  services.hasWebBrowser = std::move(hasWebBrowser);
  services.openWebPage = std::move(openWebPage);
  services.audioAvailability = std::move(audioAvailability);
  services.notify = [this](const QString& summary, const QString& body) { notifications.emplace_back(summary, body); };
  services.showInFolder = [this](const std::string& path) {
    shownInFolder.push_back(path);
    return true;
  };
  packer_ = std::make_unique<CHamperPacker>(options, services);
  packer_->Initialise();
  packer_->CreateMainWindow();
}

CPackerFixture::~CPackerFixture() {
  packer_.reset();
  Settle();
}

CCreateWindow& CPackerFixture::Window() { return *packer_->Window(); }

void CPackerFixture::Settle() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

CWhileRunning::CWhileRunning(std::function<void()> work) {
  timer_.setInterval(0);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(work));
  timer_.start();
}

CWhileRunning::~CWhileRunning() { timer_.stop(); }

}  // namespace apptest
