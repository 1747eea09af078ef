#pragma once
// CDragOutData: what the Hamper browser's tree hands over when items are dragged out of it.
// Nothing is written before the drop:
//
//   - a file manager that speaks XDS (app/DirectSave.h) names the folder the drop landed in, and
//     the items are written there, in the background, by the window's extraction, with its
//     progress and Stop;
//   - a target that takes only file names gets them when it asks at the drop, once the items are
//     written into a new folder of the window's private temporary folder (which goes with the
//     window); asked before the drop (as some targets ask while the drag passes over them), it is
//     told the names the files will have;
//   - the program's own windows see the mark of their own items (IsOwnItemDrag) and take none of
//     it: a folder of items dragged out never becomes an input folder.
//
// Each dragged node lands under its own name (browse/ExtractionRun.h, DraggedItems).

#include <QMimeData>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CDragOutData : public QMimeData {
  Q_OBJECT
 public:
  struct CHandlers {
    // Starts writing the items into the folder a target named; returns at once.
    std::function<void(const std::string& folder)> extractInto;
    // A new empty folder for this drag's files, in the window's private one; none when it cannot be made.
    std::function<std::optional<std::string>()> makeFolder;
    // Writes the items into that folder and returns when they are written.
    std::function<void(const std::string& folder)> extractNow;
    // Whether the drop has happened (the mouse button is up).
    std::function<bool()> dropped;
    // Set when the drag may be a direct save: the URI the target wrote back.
    std::function<QByteArray()> directSaveTarget;
  };

  // `names`: what each dragged node lands as (its name), in order.
  CDragOutData(std::vector<std::string> names, CHandlers handlers);
  ~CDragOutData() override;

  QStringList formats() const override;
  bool hasFormat(const QString& mimeType) const override;

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

 private:
  QVariant DirectSave() const;
  QVariant FileNames() const;

  std::vector<std::string> names_;
  CHandlers handlers_;
  mutable bool savedDirectly_ = false;
  mutable std::optional<std::string> folder_;  // made when first asked for file names
  mutable bool written_ = false;
};

// The mark of items dragged out of a browser window: the program's own windows take none of it.
bool IsOwnItemDrag(const QMimeData* data);
