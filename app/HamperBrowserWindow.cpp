#include "app/HamperBrowserWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>
#include <filesystem>

#include "app/BrowserDragOut.h"
#include "app/BrowserMenus.h"
#include "app/BrowserStatusBar.h"
#include "app/BrowserTexts.h"
#include "app/BrowserWidgets.h"
#include "app/DragOutData.h"
#include "app/DroppedHampers.h"
#include "app/ExtractionController.h"
#include "app/HamperDescriptionView.h"
#include "app/HamperDetailsPane.h"
#include "app/HamperFileWatch.h"
#include "app/HamperTreeModel.h"
#include "app/ItemColumns.h"
#include "app/LocaleFormat.h"
#include "app/SamplePlayer.h"
#include "app/ScreenFit.h"
#include "app/TextConversion.h"
#include "app/VerificationController.h"
#include "app/WaveformView.h"
#include "browse/HamperContents.h"
#include "browse/HamperSummary.h"
#include "browse/ItemKind.h"

namespace {

constexpr int kProgressRange = 1000;
// Trees up to this many nodes open fully; larger ones show their top level.
constexpr std::size_t kExpandAllNodes = 2000;

}  // namespace

CHamperBrowserWindow::CHamperBrowserWindow(std::unique_ptr<CHamperContents> contents,
                                           const CHamperBrowserServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services) {
  setObjectName("hamperBrowser");
  setAttribute(Qt::WA_DeleteOnClose);
  setAcceptDrops(true);
  player_ = new CSamplePlayer(services_.audioAvailability, this);
  verification_ = new CVerificationController(services_.database, services_.slc, services_.dialogs, this);
  extraction_ = new CExtractionController(services_.alerts, services_.dialogs, services_.extractFolders, this);
  dragOut_ = std::make_unique<CBrowserDragOut>(
      services_.dragDropped, services_.directSaveTarget,
      [this](const CHamperContents& contents, std::vector<CExtractionItem> items, const std::string& folder) {
        extraction_->Start(contents, std::move(items), folder);
        UpdateButtons();
      });
  BuildViews();
  BuildMenus();
  std::error_code absoluteFailed;
  const std::filesystem::path absolute = std::filesystem::absolute(contents->Path(), absoluteFailed);
  menus_->RememberHamper(absoluteFailed ? contents->Path() : absolute.lexically_normal().string());
  watch_ = new CHamperFileWatch(contents->Path(), this);
  TakeContents(std::move(contents));
  FitWindowIntoScreen(*this, QSize(1180, 720));

  connect(player_, &CSamplePlayer::PlayingChanged, details_, &CHamperDetailsPane::SetPlaying);
  connect(player_, &CSamplePlayer::Failed, this, [this](const QString& reason) {
    statusLine_->setText(BrowserText(browsertext::kCannotPlay, {reason.toStdString()}));
  });
  connect(details_, &CHamperDetailsPane::PlayClicked, this, [this] { TogglePlay(); });
  connect(details_, &CHamperDetailsPane::ItemLinkClicked, this, [this](const std::string& path) { Select(path); });
  connect(watch_, &CHamperFileWatch::MayHaveChanged, this, [this] { CheckFile(); });
  const auto progress = [this](int perMille, const QString& status) {
    progressBar_->setValue(perMille);
    statusLine_->setText(status);
  };
  connect(verification_, &CVerificationController::Progress, this, progress);
  connect(verification_, &CVerificationController::Finished, this,
          [this](bool verified, std::map<std::size_t, std::string> failures, const QString& status) {
            if (verified) model_->SetFailures(std::move(failures));
            if (failuresOnly_) SetFilter(filterEdit_->text());
            details_->ShowNode(details_->ShownNode());
            statusLine_->setText(status);
            UpdateButtons();
            emit VerificationFinished();
          });
  connect(extraction_, &CExtractionController::Progress, this, progress);
  connect(extraction_, &CExtractionController::Finished, this, [this](const QString& summary) {
    statusLine_->setText(summary);
    UpdateButtons();
    emit ExtractionFinished();
  });
  UpdateButtons();
}

CHamperBrowserWindow::~CHamperBrowserWindow() {
  // The threads read the contents and the database: they end before either goes.
  verification_->StopAndWait();
  extraction_->StopAndWait();
  details_->Waveform()->Show({});
  player_->Stop();
}

void CHamperBrowserWindow::BuildViews() {
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);

  description_ = new CHamperDescriptionView;
  layout->addWidget(description_);

  auto* tools = new QHBoxLayout;
  filterEdit_ = new QLineEdit;
  filterEdit_->setObjectName("filterEdit");
  filterEdit_->setPlaceholderText(BrowserText(browsertext::kFilterPlaceholder));
  filterEdit_->setClearButtonEnabled(true);
  filterEdit_->setMinimumWidth(80);
  tools->addWidget(filterEdit_, 1);
  filterCount_ = new QLabel;
  filterCount_->setObjectName("filterCount");
  tools->addWidget(filterCount_);
  hiddenToggle_ = new QCheckBox(BrowserText(browsertext::kShowHidden));
  hiddenToggle_->setObjectName("hiddenToggle");
  hiddenToggle_->setChecked(true);
  tools->addWidget(hiddenToggle_);
  verifyButton_ = MakeBrowserButton("verifyButton", browsertext::kVerify);
  verifySourceButton_ = MakeBrowserButton("verifySourceButton", browsertext::kVerifyAgainstSource);
  extractSelectedButton_ = MakeBrowserButton("extractSelectedButton", browsertext::kExtractSelected);
  extractAllButton_ = MakeBrowserButton("extractAllButton", browsertext::kExtractAll);
  for (QPushButton* button : {verifyButton_, verifySourceButton_, extractSelectedButton_, extractAllButton_}) {
    tools->addWidget(button);
  }
  layout->addLayout(tools);

  // Above the tree, once the file at the name is not the one shown.
  changedNotice_ = new QFrame;
  changedNotice_->setObjectName("changedNotice");
  changedNotice_->setFrameShape(QFrame::StyledPanel);
  changedNotice_->setStyleSheet(QStringLiteral("#changedNotice { background: #fff4c8; }"));
  auto* notice = new QHBoxLayout(changedNotice_);
  auto* noticeText = MakeValueLabel("changedNoticeText");
  noticeText->setText(BrowserText(browsertext::kChangedOnDisk));
  notice->addWidget(noticeText, 1);
  QPushButton* reload = MakeBrowserButton("reloadButton", browsertext::kReload);
  notice->addWidget(reload);
  changedNotice_->setVisible(false);
  layout->addWidget(changedNotice_);

  auto* splitter = new QSplitter;
  tree_ = new QTreeView;
  tree_->setObjectName("itemTree");
  tree_->setUniformRowHeights(true);
  tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tree_->setDragEnabled(true);
  tree_->setDragDropMode(QAbstractItemView::DragOnly);
  tree_->setDefaultDropAction(Qt::CopyAction);
  tree_->header()->setStretchLastSection(false);
  tree_->header()->setSectionResizeMode(QHeaderView::Interactive);
  tree_->setTextElideMode(Qt::ElideMiddle);
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  // Unsorted (in the Hamper's order) until a column's title is clicked.
  tree_->header()->setSortIndicator(-1, Qt::AscendingOrder);
  tree_->setSortingEnabled(true);
  tree_->installEventFilter(this);
  columns_ = new CItemColumns(*tree_, this);
  splitter->addWidget(tree_);
  details_ = new CHamperDetailsPane(services_.database);
  splitter->addWidget(details_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  splitter->setSizes({kFirstTreeWidth, kFirstDetailsWidth});
  layout->addWidget(splitter, 1);

  auto* bottom = new QHBoxLayout;
  progressBar_ = new QProgressBar;
  progressBar_->setObjectName("progressBar");
  progressBar_->setRange(0, kProgressRange);
  stopButton_ = MakeBrowserButton("stopButton", browsertext::kStop);
  statusLine_ = MakeValueLabel("statusLine");
  bottom->addWidget(statusLine_, 1);
  bottom->addWidget(progressBar_);
  bottom->addWidget(stopButton_);
  layout->addLayout(bottom);
  setCentralWidget(central);
  statusBar_ = new CBrowserStatusBar;
  setStatusBar(statusBar_);

  connect(filterEdit_, &QLineEdit::textChanged, this, [this](const QString& text) { SetFilter(text); });
  connect(filterEdit_, &QLineEdit::returnPressed, this, [this] { SelectFirstShownItem(); });
  connect(hiddenToggle_, &QCheckBox::toggled, this, [this](bool shown) { SetShowHidden(shown); });
  connect(verifyButton_, &QPushButton::clicked, this, [this] { StartVerification(); });
  connect(verifySourceButton_, &QPushButton::clicked, this, [this] { VerifyAgainstSource(); });
  connect(stopButton_, &QPushButton::clicked, this, [this] { StopWork(); });
  connect(extractSelectedButton_, &QPushButton::clicked, this, [this] { ExtractSelected(); });
  connect(extractAllButton_, &QPushButton::clicked, this, [this] { ExtractAll(); });
  connect(reload, &QPushButton::clicked, this, [this] { Reload(); });
  connect(tree_, &QTreeView::customContextMenuRequested, this, [this](const QPoint& at) {
    if (tree_->indexAt(at).isValid()) menus_->ShowContextMenu(tree_->viewport()->mapToGlobal(at));
  });
  // A folder opens and closes on a double-click by itself.
  connect(tree_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
    if (!contents_->Tree().Node(model_->NodeOf(filter_->mapToSource(index))).IsFolder()) ActivateCurrent();
  });

  // The menus hold the other keys (F5, Ctrl+F, Ctrl+E, Alt+Return).
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] { StopWork(); });
}

void CHamperBrowserWindow::BuildMenus() {
  menus_ = std::make_unique<CBrowserMenus>(
      *this, [this](std::uint32_t command) { DoCommand(command); },
      [this](const std::string& hamper) { emit HamperDropped(hamper); });
}

void CHamperBrowserWindow::ShowTotals() {
  const std::size_t shown = filter_->ShownItems();
  statusBar_->ShowItems(shown, filter_->AllItems());
  const bool narrowed = !filterEdit_->text().isEmpty() || failuresOnly_;
  filterCount_->setVisible(narrowed);
  filterCount_->setText(shown == 0   ? BrowserText(browsertext::kNoItemMatches)
                        : shown == 1 ? BrowserText(browsertext::kOneItemMatches)
                                     : BrowserText(browsertext::kItemsMatch, {CountText(shown).toStdString()}));
  std::uint64_t bytes = 0;
  const std::vector<std::size_t> records = SelectedRecords();
  for (const std::size_t record : records) bytes += contents_->Index().ItemSize(record);
  statusBar_->ShowSelection(records.size(), bytes);
}

void CHamperBrowserWindow::TakeContents(std::unique_ptr<CHamperContents> contents) {
  auto model = std::make_unique<CHamperTreeModel>(*contents);
  model->SetDragData([this](std::vector<std::uint32_t> nodes) { return MakeDragData(std::move(nodes)); });
  auto* filter = new CHamperTreeFilter(*contents, this);
  filter->setSourceModel(model.get());
  QItemSelectionModel* oldSelection = tree_->selectionModel();
  details_->SetContents(contents.get(), model.get());
  tree_->setModel(filter);
  delete oldSelection;
  // The old ones go once nothing shows them; drags of them write nothing more.
  dragOut_->Forget();
  delete filter_;
  filter_ = filter;
  model_ = std::move(model);
  contents_ = std::move(contents);

  summary_ = std::make_unique<CHamperSummary>(SummariseHamper(*contents_));
  statusBar_->ShowAudio(*summary_);
  filter_->SetFilter(filterEdit_->text(), hiddenToggle_->isChecked(), failuresOnly_);
  // The sort chosen stays for the contents read again.
  filter_->sort(tree_->header()->sortIndicatorSection(), tree_->header()->sortIndicatorOrder());
  if (contents_->Tree().NodeCount() <= kExpandAllNodes || !filterEdit_->text().isEmpty()) tree_->expandAll();
  columns_->FitAfresh();
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { ShowSelected(); });
  connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    UpdateButtons();
    ShowTotals();
  });
  ShowTotals();
  ShowDescription();
  changedNotice_->setVisible(false);
  UpdateButtons();
}

void CHamperBrowserWindow::ShowDescription() {
  const std::string& name = contents_->Description().GetName();
  const QString file = PathText(std::filesystem::path(contents_->Path()).filename().string());
  setWindowTitle(name.empty() ? file : DisplayText(name) + QStringLiteral(" \u2014 ") + file);
  description_->Show(*contents_);
}

bool CHamperBrowserWindow::Select(const std::string& path) {
  const CHamperTree& tree = contents_->Tree();
  for (std::uint32_t node = 1; node < tree.NodeCount(); ++node) {
    if (tree.PathOf(node) != path) continue;
    const QModelIndex index = filter_->mapFromSource(model_->IndexOf(node));
    if (!index.isValid()) continue;
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
    return true;
  }
  return false;
}

std::vector<std::size_t> CHamperBrowserWindow::SelectedRecords() const {
  std::vector<std::uint32_t> nodes;
  for (const QModelIndex& index : tree_->selectionModel()->selectedRows()) {
    nodes.push_back(model_->NodeOf(filter_->mapToSource(index)));
  }
  return contents_->Tree().RecordsBelow(nodes);
}

void CHamperBrowserWindow::SetFilter(const QString& text) {
  if (filterEdit_->text() != text) filterEdit_->setText(text);
  filter_->SetFilter(text, hiddenToggle_->isChecked(), failuresOnly_);
  if (!text.isEmpty() || failuresOnly_ || contents_->Tree().NodeCount() <= kExpandAllNodes) tree_->expandAll();
  columns_->Fit();
  ShowTotals();
  UpdateButtons();
  // The row shown may have been filtered away.
  ShowSelected();
}

void CHamperBrowserWindow::SelectFirstShownItem() {
  // Depth first through what the filter shows, to the first item that is not a folder.
  std::vector<QModelIndex> stack{QModelIndex()};
  while (!stack.empty()) {
    const QModelIndex parent = stack.back();
    stack.pop_back();
    for (int row = filter_->rowCount(parent) - 1; row >= 0; --row) stack.push_back(filter_->index(row, 0, parent));
    if (parent.isValid() && !contents_->Tree().Node(model_->NodeOf(filter_->mapToSource(parent))).IsFolder()) {
      tree_->setCurrentIndex(parent);
      tree_->scrollTo(parent);
      tree_->setFocus();
      return;
    }
  }
}

void CHamperBrowserWindow::SetShowHidden(bool shown) {
  if (hiddenToggle_->isChecked() != shown) hiddenToggle_->setChecked(shown);
  SetFilter(filterEdit_->text());
}

std::size_t CHamperBrowserWindow::SelectedSample() const {
  const QModelIndex current = tree_->currentIndex();
  if (!current.isValid()) return CHamperTree::kNoRecord;
  const CHamperTree::CNode& n = contents_->Tree().Node(model_->NodeOf(filter_->mapToSource(current)));
  if (n.IsFolder() || !IsSampleItemType(contents_->Index().ItemType(n.record))) return CHamperTree::kNoRecord;
  return n.record;
}

void CHamperBrowserWindow::ShowSelected() {
  const QModelIndex current = tree_->currentIndex();
  const std::uint32_t node = current.isValid() ? model_->NodeOf(filter_->mapToSource(current)) : CHamperTree::kRoot;
  if (node == details_->ShownNode()) return;
  player_->Stop();
  // Nothing more is read from a file that was written to since: the details would mix the two.
  if (node != CHamperTree::kRoot && contents_->ChangeOnDisk() == EHamperFileChange::kChangedInPlace) {
    CheckFile();
    details_->ShowNode(CHamperTree::kRoot);
  } else {
    details_->ShowNode(node);
    if (details_->PlaysOnSelect() && player_->UnavailableReason().isEmpty()) TogglePlay();
  }
  UpdateButtons();
}

void CHamperBrowserWindow::UpdateButtons() {
  const bool busy = IsVerifying() || IsExtracting();
  const bool described = contents_->HasDescription();
  verifyButton_->setEnabled(!busy && described);
  verifySourceButton_->setEnabled(!busy && described);
  extractAllButton_->setEnabled(!busy && !contents_->Index().Empty());
  extractSelectedButton_->setEnabled(!busy && tree_->selectionModel() && tree_->selectionModel()->hasSelection());
  progressBar_->setVisible(busy);
  stopButton_->setVisible(busy);
  const QString unavailable = player_->UnavailableReason();
  const std::size_t sample = SelectedSample();
  details_->SetPlayable(unavailable.isEmpty() && sample != CHamperTree::kNoRecord && contents_->SampleFacts(sample).ok,
                        unavailable);
  menus_->Update({.busy = busy,
                  .described = described,
                  .hasItems = !contents_->Index().Empty(),
                  .hasSelection = tree_->selectionModel() && tree_->selectionModel()->hasSelection(),
                  .playable = sample != CHamperTree::kNoRecord,
                  .hasFailures = model_->IsFailing(CHamperTree::kRoot),
                  .showHidden = hiddenToggle_->isChecked(),
                  .failuresOnly = failuresOnly_});
}

bool CHamperBrowserWindow::FileStillReads() {
  if (contents_->ChangeOnDisk() != EHamperFileChange::kChangedInPlace) return true;
  CheckFile();
  statusLine_->setText(BrowserText(browsertext::kChangedOnDiskRefused));
  return false;
}

QMimeData* CHamperBrowserWindow::MakeDragData(std::vector<std::uint32_t> nodes) {
  if (IsExtracting() || !FileStillReads()) return nullptr;
  return dragOut_->Make(*contents_, nodes);
}

void CHamperBrowserWindow::changeEvent(QEvent* event) {
  // Where the file system cannot be watched, a look at the file whenever the window comes back.
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) CheckFile();
  QMainWindow::changeEvent(event);
}

void CHamperBrowserWindow::closeEvent(QCloseEvent* event) {
  player_->Stop();
  verification_->StopAndWait();
  extraction_->StopAndWait();
  QMainWindow::closeEvent(event);
}

bool CHamperBrowserWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tree_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Space) {
      TogglePlay();
      return true;
    }
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
      ActivateCurrent();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void CHamperBrowserWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (IsOwnItemDrag(event->mimeData())) return;
  if (!DroppedHamperFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CHamperBrowserWindow::dropEvent(QDropEvent* event) {
  if (IsOwnItemDrag(event->mimeData())) return;
  const QStringList hampers = DroppedHamperFiles(event->mimeData());
  if (hampers.isEmpty()) return;
  event->acceptProposedAction();
  for (const QString& hamper : hampers) emit HamperDropped(PathBytes(hamper));
}
