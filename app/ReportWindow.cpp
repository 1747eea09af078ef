#include "app/ReportWindow.h"

#include <QFileInfo>
#include <filesystem>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppTexts.h"
#include "app/FileDialogs.h"
#include "app/Mnemonics.h"
#include "app/ReportFailures.h"
#include "app/ScreenFit.h"
#include "app/TextConversion.h"
#include "framework/media/AtomicOutputFile.h"
#include "framework/resources/ResourceCache.h"
#include "pack/JobTexts.h"

using NSFerryman::GetString;

CReportWindow::CReportWindow(MFileDialogs& dialogs, NSFerryman::MAlertHost& alerts, ShowInFolder showInFolder,
                             QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), alerts_(alerts), showInFolder_(std::move(showInFolder)) {
  setObjectName("reportWindow");
  setModal(false);
  view_ = new QPlainTextEdit;
  view_->setObjectName("reportText");
  view_->setReadOnly(true);
  view_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  view_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  view_->setMinimumSize(320, 160);

  QString taken;
  showInFolderButton_ = new QPushButton(WithMnemonic(DisplayText(GetString(apptext::kShowInFolder)), taken));
  showInFolderButton_->setObjectName("showInFolderButton");
  auto* save = new QPushButton(WithMnemonic(DisplayText(GetString(apptext::kSaveAs)), taken));
  save->setObjectName("saveReportButton");
  auto* close = new QPushButton(WithMnemonic(DisplayText(GetString(apptext::kClose)), taken));
  close->setObjectName("closeReportButton");
  close->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(showInFolderButton_);
  buttons->addStretch(1);
  buttons->addWidget(save);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_, 1);
  layout->addLayout(buttons);

  connect(showInFolderButton_, &QPushButton::clicked, this, [this] { ReportFailures(alerts_, [this] { RevealInFolder(); }); });
  connect(save, &QPushButton::clicked, this, [this] { ReportFailures(alerts_, [this] { SaveAs(); }); });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  FitWindowIntoScreen(*this, QSize(600, 420));
}

void CReportWindow::ShowReport(const QString& title, const std::string& text, const std::string& revealPath,
                               const std::string& proposedName) {
  setWindowTitle(title);
  text_ = text;
  revealPath_ = revealPath;
  proposedName_ = proposedName;
  view_->setPlainText(DisplayText(text));
  showInFolderButton_->setVisible(!revealPath.empty());
  show();
  raise();
}

QString CReportWindow::Text() const { return view_->toPlainText(); }

void CReportWindow::RevealInFolder() {
  if (showInFolder_(revealPath_)) return;
  // Without a file manager, the folder is named where it can be selected and copied.
  NSFerryman::ShowAlert(alerts_, apptext::kNoFileManagerAlert, {std::filesystem::path(revealPath_).parent_path().string()});
}

bool CReportWindow::SaveAs() {
  // Beside the Hamper the report is about, when there is one.
  const std::string folder = revealPath_.empty() ? std::string() : std::filesystem::path(revealPath_).parent_path().string();
  const std::optional<std::string> file = dialogs_.ChooseSaveFile(this, GetString(apptext::kSaveReportTitle), folder,
                                                                  proposedName_, ESavedFileKind::kText);
  if (!file) return false;
  NSFerryman::CAtomicOutputFile output(*file);
  output.Media().Write(text_.size(), text_.data());
  // Whatever stands at the name (a Hamper, another report) stays unless the user says Yes; a
  // hurried Return keeps it.
  if (output.Commit(NSFerryman::CAtomicOutputFile::EReplace::kKeep)) return true;
  if (NSFerryman::ShowAlertDefaultingToFirst(alerts_, jobtext::kFileExistsAlert, {*file}) != NSFerryman::kAlertButton1) {
    return false;
  }
  output.Commit(NSFerryman::CAtomicOutputFile::EReplace::kReplace);
  return true;
}
