#include "app/DragOutData.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

#include "app/DirectSave.h"
#include "app/TextConversion.h"

namespace {

const QString kOwnItems = QStringLiteral("application/x-hamper-packer-items");
const QString kUriList = QStringLiteral("text/uri-list");
const QString kDirectSave = QString::fromLatin1(directsave::kType);

}  // namespace

CDragOutData::CDragOutData(std::vector<std::string> names, CHandlers handlers)
    : names_(std::move(names)), handlers_(std::move(handlers)) {
  if (handlers_.directSaveTarget && !names_.empty()) {
    // The drag runs once this is handed over: the name goes on its window then. The name is the
    // first node's; what a target answers is only the folder.
    QTimer::singleShot(0, this, [name = QByteArray::fromStdString(names_.front())] { directsave::OfferName(name); });
  }
}

CDragOutData::~CDragOutData() {
  if (handlers_.directSaveTarget) directsave::Withdraw();
}

QStringList CDragOutData::formats() const {
  QStringList list{kOwnItems};
  if (handlers_.directSaveTarget) list.push_back(kDirectSave);
  list.push_back(kUriList);
  return list;
}

bool CDragOutData::hasFormat(const QString& mimeType) const { return formats().contains(mimeType); }

QVariant CDragOutData::retrieveData(const QString& mimeType, QMetaType) const {
  if (mimeType == kDirectSave && handlers_.directSaveTarget) return DirectSave();
  if (mimeType == kUriList) return FileNames();
  if (mimeType == kOwnItems) return QByteArray();
  return {};
}

QVariant CDragOutData::DirectSave() const {
  if (savedDirectly_) return QByteArray("S");
  const std::optional<std::string> folder = directsave::FolderOfUri(handlers_.directSaveTarget());
  // "F": the target takes file names instead.
  if (!folder) return QByteArray("F");
  savedDirectly_ = true;
  // Started once the target has its answer: the items are written in the background.
  // The data itself may be gone by then, with the drag.
  QTimer::singleShot(0, qApp, [extract = handlers_.extractInto, folder = *folder] { extract(folder); });
  return QByteArray("S");
}

QVariant CDragOutData::FileNames() const {
  if (savedDirectly_) return QVariantList();
  if (!folder_) folder_ = handlers_.makeFolder();
  if (!folder_) return QVariantList();
  const bool dropped = handlers_.dropped();
  if (dropped && !written_) {
    written_ = true;
    handlers_.extractNow(*folder_);
  }
  QVariantList urls;
  for (const std::string& name : names_) {
    const QString file = PathText(*folder_ + "/" + name);
    // Before the drop, the names the files will have; after, those that were written.
    if (!dropped || QFileInfo::exists(file)) urls.push_back(QUrl::fromLocalFile(file));
  }
  return urls;
}

bool IsOwnItemDrag(const QMimeData* data) { return data && data->hasFormat(kOwnItems); }
