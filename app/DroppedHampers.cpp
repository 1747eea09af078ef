#include "app/DroppedHampers.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

QStringList DroppedHamperFiles(const QMimeData* data) {
  QStringList files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    const QFileInfo file(url.toLocalFile());
    if (url.isLocalFile() && file.isFile() && file.suffix().compare(QStringLiteral("hmp"), Qt::CaseInsensitive) == 0) {
      files.push_back(file.filePath());
    }
  }
  return files;
}
