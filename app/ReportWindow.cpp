#include "app/ReportWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "app/AppTexts.h"
#include "app/ElidingDelegate.h"
#include "app/FileDialogs.h"
#include "app/Mnemonics.h"
#include "app/ReportFailures.h"
#include "app/ReportList.h"
#include "app/ScreenFit.h"
#include "app/TextConversion.h"
#include "framework/media/AtomicOutputFile.h"
#include "framework/resources/ResourceCache.h"
#include "pack/JobTexts.h"

using NSFerryman::GetString;

namespace {

QString Words(NSFerryman::ResourceId id) { return DisplayText(GetString(id)); }

// Room for the summary and a few rows with their causes; beside the packer window, a window
// opens as tall as its report needs within these heights, and a long list scrolls.
constexpr QSize kWantedSize(640, 460);
constexpr int kMinimumHeight = 200;
constexpr int kLargestHeight = 640;

}  // namespace

CReportWindow::CReportWindow(MFileDialogs& dialogs, NSFerryman::MAlertHost& alerts, ShowInFolder showInFolder,
                             QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), alerts_(alerts), showInFolder_(std::move(showInFolder)) {
  setObjectName("reportWindow");
  setModal(false);
  summary_ = new QPlainTextEdit;
  summary_->setObjectName("reportText");
  summary_->setReadOnly(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  summary_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  summary_->setMinimumSize(320, 60);

  model_ = new CReportListModel(this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(model_);
  sorted_->setSortCaseSensitivity(Qt::CaseInsensitive);
  list_ = new QTreeView;
  list_->setObjectName("reportList");
  list_->setModel(sorted_);
  list_->setRootIsDecorated(false);
  list_->setItemsExpandable(false);
  list_->setUniformRowHeights(true);
  list_->setAlternatingRowColors(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setTextElideMode(Qt::ElideRight);
  list_->setItemDelegateForColumn(CReportListModel::kFile, new CElidingDelegate(Qt::ElideMiddle, list_));
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  list_->header()->setSortIndicatorClearable(true);
  list_->header()->setStretchLastSection(true);
  list_->setSortingEnabled(true);
  list_->sortByColumn(-1, Qt::AscendingOrder);  // the report's own order until a header is clicked

  splitter_ = new QSplitter(Qt::Vertical);
  splitter_->setChildrenCollapsible(false);
  splitter_->addWidget(summary_);
  splitter_->addWidget(list_);
  splitter_->setStretchFactor(1, 1);

  QString taken;
  showInFolderButton_ = new QPushButton(WithMnemonic(Words(apptext::kShowHamperInFolder), taken));
  showInFolderButton_->setObjectName("showInFolderButton");
  auto* save = new QPushButton(WithMnemonic(Words(apptext::kSaveAs), taken));
  save->setObjectName("saveReportButton");
  auto* close = new QPushButton(WithMnemonic(Words(apptext::kClose), taken));
  close->setObjectName("closeReportButton");
  close->setDefault(true);
  showFileButton_ = new QPushButton(WithMnemonic(Words(apptext::kShowFileInFolder), taken));
  showFileButton_->setObjectName("showFileInFolderButton");

  showFileAction_ = new QAction(Words(apptext::kShowInFolder), this);
  showFileAction_->setObjectName("showRowInFolderAction");
  copyAction_ = new QAction(Words(apptext::kCopy), this);
  copyAction_->setObjectName("copyRowsAction");
  copyAction_->setShortcut(QKeySequence::Copy);
  copyAction_->setShortcutContext(Qt::WidgetShortcut);
  list_->addAction(copyAction_);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(showInFolderButton_);
  buttons->addWidget(showFileButton_);
  buttons->addStretch(1);
  buttons->addWidget(save);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter_, 1);
  layout->addLayout(buttons);

  const auto reported = [this](void (CReportWindow::*action)()) {
    return [this, action] { ReportFailures(alerts_, [this, action] { (this->*action)(); }); };
  };
  connect(showInFolderButton_, &QPushButton::clicked, this, reported(&CReportWindow::RevealInFolder));
  connect(showFileButton_, &QPushButton::clicked, this, reported(&CReportWindow::RevealSelectedFile));
  connect(showFileAction_, &QAction::triggered, this, reported(&CReportWindow::RevealSelectedFile));
  connect(copyAction_, &QAction::triggered, this, reported(&CReportWindow::CopySelectedRows));
  connect(list_, &QTreeView::doubleClicked, this, reported(&CReportWindow::RevealSelectedFile));
  connect(list_, &QTreeView::customContextMenuRequested, this, &CReportWindow::ShowContextMenu);
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CReportWindow::UpdateActions);
  connect(save, &QPushButton::clicked, this, [this] { ReportFailures(alerts_, [this] { SaveAs(); }); });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  FitWindowIntoScreen(*this, kWantedSize);
}

void CReportWindow::ShowReport(const QString& title, const CReportContents& contents, const std::string& revealPath,
                               const std::string& proposedName) {
  setWindowTitle(title);
  text_ = contents.text;
  revealPath_ = revealPath;
  proposedName_ = proposedName;
  // Without the last line break, which would show as an empty line.
  const std::string_view summary(contents.summary);
  summary_->setPlainText(DisplayText(summary.substr(0, summary.find_last_not_of('\n') + 1)));
  model_->SetRows(contents.rows);
  list_->sortByColumn(-1, Qt::AscendingOrder);
  // Nothing to list: the summary alone, without an empty list.
  list_->setVisible(!contents.rows.empty());
  showFileButton_->setVisible(!contents.rows.empty());
  showInFolderButton_->setVisible(!revealPath.empty());
  UpdateActions();
  // A window already open stays where the user put it.
  // A window not open yet opens as tall as its report needs.
  if (!isVisible() && parentWidget() && parentWidget()->window()->isVisible()) {
    resize(width(), WantedHeight());
    PlaceBeside(*this, *parentWidget()->window(), QSize(kWantedSize.width(), height()));
  }
  SizeToContents();
  show();
  raise();
  // Keys act on the list at once, its first row chosen: arrows to choose another, Ctrl+C to copy.
  if (!contents.rows.empty()) {
    list_->setCurrentIndex(sorted_->index(0, 0));
    list_->setFocus();
  }
}

QString CReportWindow::Text() const { return DisplayText(text_); }

QString CReportWindow::Summary() const { return summary_->toPlainText(); }

void CReportWindow::SizeToContents() {
  for (int column : {CReportListModel::kKind, CReportListModel::kFile}) {
    list_->resizeColumnToContents(column);
    // The cause, the longest, keeps room to be read.
    list_->setColumnWidth(column, std::min(list_->columnWidth(column), std::max(120, width() / 3)));
  }
  if (!list_->isVisibleTo(this)) return;
  // The summary as tall as its lines, wrapped at the window's width, the rest for the list. Its
  // width is reckoned from the window's: before the window is shown, its views have none yet.
  const int summaryHeight = SummaryHeight(width());
  const int total = std::max(splitter_->height(), summaryHeight + 120);
  splitter_->setSizes({summaryHeight, total - summaryHeight});
}

int CReportWindow::SummaryHeight(int windowWidth) const {
  const QFontMetrics metrics(summary_->font());
  const int margins = 2 * summary_->frameWidth() + 2 * static_cast<int>(summary_->document()->documentMargin());
  const QMargins around = layout()->contentsMargins();
  // Less a scroll bar's width: lines wrapped at the edge of one would show it.
  const int width = std::max(1, windowWidth - around.left() - around.right() - margins -
                                    summary_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, summary_));
  int lines = 0;
  for (const QString& line : summary_->toPlainText().split('\n')) lines += 1 + metrics.horizontalAdvance(line) / width;
  return metrics.lineSpacing() * lines + margins + metrics.descent();
}

int CReportWindow::WantedHeight() const {
  const QMargins around = layout()->contentsMargins();
  int height = around.top() + around.bottom() + layout()->spacing() + layout()->itemAt(1)->sizeHint().height() +
               SummaryHeight(kWantedSize.width());
  if (!model_->Rows().empty()) {
    // A row to spare shows where the list ends; a short list still looks like one.
    const int rows = std::max(static_cast<int>(model_->Rows().size()) + 1, 4);
    const int rowHeight = std::max(list_->sizeHintForRow(0), list_->fontMetrics().height() + 4);
    height += splitter_->handleWidth() + list_->header()->sizeHint().height() + 2 * list_->frameWidth() + rows * rowHeight;
  }
  return std::clamp(height, kMinimumHeight, kLargestHeight);
}

std::vector<CReportRow> CReportWindow::SelectedRows() const {
  std::vector<int> shown;
  for (const QModelIndex& index : list_->selectionModel()->selectedRows()) shown.push_back(index.row());
  std::sort(shown.begin(), shown.end());
  std::vector<CReportRow> rows;
  for (int row : shown) rows.push_back(model_->Rows()[static_cast<std::size_t>(sorted_->mapToSource(sorted_->index(row, 0)).row())]);
  return rows;
}

void CReportWindow::CopySelectedRows() {
  const std::vector<CReportRow> rows = SelectedRows();
  if (!rows.empty()) QApplication::clipboard()->setText(DisplayText(ReportRowsText(rows)));
}

void CReportWindow::UpdateActions() {
  const bool selected = list_->selectionModel()->hasSelection();
  showFileButton_->setEnabled(selected);
  showFileAction_->setEnabled(selected);
  copyAction_->setEnabled(selected);
}

void CReportWindow::ShowContextMenu(const QPoint& at) {
  const QModelIndex index = list_->indexAt(at);
  if (!index.isValid()) return;
  if (!list_->selectionModel()->isRowSelected(index.row(), index.parent())) {
    list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  QMenu menu(this);
  menu.addAction(showFileAction_);
  menu.addAction(copyAction_);
  menu.exec(list_->viewport()->mapToGlobal(at));
}

void CReportWindow::RevealInFolder() { Reveal(revealPath_); }

void CReportWindow::RevealSelectedFile() {
  // The current row when it is selected, else the first selected.
  QModelIndex index = list_->currentIndex();
  if (!index.isValid() || !list_->selectionModel()->isRowSelected(index.row(), index.parent())) {
    const QModelIndexList selected = list_->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    index = selected.front();
  }
  const QModelIndex row = sorted_->mapToSource(index);
  Reveal(model_->Rows()[static_cast<std::size_t>(row.row())].path.string());
}

void CReportWindow::Reveal(const std::string& path) {
  if (showInFolder_(path)) return;
  // Without a file manager, the folder is named where it can be selected and copied.
  NSFerryman::ShowAlert(alerts_, apptext::kNoFileManagerAlert, {std::filesystem::path(path).parent_path().string()});
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
