#pragma once
// CBrowserDragOut: what a browser window hands over when items are dragged out of its tree
// (app/DragOutData.h), and the private folder that items dropped on a target taking only file
// names go through, for as long as the window lives (framework/media/PrivateTemporaryFolder.h).
//
//   CBrowserDragOut dragOut(dropped, directSaveTarget, [&](contents, items, folder) { extract.Start(...); });
//   model.SetDragData([&](nodes) { return dragOut.Make(contents, nodes); });
//   dragOut.Forget();   // the window shows other contents: drags of the old write nothing more
//
// A drop that names its folder starts `start` (the window's extraction in the background); a
// drop that takes file names waits while they are written.

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "browse/ExtractionRun.h"

class CHamperContents;
class QMimeData;

class CBrowserDragOut {
 public:
  using StartExtraction =
      std::function<void(const CHamperContents& contents, std::vector<CExtractionItem> items, const std::string& folder)>;

  // `dropped`: whether the drag has been dropped (the mouse button's state when unset);
  // `directSaveTarget`: the URI a drop target wrote back (X11's when unset, none away from X11).
  CBrowserDragOut(std::function<bool()> dropped, std::function<QByteArray()> directSaveTarget, StartExtraction start);
  ~CBrowserDragOut();
  CBrowserDragOut(const CBrowserDragOut&) = delete;
  CBrowserDragOut& operator=(const CBrowserDragOut&) = delete;

  // The data of a drag of the tree's nodes; null when they hold no item.
  QMimeData* Make(const CHamperContents& contents, std::span<const std::uint32_t> nodes);
  void Forget();

  // Removes what a killed process left of the private folders; once, at start-up.
  static void RemoveLeftovers();

 private:
  struct CState;
  std::shared_ptr<CState> state_;
  std::function<bool()> dropped_;
  std::function<QByteArray()> directSaveTarget_;
};
