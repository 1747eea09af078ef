#include "app/FileDialogs.h"

#include <QDir>
#include <QFileDialog>

#include "app/TextConversion.h"

namespace {

QString StartFolder(const std::string& folder) {
  const QString path = PathText(folder);
  return !path.isEmpty() && QDir(path).exists() ? path : QDir::homePath();
}

}  // namespace

std::optional<std::string> CDesktopFileDialogs::ChooseFolder(QWidget* parent, const std::string& title,
                                                             const std::string& startFolder) {
  const QString folder = QFileDialog::getExistingDirectory(parent, DisplayText(title), StartFolder(startFolder));
  if (folder.isEmpty()) return std::nullopt;
  return PathBytes(folder);
}

std::optional<std::string> CDesktopFileDialogs::ChooseSaveFile(QWidget* parent, const std::string& title,
                                                               const std::string& startFolder,
                                                               const std::string& proposedName, ESavedFileKind kind) {
  const bool hamper = kind == ESavedFileKind::kHamper;
  QFileDialog dialog(parent, DisplayText(title), StartFolder(startFolder),
                     hamper ? QObject::tr("Hampers (*.hmp)") : QObject::tr("Text files (*.txt)"));
  dialog.setObjectName(hamper ? "saveHamperDialog" : "saveTextDialog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(hamper ? QStringLiteral("hmp") : QStringLiteral("txt"));
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.selectFile(PathText(proposedName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return PathBytes(dialog.selectedFiles().first());
}

std::optional<std::string> CDesktopFileDialogs::ChooseHamperToOpen(QWidget* parent, const std::string& title,
                                                                   const std::string& startFolder) {
  const QString file = QFileDialog::getOpenFileName(parent, DisplayText(title), StartFolder(startFolder),
                                                    QObject::tr("Hampers (*.hmp);;All files (*)"));
  if (file.isEmpty()) return std::nullopt;
  return PathBytes(file);
}
