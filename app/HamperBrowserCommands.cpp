// What the Hamper browser's menus, keys and buttons do: the commands, Return on an item, Copy
// Path and Properties, Play, Extract, Verify, Stop and Reload. The window that wires them is
// HamperBrowserWindow.cpp.
#include "app/HamperBrowserWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QSplitter>
#include <QTreeView>

#include "app/BrowserTexts.h"
#include "app/BrowserWidgets.h"
#include "app/ExtractionController.h"
#include "app/HamperDetailsPane.h"
#include "app/HamperTreeModel.h"
#include "app/PropertiesDialog.h"
#include "app/SamplePlayer.h"
#include "app/TextConversion.h"
#include "app/VerificationController.h"
#include "browse/HamperContents.h"

void CHamperBrowserWindow::DoCommand(std::uint32_t command) {
  switch (command) {
    case command::kCloseWindow: close(); break;
    case command::kExtractSelected: ExtractSelected(); break;
    case command::kExtractAll: ExtractAll(); break;
    case command::kFind:
      filterEdit_->setFocus();
      filterEdit_->selectAll();
      break;
    case command::kCopyPath: CopyPath(); break;
    case command::kShowHiddenItems: SetShowHidden(!hiddenToggle_->isChecked()); break;
    case command::kFailuresOnly: SetFailuresOnly(!failuresOnly_); break;
    case command::kPlay: TogglePlay(); break;
    case command::kVerify: StartVerification(); break;
    case command::kVerifyAgainstSource: VerifyAgainstSource(); break;
    case command::kProperties: ShowProperties(); break;
    default: emit CommandPosted(command); break;
  }
  UpdateButtons();
}

void CHamperBrowserWindow::SetFailuresOnly(bool only) {
  failuresOnly_ = only;
  SetFilter(filterEdit_->text());
}

void CHamperBrowserWindow::ActivateCurrent() {
  const QModelIndex current = tree_->currentIndex();
  if (!current.isValid()) return;
  const QModelIndex row = current.siblingAtColumn(0);
  const CHamperTree::CNode& n = contents_->Tree().Node(model_->NodeOf(filter_->mapToSource(row)));
  if (n.IsFolder()) {
    tree_->setExpanded(row, !tree_->isExpanded(row));
  } else if (SelectedSample() != CHamperTree::kNoRecord) {
    // Starts it again when it plays.
    if (IsPlaying()) player_->Stop();
    TogglePlay();
  } else {
    // A picture shows in the details: they come back if they were pushed aside.
    if (auto* splitter = qobject_cast<QSplitter*>(details_->parentWidget()); splitter && splitter->sizes().value(1) == 0) {
      splitter->setSizes({kFirstTreeWidth, kFirstDetailsWidth});
    }
    ShowSelected();
  }
}

void CHamperBrowserWindow::CopyPath() {
  QStringList paths;
  for (const QModelIndex& index : tree_->selectionModel()->selectedRows()) {
    paths.push_back(DisplayText(contents_->Tree().PathOf(model_->NodeOf(filter_->mapToSource(index)))));
  }
  if (!paths.isEmpty()) QGuiApplication::clipboard()->setText(paths.join('\n'));
}

void CHamperBrowserWindow::ShowProperties() {
  // Nothing selected: the Hamper's.
  const QModelIndex current = tree_->selectionModel()->hasSelection() ? tree_->currentIndex() : QModelIndex();
  ShowPropertiesOf(*contents_, *summary_, *model_,
                   current.isValid() ? model_->NodeOf(filter_->mapToSource(current)) : CHamperTree::kRoot, this);
}

void CHamperBrowserWindow::TogglePlay() {
  if (player_->IsPlaying()) {
    player_->Stop();
    return;
  }
  const std::size_t sample = SelectedSample();
  if (sample == CHamperTree::kNoRecord) return;
  if (const QString unavailable = player_->UnavailableReason(); !unavailable.isEmpty()) {
    statusLine_->setText(unavailable);
    return;
  }
  if (!FileStillReads()) return;
  try {
    player_->Play(contents_->OpenItem(sample));
  } catch (const std::exception& e) {
    statusLine_->setText(BrowserText(browsertext::kCannotPlay, {e.what()}));
  }
}

bool CHamperBrowserWindow::IsPlaying() const { return player_->IsPlaying(); }

void CHamperBrowserWindow::ExtractSelected() {
  const std::vector<std::size_t> records = SelectedRecords();
  if (records.empty() || IsExtracting() || IsVerifying() || !FileStillReads()) return;
  extraction_->ChooseFolderAndStart(*contents_, records);
  progressBar_->setValue(0);
  UpdateButtons();
}

void CHamperBrowserWindow::ExtractAll() {
  if (IsExtracting() || IsVerifying() || !FileStillReads()) return;
  std::vector<std::size_t> all(contents_->Index().Size());
  for (std::size_t r = 0; r < all.size(); ++r) all[r] = r;
  // The whole Hamper comes back as `hamper extract` writes it: the description files too.
  extraction_->ChooseFolderAndStart(*contents_, all, true);
  progressBar_->setValue(0);
  UpdateButtons();
}

bool CHamperBrowserWindow::IsExtracting() const { return extraction_->IsRunning(); }

void CHamperBrowserWindow::VerifyAgainstSource() {
  if (IsVerifying() || IsExtracting() || !FileStillReads()) return;
  verification_->ChooseSourceAndStart(*contents_);
  progressBar_->setValue(0);
  UpdateButtons();
}

void CHamperBrowserWindow::StartVerification(const std::string& source) {
  if (IsVerifying() || IsExtracting() || !FileStillReads()) return;
  statusLine_->clear();
  progressBar_->setValue(0);
  verification_->Start(*contents_, source);
  UpdateButtons();
}

bool CHamperBrowserWindow::IsVerifying() const { return verification_->IsRunning(); }

void CHamperBrowserWindow::StopWork() {
  verification_->RequestStop();
  extraction_->RequestStop();
}

bool CHamperBrowserWindow::ShowsChangedNotice() const { return changedNotice_->isVisibleTo(this); }

void CHamperBrowserWindow::CheckFile() {
  const EHamperFileChange change = contents_->ChangeOnDisk();
  changedNotice_->setVisible(change != EHamperFileChange::kNone);
  // What runs would read a file that is no longer what was read.
  if (change == EHamperFileChange::kChangedInPlace) {
    player_->Stop();
    StopWork();
  }
}

void CHamperBrowserWindow::Reload() {
  std::unique_ptr<CHamperContents> fresh = CHamperContents::Open(contents_->Path(), CHamperContents::kMostRecordsShown);
  if (!fresh->HasDescription()) {
    NSFerryman::ShowAlert(services_.alerts, browsertext::kNotAHamperAlert, {contents_->Path()},
                          fresh->Problems().empty() ? std::string() : fresh->Problems().front());
    return;
  }
  verification_->StopAndWait();
  extraction_->StopAndWait();
  player_->Stop();
  statusLine_->clear();
  TakeContents(std::move(fresh));
}
