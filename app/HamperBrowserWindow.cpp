#include "app/HamperBrowserWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "app/AppTexts.h"
#include "app/BackgroundVerification.h"
#include "app/BrowserTexts.h"
#include "app/DroppedHampers.h"
#include "app/FileDialogs.h"
#include "app/FolderDialogState.h"
#include "app/HamperTreeModel.h"
#include "app/ReportFailures.h"
#include "app/SamplePlayer.h"
#include "app/TextConversion.h"
#include "app/WaveformView.h"
#include "browse/HamperContents.h"
#include "browse/HamperExtraction.h"
#include "browse/ItemKind.h"
#include "browse/ItemReferences.h"
#include "browse/SampleFacts.h"
#include "framework/media/AsciiCase.h"
#include "framework/media/OpenFile.h"
#include "framework/resources/ResourceCache.h"
#include "items/PicturePreview.h"
#include "pack/OrderedPipeline.h"
#include "pack/SLCLibraryState.h"

using NSFerryman::GetString;

namespace {

constexpr int kProgressRange = 1000;
constexpr std::uint32_t kPictureSide = 480;
constexpr std::uint32_t kSplashSide = 64;
// Trees up to this many nodes open fully; larger ones show their top level.
constexpr std::size_t kExpandAllNodes = 2000;
// Failures named in the alert after an extraction; the rest are counted.
constexpr std::size_t kFailuresNamed = 8;

enum EDetailsPage { kOtherPage, kSamplePage, kPicturePage, kReferencesPage };

QString Text(NSFerryman::ResourceId id, const std::vector<std::string>& arguments = {}) {
  return DisplayText(GetString(id, arguments));
}

QLabel* MakeLabel(NSFerryman::ResourceId id) {
  auto* label = new QLabel(Text(id));
  label->setTextFormat(Qt::PlainText);
  return label;
}

QLabel* MakeValue(const char* name) {
  auto* label = new QLabel;
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QPushButton* MakeButton(const char* name, NSFerryman::ResourceId label) {
  auto* button = new QPushButton(Text(label).replace('&', "&&"));
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

QImage ImageOf(const CBitmap32& bitmap) {
  QImage image(reinterpret_cast<const uchar*>(bitmap.pixels.data()), static_cast<int>(bitmap.width),
               static_cast<int>(bitmap.height), static_cast<qsizetype>(bitmap.width) * 4, QImage::Format_ARGB32);
  return image.copy();
}

CBitmap32 PicturePreview(const CHamperContents& contents, std::size_t record, std::uint32_t side) {
  const auto item = contents.OpenItem(record);
  return contents.Index().ItemType(record) == 9 ? DecodeJPEGPreview(*item, side) : DecodeTIFFPreview(*item, side);
}

// Alerts shown while the sliced-loop library is loaded for a verification: the verification
// reports the failure itself, in the window's status line.
class CQuietAlerts : public NSFerryman::MAlertHost {
 public:
  int PresentAlert(const NSFerryman::CAlert&) override { return NSFerryman::kAlertButton1; }
};

}  // namespace

CHamperBrowserWindow::CHamperBrowserWindow(const std::string& path, const CHamperBrowserServices& services,
                                           QWidget* parent)
    : QMainWindow(parent), services_(services), contents_(CHamperContents::Open(path, CHamperContents::kMostRecordsShown)) {
  setObjectName("hamperBrowser");
  setAttribute(Qt::WA_DeleteOnClose);
  setAcceptDrops(true);
  model_ = std::make_unique<CHamperTreeModel>(*contents_);
  player_ = new CSamplePlayer(services_.audioAvailability, this);
  verification_ = new CBackgroundVerification(this);
  BuildViews();
  ShowDescription();

  connect(player_, &CSamplePlayer::PlayingChanged, this, [this](bool playing) {
    playButton_->setText(Text(playing ? browsertext::kStop : browsertext::kPlay));
  });
  connect(player_, &CSamplePlayer::Failed, this, [this](const QString& reason) {
    statusLine_->setText(Text(browsertext::kCannotPlay, {reason.toStdString()}));
  });
  connect(verification_, &CBackgroundVerification::Progress, this, [this](int perMille, const QString& item) {
    progressBar_->setValue(perMille);
    statusLine_->setText(Text(browsertext::kVerifyingItem, {item.toStdString()}));
  });
  connect(verification_, &CBackgroundVerification::Finished, this,
          [this](std::shared_ptr<const CHamperVerificationReport> report, QString failure) {
            OnVerificationFinished(report, failure);
          });
  UpdateButtons();
}

CHamperBrowserWindow::~CHamperBrowserWindow() {
  // The threads read the model's file and the database: they end before either goes.
  delete verification_;
  verification_ = nullptr;
  player_->Stop();
}

void CHamperBrowserWindow::BuildViews() {
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);

  // The description, beside the splash picture.
  auto* header = new QHBoxLayout;
  splashView_ = new QLabel;
  splashView_->setObjectName("splashView");
  splashView_->setFixedSize(kSplashSide, kSplashSide);
  header->addWidget(splashView_, 0, Qt::AlignTop);
  auto* texts = new QGridLayout;
  texts->setColumnStretch(1, 1);
  nameValue_ = MakeValue("nameValue");
  QFont bold = nameValue_->font();
  bold.setBold(true);
  nameValue_->setFont(bold);
  commentsValue_ = MakeValue("commentsValue");
  urlValue_ = MakeValue("urlValue");
  urlValue_->setOpenExternalLinks(true);
  urlValue_->setTextInteractionFlags(Qt::TextBrowserInteraction);
  copyrightValue_ = MakeValue("copyrightValue");
  int row = 0;
  for (const auto& [label, value] : {std::pair{apptext::kNameLabel, nameValue_}, std::pair{apptext::kCommentsLabel, commentsValue_},
                                     std::pair{apptext::kURLLabel, urlValue_}, std::pair{apptext::kCopyrightLabel, copyrightValue_}}) {
    texts->addWidget(MakeLabel(label), row, 0, Qt::AlignRight | Qt::AlignTop);
    texts->addWidget(value, row++, 1);
  }
  header->addLayout(texts, 1);
  layout->addLayout(header);
  problemLine_ = MakeValue("problemLine");
  problemLine_->setStyleSheet(QStringLiteral("color: #c01010;"));
  layout->addWidget(problemLine_);

  auto* tools = new QHBoxLayout;
  filterEdit_ = new QLineEdit;
  filterEdit_->setObjectName("filterEdit");
  filterEdit_->setPlaceholderText(Text(browsertext::kFilterPlaceholder));
  filterEdit_->setClearButtonEnabled(true);
  tools->addWidget(filterEdit_, 1);
  hiddenToggle_ = new QCheckBox(Text(browsertext::kShowHidden));
  hiddenToggle_->setObjectName("hiddenToggle");
  hiddenToggle_->setChecked(true);
  tools->addWidget(hiddenToggle_);
  verifyButton_ = MakeButton("verifyButton", browsertext::kVerify);
  verifySourceButton_ = MakeButton("verifySourceButton", browsertext::kVerifyAgainstSource);
  extractSelectedButton_ = MakeButton("extractSelectedButton", browsertext::kExtractSelected);
  extractAllButton_ = MakeButton("extractAllButton", browsertext::kExtractAll);
  for (QPushButton* button : {verifyButton_, verifySourceButton_, extractSelectedButton_, extractAllButton_}) {
    tools->addWidget(button);
  }
  layout->addLayout(tools);

  auto* splitter = new QSplitter;
  filter_ = new CHamperTreeFilter(*contents_, this);
  filter_->setSourceModel(model_.get());
  tree_ = new QTreeView;
  tree_->setObjectName("itemTree");
  tree_->setModel(filter_);
  tree_->setUniformRowHeights(true);
  tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tree_->setDragEnabled(true);
  tree_->setDragDropMode(QAbstractItemView::DragOnly);
  tree_->setDefaultDropAction(Qt::CopyAction);
  tree_->header()->setStretchLastSection(false);
  tree_->header()->setSectionResizeMode(QHeaderView::Interactive);
  for (const auto& [column, width] : {std::pair{CHamperTreeModel::kName, 200}, std::pair{CHamperTreeModel::kKind, 165},
                                      std::pair{CHamperTreeModel::kSize, 64}, std::pair{CHamperTreeModel::kLength, 64},
                                      std::pair{CHamperTreeModel::kChannels, 60}, std::pair{CHamperTreeModel::kRate, 72},
                                      std::pair{CHamperTreeModel::kLoop, 110}, std::pair{CHamperTreeModel::kRootKey, 60}}) {
    tree_->setColumnWidth(column, width);
  }
  tree_->installEventFilter(this);
  if (contents_->Tree().NodeCount() <= kExpandAllNodes) tree_->expandAll();
  splitter->addWidget(tree_);

  details_ = new QStackedWidget;
  details_->setObjectName("details");
  details_->setMinimumWidth(280);
  otherFacts_ = MakeValue("otherFacts");
  otherFacts_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  details_->addWidget(otherFacts_);

  auto* samplePage = new QWidget;
  auto* sampleLayout = new QVBoxLayout(samplePage);
  factsLabel_ = MakeValue("factsLabel");
  sampleLayout->addWidget(factsLabel_);
  waveform_ = new CWaveformView;
  waveform_->setObjectName("waveformView");
  sampleLayout->addWidget(waveform_);
  playButton_ = MakeButton("playButton", browsertext::kPlay);
  sampleLayout->addWidget(playButton_, 0, Qt::AlignLeft);
  sampleLayout->addStretch(1);
  details_->addWidget(samplePage);

  auto* picturePage = new QWidget;
  auto* pictureLayout = new QVBoxLayout(picturePage);
  pictureFacts_ = MakeValue("pictureFacts");
  pictureLayout->addWidget(pictureFacts_);
  pictureView_ = new QLabel;
  pictureView_->setObjectName("pictureView");
  pictureView_->setAlignment(Qt::AlignCenter);
  pictureLayout->addWidget(pictureView_, 1);
  details_->addWidget(picturePage);

  referencesView_ = new QTextBrowser;
  referencesView_->setObjectName("referencesView");
  referencesView_->setOpenLinks(false);
  details_->addWidget(referencesView_);
  splitter->addWidget(details_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  splitter->setSizes({600, 360});
  layout->addWidget(splitter, 1);

  auto* bottom = new QHBoxLayout;
  progressBar_ = new QProgressBar;
  progressBar_->setObjectName("progressBar");
  progressBar_->setRange(0, kProgressRange);
  stopButton_ = MakeButton("stopButton", browsertext::kStop);
  statusLine_ = MakeValue("statusLine");
  bottom->addWidget(statusLine_, 1);
  bottom->addWidget(progressBar_);
  bottom->addWidget(stopButton_);
  layout->addLayout(bottom);
  setCentralWidget(central);
  resize(980, 660);

  connect(filterEdit_, &QLineEdit::textChanged, this, [this](const QString& text) { SetFilter(text); });
  connect(filterEdit_, &QLineEdit::returnPressed, this, [this] { SelectFirstShownItem(); });
  connect(hiddenToggle_, &QCheckBox::toggled, this, [this](bool shown) { SetShowHidden(shown); });
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { ShowSelected(); });
  connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateButtons(); });
  connect(playButton_, &QPushButton::clicked, this, [this] { TogglePlay(); });
  connect(verifyButton_, &QPushButton::clicked, this, [this] { StartVerification(); });
  connect(verifySourceButton_, &QPushButton::clicked, this, [this] { VerifyAgainstSource(); });
  connect(stopButton_, &QPushButton::clicked, this, [this] { StopVerification(); });
  connect(extractSelectedButton_, &QPushButton::clicked, this, [this] { ExtractSelected(); });
  connect(extractAllButton_, &QPushButton::clicked, this, [this] { ExtractAll(); });

  // Keys for what the buttons do: F5 verifies, Escape stops, Ctrl+F goes to the filter box,
  // Ctrl+E extracts the selection.
  connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this, [this] { StartVerification(); });
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] { StopVerification(); });
  connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
    filterEdit_->setFocus();
    filterEdit_->selectAll();
  });
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this), &QShortcut::activated, this, [this] { ExtractSelected(); });
}

void CHamperBrowserWindow::ShowDescription() {
  const CHamperDescription& d = contents_->Description();
  const QString file = PathText(std::filesystem::path(contents_->Path()).filename().string());
  setWindowTitle(d.GetName().empty() ? file : DisplayText(d.GetName()) + QStringLiteral(" \u2014 ") + file);
  nameValue_->setText(DisplayText(d.GetName()));
  commentsValue_->setText(DisplayText(d.GetComments()));
  copyrightValue_->setText(DisplayText(d.GetCopyright()));
  const QUrl url(DisplayText(d.GetURL()), QUrl::StrictMode);
  if (url.isValid() && (url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https"))) {
    urlValue_->setTextFormat(Qt::RichText);
    urlValue_->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                           .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(), DisplayText(d.GetURL()).toHtmlEscaped()));
  } else {
    urlValue_->setTextFormat(Qt::PlainText);
    urlValue_->setText(DisplayText(d.GetURL()));
  }
  QStringList problems;
  for (const std::string& problem : contents_->Problems()) problems.push_back(DisplayText(problem));
  problemLine_->setText(problems.join(QLatin1Char('\n')));
  problemLine_->setVisible(!problems.isEmpty());

  // The splash is the hidden top-level picture named SPLASH.JPG.
  splashView_->clear();
  for (std::uint32_t node : contents_->Tree().Node(CHamperTree::kRoot).children) {
    const CHamperTree::CNode& n = contents_->Tree().Node(node);
    if (n.IsFolder() || !NSFerryman::AsciiEqualsIgnoringCase(n.name, "SPLASH.JPG")) continue;
    try {
      splashView_->setPixmap(QPixmap::fromImage(ImageOf(PicturePreview(*contents_, n.record, kSplashSide))));
    } catch (const NSFerryman::XBase&) {
      // A splash that does not decode shows nothing; Verify names it.
    }
    break;
  }
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
  filter_->SetFilter(text, hiddenToggle_->isChecked());
  if (!text.isEmpty() || contents_->Tree().NodeCount() <= kExpandAllNodes) tree_->expandAll();
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

void CHamperBrowserWindow::ShowSelected(bool again) {
  const QModelIndex current = tree_->currentIndex();
  const std::uint32_t node = current.isValid() ? model_->NodeOf(filter_->mapToSource(current)) : CHamperTree::kRoot;
  if (node == shownNode_ && !again) return;
  shownNode_ = node;
  player_->Stop();
  waveform_->Show(nullptr);
  if (!current.isValid()) {
    otherFacts_->clear();
    details_->setCurrentIndex(kOtherPage);
    UpdateButtons();
    return;
  }
  const CHamperTree::CNode& n = contents_->Tree().Node(node);
  const int type = n.IsFolder() ? 0 : contents_->Index().ItemType(n.record);
  if (!n.IsFolder() && model_->FailureOf(n.record).empty()) {
    if (IsSampleItemType(type)) return ShowSample(n.record);
    if (IsPictureItemType(type)) return ShowPicture(n.record);
    if (IsReferringItemType(type)) return ShowReferences(n.record);
  } else if (!n.IsFolder() && IsSampleItemType(type)) {
    return ShowSample(n.record);
  }
  ShowOther(node);
}

void CHamperBrowserWindow::ShowSample(std::size_t record) {
  const CHamperIndexEntry& entry = contents_->Record(record);
  const CSampleFactsResult facts = contents_->SampleFacts(record);
  QString text = DisplayText(entry.GetPath()) + QLatin1Char('\n');
  if (facts.ok) {
    const CVORPSampleHeader& h = facts.header;
    text += Text(browsertext::kSampleFacts, {SampleLengthText(h), SampleChannelsText(h), SampleRateText(h),
                                             SampleLoopText(h), SampleRootKeyText(h)});
  } else {
    text += DisplayText(facts.problem);
  }
  if (const std::string failure = model_->FailureOf(record); !failure.empty()) text += QLatin1Char('\n') + DisplayText(failure);
  factsLabel_->setText(text);
  if (facts.ok) {
    try {
      waveform_->Show(contents_->OpenItem(record));
    } catch (const NSFerryman::XBase&) {
      waveform_->Show(nullptr);
    }
  }
  details_->setCurrentIndex(kSamplePage);
  UpdateButtons();
}

void CHamperBrowserWindow::ShowPicture(std::size_t record) {
  const CHamperIndexEntry& entry = contents_->Record(record);
  pictureFacts_->setText(DisplayText(entry.GetPath()) + QStringLiteral("\n") +
                         QString::fromUtf8(ItemKindName(entry.GetItemType()).data()) + QStringLiteral(", ") +
                         QLocale().toString(entry.GetSize()) + QStringLiteral(" bytes"));
  pictureView_->clear();
  try {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CBitmap32 preview = PicturePreview(*contents_, record, kPictureSide);
    QApplication::restoreOverrideCursor();
    QPixmap pixmap = QPixmap::fromImage(ImageOf(preview));
    // A small picture is shown larger, its pixels kept sharp.
    const int longer = static_cast<int>(std::max(preview.width, preview.height));
    if (longer > 0 && longer * 2 <= static_cast<int>(kPictureSide) / 2) {
      const int factor = static_cast<int>(kPictureSide) / 2 / longer;
      pixmap = pixmap.scaled(pixmap.size() * factor, Qt::KeepAspectRatio, Qt::FastTransformation);
    }
    pictureView_->setPixmap(pixmap);
  } catch (const std::exception& e) {
    QApplication::restoreOverrideCursor();
    pictureView_->setText(DisplayText(e.what()));
  }
  details_->setCurrentIndex(kPicturePage);
  UpdateButtons();
}

void CHamperBrowserWindow::ShowReferences(std::size_t record) {
  const CHamperIndexEntry& entry = contents_->Record(record);
  QString html = QStringLiteral("<p><b>%1</b></p>").arg(DisplayText(entry.GetPath()).toHtmlEscaped());
  try {
    const std::vector<CResolvedReference> references = ReadItemReferences(*contents_, record, services_.database);
    html += QStringLiteral("<p>%1</p>")
                .arg(Text(browsertext::kReferenceCount,
                          {std::string(ItemKindName(entry.GetItemType())), std::to_string(references.size())})
                         .toHtmlEscaped());
    std::size_t number = 0;
    for (const CResolvedReference& r : references) {
      QString status;
      QString colour;
      switch (r.status) {
        case EReferenceStatus::kInThisHamper:
          status = Text(browsertext::kInThisHamper, {r.where});
          colour = QStringLiteral("#107010");
          break;
        case EReferenceStatus::kInInstalledHamper:
          status = Text(browsertext::kInInstalledHamper, {r.where});
          colour = QStringLiteral("#104090");
          break;
        case EReferenceStatus::kUnresolved:
          status = Text(browsertext::kUnresolved, {r.where});
          colour = QStringLiteral("#c01010");
          break;
      }
      html += QStringLiteral("<p>%1. \"%2\": <span style=\"color:%3\">%4</span><br><tt>")
                  .arg(++number)
                  .arg(DisplayText(r.record.displayName).toHtmlEscaped(), colour, status.toHtmlEscaped());
      for (const std::string& line : DescribeReferenceParts(r.record, [](std::string_view s) { return std::string(s); })) {
        html += QStringLiteral("&nbsp;&nbsp;&nbsp;") + DisplayText(line).toHtmlEscaped().replace(QLatin1Char(' '), QStringLiteral("&nbsp;")) +
                QStringLiteral("<br>");
      }
      html += QStringLiteral("</tt></p>");
    }
  } catch (const std::exception& e) {
    html += QStringLiteral("<p style=\"color:#c01010\">%1</p>").arg(DisplayText(e.what()).toHtmlEscaped());
  }
  referencesView_->setHtml(html);
  details_->setCurrentIndex(kReferencesPage);
  UpdateButtons();
}

void CHamperBrowserWindow::ShowOther(std::uint32_t node) {
  const CHamperTree& tree = contents_->Tree();
  const CHamperTree::CNode& n = tree.Node(node);
  QString text = DisplayText(tree.PathOf(node)) + QLatin1Char('\n');
  if (n.IsFolder()) {
    text += Text(browsertext::kFolderFacts, {std::to_string(n.items), std::to_string(n.size)});
  } else {
    const CHamperIndexEntry& entry = contents_->Record(n.record);
    text += QString::fromUtf8(ItemKindName(entry.GetItemType()).data()) + QStringLiteral(", ") +
            QLocale().toString(entry.GetSize()) + QStringLiteral(" bytes");
    if (const std::string failure = model_->FailureOf(n.record); !failure.empty()) {
      text += QLatin1Char('\n') + DisplayText(failure);
    }
  }
  otherFacts_->setText(text);
  details_->setCurrentIndex(kOtherPage);
  UpdateButtons();
}

void CHamperBrowserWindow::UpdateButtons() {
  const bool verifying = verification_ && verification_->IsRunning();
  verifyButton_->setEnabled(!verifying && contents_->HasDescription());
  verifySourceButton_->setEnabled(!verifying && contents_->HasDescription());
  extractAllButton_->setEnabled(!contents_->Index().Empty());
  extractSelectedButton_->setEnabled(tree_->selectionModel()->hasSelection());
  progressBar_->setVisible(verifying);
  stopButton_->setVisible(verifying);
  const QString unavailable = player_->UnavailableReason();
  const std::size_t sample = SelectedSample();
  playButton_->setEnabled(unavailable.isEmpty() && sample != CHamperTree::kNoRecord && contents_->SampleFacts(sample).ok);
  playButton_->setToolTip(unavailable);
}

void CHamperBrowserWindow::TogglePlay() {
  if (player_->IsPlaying()) {
    player_->Stop();
    return;
  }
  const std::size_t sample = SelectedSample();
  if (sample == CHamperTree::kNoRecord || !player_->UnavailableReason().isEmpty()) return;
  try {
    player_->Play(contents_->OpenItem(sample));
  } catch (const std::exception& e) {
    statusLine_->setText(Text(browsertext::kCannotPlay, {e.what()}));
  }
}

bool CHamperBrowserWindow::IsPlaying() const { return player_->IsPlaying(); }

void CHamperBrowserWindow::ExtractSelected() { Extract(SelectedRecords()); }

void CHamperBrowserWindow::ExtractAll() {
  std::vector<std::size_t> all(contents_->Index().Size());
  for (std::size_t r = 0; r < all.size(); ++r) all[r] = r;
  Extract(all, true);
}

void CHamperBrowserWindow::Extract(const std::vector<std::size_t>& records, bool description) {
  if (records.empty()) return;
  ReportFailures(services_.alerts, [&] {
    const std::optional<std::string> folder =
        services_.dialogs.ChooseFolder(this, GetString(browsertext::kChooseExtractFolder), services_.extractFolders.GetFolder());
    if (!folder) return;
    services_.extractFolders.Remember(*folder);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::size_t written = 0;
    std::vector<std::size_t> there;
    std::vector<std::string> failed;
    try {
      NSFerryman::COpenFile hamper{NSFerryman::CFileSpec(contents_->Path())};
      CConfinedFolder confined(*folder);
      CHamperExtraction extraction(hamper, contents_->Description(), confined);
      const auto extract = [&](std::size_t record, bool replace) {
        const CHamperIndexEntry& entry = contents_->Record(record);
        try {
          extraction.Extract(entry, replace);
          ++written;
        } catch (const XTargetExists&) {
          if (replace) throw;
          there.push_back(record);
        } catch (const std::exception& e) {
          failed.push_back(entry.GetPath() + ": " + e.what());
        }
      };
      // Description files that are there already, to be asked about with the items.
      std::vector<std::string> descriptionThere;
      const auto extractDescription = [&](bool replace) {
        for (const auto& file : extraction.ExtractDescription(replace, std::exchange(descriptionThere, {})).notWritten) {
          try {
            std::rethrow_exception(file.error);
          } catch (const XTargetExists& e) {
            if (replace) failed.push_back(file.path + ": " + e.what());
            descriptionThere.push_back(file.path);
          } catch (const std::exception& e) {
            failed.push_back(file.path + ": " + e.what());
          }
        }
      };
      for (const std::size_t record : records) extract(record, false);
      if (description) extractDescription(false);
      QApplication::restoreOverrideCursor();
      const std::size_t thereCount = there.size() + descriptionThere.size();
      if (thereCount > 0 && NSFerryman::ShowAlert(services_.alerts, browsertext::kReplaceExtractedAlert,
                                                  {std::to_string(thereCount), *folder}) == NSFerryman::kAlertButton1) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        for (const std::size_t record : std::exchange(there, {})) extract(record, true);
        if (!descriptionThere.empty()) extractDescription(true);
        QApplication::restoreOverrideCursor();
      }
    } catch (...) {
      if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
      throw;
    }
    statusLine_->setText(Text(browsertext::kExtracted, {std::to_string(written), *folder}));
    if (!failed.empty()) {
      std::string lines;
      for (std::size_t i = 0; i < failed.size() && i < kFailuresNamed; ++i) lines += (i ? "\r" : "") + failed[i];
      if (failed.size() > kFailuresNamed) lines += "\r...";
      NSFerryman::ShowAlert(services_.alerts, browsertext::kNotExtractedAlert,
                            {std::to_string(failed.size()), std::to_string(records.size()), lines});
    }
  });
}

void CHamperBrowserWindow::VerifyAgainstSource() {
  const std::optional<std::string> folder =
      services_.dialogs.ChooseFolder(this, GetString(browsertext::kChooseSourceFolder), verifiedSource_);
  if (folder) StartVerification(*folder);
}

void CHamperBrowserWindow::StartVerification(const std::string& source) {
  if (IsVerifying() || !contents_->HasDescription()) return;
  const CHamperIndex& index = contents_->Index();
  bool slicedLoops = false;
  for (std::size_t r = 0; r < index.Size() && !slicedLoops; ++r) slicedLoops = IsSlicedLoopItemType(index.ItemType(r));
  if (slicedLoops) {
    // Loaded here, on the window's thread, where the pack job loads it too; a failure is the
    // verification's to report.
    CQuietAlerts quiet;
    try {
      services_.slc.EnsureSLCLibrary(quiet);
    } catch (const NSFerryman::XAlertAlreadyShown&) {
    }
  }
  verifiedSource_ = source;
  CHamperVerificationSettings settings;
  settings.database = &services_.database;
  settings.slc = &services_.slc;
  settings.source = source;
  settings.workers = COrderedPipeline::DefaultWorkers();
  progressBar_->setValue(0);
  statusLine_->clear();
  verification_->Start(contents_->Path(), settings);
  UpdateButtons();
}

void CHamperBrowserWindow::StopVerification() { verification_->RequestStop(); }

bool CHamperBrowserWindow::IsVerifying() const { return verification_ && verification_->IsRunning(); }

void CHamperBrowserWindow::OnVerificationFinished(const std::shared_ptr<const CHamperVerificationReport>& report,
                                                  const QString& failure) {
  verification_->Wait();
  if (!report) {
    statusLine_->setText(Text(browsertext::kVerifyFailed, {failure.toStdString()}));
  } else {
    std::map<std::size_t, std::string> failures;
    for (const CHamperItemFailure& f : report->failures) failures.emplace(f.record, f.problem);
    model_->SetFailures(failures);
    ShowSelected(true);
    const std::string count = std::to_string(report->header.GetEntryCount());
    if (!report->libraryProblem.empty()) {
      statusLine_->setText(Text(browsertext::kVerifyFailed, {report->libraryProblem}));
    } else if (!report->failures.empty()) {
      const CHamperItemFailure& first = report->failures.front();
      statusLine_->setText(Text(browsertext::kSomeFailed, {std::to_string(report->failures.size()), count,
                                                           first.path + ": " + first.problem}));
    } else if (report->stopped) {
      statusLine_->setText(Text(browsertext::kVerifyStopped, {std::to_string(report->checked), count}));
    } else if (verifiedSource_.empty()) {
      statusLine_->setText(Text(browsertext::kAllSound, {count}));
    } else {
      statusLine_->setText(Text(browsertext::kAllSoundWithSource, {count, verifiedSource_}));
    }
  }
  UpdateButtons();
  emit VerificationFinished();
}

void CHamperBrowserWindow::closeEvent(QCloseEvent* event) {
  player_->Stop();
  if (IsVerifying()) {
    verification_->RequestStop();
    verification_->Wait();
  }
  QMainWindow::closeEvent(event);
}

bool CHamperBrowserWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tree_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
    TogglePlay();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void CHamperBrowserWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedHamperFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CHamperBrowserWindow::dropEvent(QDropEvent* event) {
  const QStringList hampers = DroppedHamperFiles(event->mimeData());
  if (hampers.isEmpty()) return;
  event->acceptProposedAction();
  for (const QString& hamper : hampers) emit HamperDropped(PathBytes(hamper));
}
