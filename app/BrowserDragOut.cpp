#include "app/BrowserDragOut.h"

#include <QApplication>
#include <QGuiApplication>
#include <optional>
#include <set>
#include <sys/stat.h>

#include "app/DirectSave.h"
#include "app/DragOutData.h"
#include "browse/HamperContents.h"
#include "framework/media/Exceptions.h"
#include "framework/media/PrivateTemporaryFolder.h"

namespace {

constexpr char kFolderPrefix[] = "hamper-packer-drag-";

// The host of a drop's extraction, which the target waits for: it never stops.
class CWholeExtraction : public MExtractionHost {
 public:
  bool StopRequested() override { return false; }
  void ShowExtractionProgress(std::uint64_t, std::uint64_t, std::string_view) override {}
};

}  // namespace

// Shared with the handlers of the drags, which the toolkit may keep a moment longer than the
// window: they hold it weakly, and do nothing once it is gone or the contents were forgotten.
struct CBrowserDragOut::CState {
  StartExtraction start;
  std::unique_ptr<NSFerryman::CPrivateTemporaryFolder> folder;
  int drags = 0;
  std::uint64_t generation = 0;
};

CBrowserDragOut::CBrowserDragOut(std::function<bool()> dropped, std::function<QByteArray()> directSaveTarget,
                                 StartExtraction start)
    : state_(std::make_shared<CState>()), dropped_(std::move(dropped)), directSaveTarget_(std::move(directSaveTarget)) {
  state_->start = std::move(start);
  if (!dropped_) dropped_ = [] { return QGuiApplication::mouseButtons() == Qt::NoButton; };
  if (!directSaveTarget_ && directsave::Available()) directSaveTarget_ = &directsave::TargetUri;
}

CBrowserDragOut::~CBrowserDragOut() = default;

void CBrowserDragOut::RemoveLeftovers() { NSFerryman::RemoveLeftoverTemporaryFolders(kFolderPrefix); }

void CBrowserDragOut::Forget() { ++state_->generation; }

QMimeData* CBrowserDragOut::Make(const CHamperContents& contents, std::span<const std::uint32_t> nodes) {
  std::vector<CExtractionItem> items = DraggedItems(contents, nodes);
  if (items.empty()) return nullptr;
  // What each dragged node lands as: the first name of its items' paths.
  std::vector<std::string> names;
  std::set<std::string> named;
  for (const CExtractionItem& item : items) {
    std::string name = item.path.substr(0, item.path.find(':'));
    if (named.insert(name).second) names.push_back(std::move(name));
  }
  const std::weak_ptr<CState> weak = state_;
  const std::uint64_t generation = state_->generation;
  // The state, while the contents of the drag are still those shown.
  const auto current = [weak, generation]() -> std::shared_ptr<CState> {
    std::shared_ptr<CState> state = weak.lock();
    return state && state->generation == generation ? state : nullptr;
  };
  const CHamperContents* shown = &contents;
  CDragOutData::CHandlers handlers;
  handlers.extractInto = [current, shown, items](const std::string& folder) {
    if (const auto state = current()) state->start(*shown, items, folder);
  };
  handlers.makeFolder = [current]() -> std::optional<std::string> {
    const auto state = current();
    if (!state) return std::nullopt;
    try {
      if (!state->folder) state->folder = std::make_unique<NSFerryman::CPrivateTemporaryFolder>(kFolderPrefix);
      const std::string folder = state->folder->Path() + "/" + std::to_string(++state->drags);
      if (::mkdir(folder.c_str(), 0700) != 0) return std::nullopt;
      return folder;
    } catch (const NSFerryman::XBase&) {
      return std::nullopt;
    }
  };
  handlers.extractNow = [current, shown, items](const std::string& folder) {
    if (!current()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
      CWholeExtraction whole;
      CExtractionRun(*shown, folder).Extract(items, false, whole);
    } catch (const std::exception&) {
      // What could not be written is not handed over.
    }
    QApplication::restoreOverrideCursor();
  };
  handlers.dropped = dropped_;
  handlers.directSaveTarget = directSaveTarget_;
  return new CDragOutData(std::move(names), std::move(handlers));
}
