#include "app/RecentFolders.h"

#include <QSettings>
#include <QStringList>
#include <algorithm>

#include "app/TextConversion.h"

std::vector<std::string> CRecentFolders::Folders() const {
  std::vector<std::string> folders;
  for (const QString& folder : QSettings().value(key_).toStringList()) folders.push_back(PathBytes(folder));
  return folders;
}

void CRecentFolders::Add(const std::string& folder) {
  std::vector<std::string> folders = Folders();
  // Folders are kept as given, less a trailing "/", so that one folder is listed once.
  std::string key = folder;
  while (key.size() > 1 && key.back() == '/') key.pop_back();
  folders.erase(std::remove(folders.begin(), folders.end(), key), folders.end());
  folders.insert(folders.begin(), key);
  if (folders.size() > kMaximum) folders.resize(kMaximum);
  QStringList list;
  for (const std::string& f : folders) list.push_back(PathText(f));
  QSettings().setValue(key_, list);
}

void CRecentFolders::Clear() { QSettings().remove(key_); }
