#include "app/FolderDialogState.h"

#include <QSettings>

#include "app/TextConversion.h"

std::string CFolderDialogState::GetFolder() const {
  return PathBytes(QSettings().value(QString::fromLatin1(key_.c_str())).toString());
}

void CFolderDialogState::Remember(const std::string& folder) {
  QSettings().setValue(QString::fromLatin1(key_.c_str()), PathText(folder));
}
