#include "app/CreateWindow.h"


#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QShortcut>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppTexts.h"
#include "app/BorderTransparentStaticTextView.h"
#include "app/DesktopServices.h"
#include "app/DirectBitmapView.h"
#include "app/DragOutData.h"
#include "app/DroppedHampers.h"
#include "app/FileDialogs.h"
#include "app/FolderDialogState.h"
#include "app/MenuCommands.h"
#include "app/Mnemonics.h"
#include "app/ReportFailures.h"
#include "app/ReportText.h"
#include "app/ReportWindow.h"
#include "app/ScreenFit.h"
#include "app/TextConversion.h"
#include "framework/media/Exceptions.h"
#include "framework/resources/ResourceCache.h"
#include "pack/FolderCheck.h"
#include "pack/FolderDescription.h"
#include "pack/FolderScan.h"
#include "pack/JobTexts.h"
#include "pack/OrderedPipeline.h"
#include "pack/OutputFileName.h"
#include "platform/Clock.h"
#include "references/Database.h"

using NSFerryman::GetString;
using NSFerryman::XAlertAlreadyShown;
using NSFerryman::XUserCancelled;

namespace {

constexpr int kProgressRange = 1000;
constexpr int kMinimumWidth = 580;
// The keys Ctrl+Break sends under X11: Qt knows no key for Break and reports 0 with the keysym.
constexpr quint32 kXKeyBreak = 0xff6b;
constexpr quint32 kXKeyPause = 0xff13;

QString Text(NSFerryman::ResourceId id) { return DisplayText(GetString(id)); }

// Qt reads "&" in a button's label as the mark of a mnemonic; our labels are meant literally.
QString ButtonLabel(const std::string& text) { return DisplayText(text).replace('&', "&&"); }

// "Create Hamper..." with its mnemonic.
QString CreateLabel() {
  QString taken;
  return WithMnemonic(Text(apptext::kCreateHamper), taken);
}

QLabel* MakeLabel(NSFerryman::ResourceId id) {
  auto* label = new QLabel(Text(id));
  label->setTextFormat(Qt::PlainText);
  return label;
}

CBorderTransparentStaticTextView* MakeValue(const char* name, int lines = 1, Qt::TextElideMode elide = Qt::ElideRight,
                                            bool wrap = false) {
  auto* view = new CBorderTransparentStaticTextView(lines, elide, wrap);
  view->setObjectName(name);
  return view;
}

QPushButton* MakeBrowseButton(const char* name, NSFerryman::ResourceId label) {
  auto* button = new QPushButton(ButtonLabel(GetString(label)));
  button->setObjectName(name);
  button->setAutoDefault(false);
  button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + 24);
  // Hidden while busy without the rows moving.
  QSizePolicy policy = button->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  button->setSizePolicy(policy);
  return button;
}

// The wait cursor for the life of the object, also when the work fails.
class CWaitCursorScope {
 public:
  explicit CWaitCursorScope(MPackJobHost& host) : host_(host) { host_.SetWaitCursor(true); }
  ~CWaitCursorScope() { host_.SetWaitCursor(false); }
  CWaitCursorScope(const CWaitCursorScope&) = delete;
  CWaitCursorScope& operator=(const CWaitCursorScope&) = delete;

 private:
  MPackJobHost& host_;
};

}  // namespace

CCreateWindow::CCreateWindow(const CCreateWindowServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services), job_(*this, services.database, services.slc) {
  setObjectName("createWindow");
  setWindowTitle(Text(apptext::kApplicationName));
  setAcceptDrops(true);
  // Files are checked, packed and verified on every core; what the window shows is the same.
  job_.SetWorkerCount(COrderedPipeline::DefaultWorkers());
  BuildViews();
  UpdateContents();
  FitWindowIntoScreen(*this, sizeHint());
}

CCreateWindow::~CCreateWindow() {
  if (waitCursor_) QApplication::restoreOverrideCursor();
}

void CCreateWindow::BuildViews() {
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(6);
  grid->setColumnStretch(1, 1);
  int row = 0;
  // A label stands level with the first line of its value.
  const auto addRow = [&](NSFerryman::ResourceId label, CBorderTransparentStaticTextView* value,
                          QWidget* button = nullptr) {
    const Qt::Alignment place = value->LineCount() > 1 ? Qt::AlignTop : Qt::AlignVCenter;
    grid->addWidget(MakeLabel(label), row, 0, Qt::AlignRight | place);
    grid->addWidget(value, row, 1, place);
    if (button) grid->addWidget(button, row, 2);
    ++row;
  };

  // The views in their fixed order, which is also the order of the keyboard focus.
  inputFolderValue_ = MakeValue("inputFolderValue", 1, Qt::ElideMiddle);
  inputFolderButton_ = MakeBrowseButton("inputFolderButton", apptext::kBrowseInput);
  addRow(apptext::kInputFolderLabel, inputFolderValue_, inputFolderButton_);
  outputFileValue_ = MakeValue("outputFileValue", 1, Qt::ElideMiddle);
  outputFileButton_ = MakeBrowseButton("outputFileButton", apptext::kBrowseOutput);
  addRow(apptext::kOutputFileLabel, outputFileValue_, outputFileButton_);
  nameValue_ = MakeValue("nameValue");
  addRow(apptext::kNameLabel, nameValue_);
  commentsValue_ = MakeValue("commentsValue", 2, Qt::ElideRight, true);
  addRow(apptext::kCommentsLabel, commentsValue_);
  externalHampersValue_ = MakeValue("externalHampersValue", 2, Qt::ElideRight, true);
  addRow(apptext::kExternalHampersLabel, externalHampersValue_);
  copyrightValue_ = MakeValue("copyrightValue");
  addRow(apptext::kCopyrightLabel, copyrightValue_);
  urlValue_ = MakeValue("urlValue", 1, Qt::ElideMiddle);
  addRow(apptext::kURLLabel, urlValue_);
  fileCountValue_ = MakeValue("fileCountValue");
  addRow(apptext::kFileCountLabel, fileCountValue_);
  splashView_ = new CDirectBitmapView(QSize(kSplashWidth, kSplashHeight));
  splashView_->setObjectName("splashView");
  grid->addWidget(MakeLabel(apptext::kSplashImageLabel), row, 0, Qt::AlignRight | Qt::AlignTop);
  grid->addWidget(splashView_, row, 1, Qt::AlignLeft | Qt::AlignTop);

  // The status line has room for a title and the file worked on ("2/5 Packing:" and the path).
  statusLine_ = MakeValue("statusLine", 2, Qt::ElideMiddle);
  timeLine_ = MakeValue("timeLine");
  progressBar_ = new QProgressBar;
  progressBar_->setObjectName("progressBar");
  progressBar_->setRange(0, kProgressRange);
  progressBar_->setTextVisible(true);
  progressBar_->setFormat(QStringLiteral("%p%"));
  QSizePolicy barPolicy = progressBar_->sizePolicy();
  barPolicy.setRetainSizeWhenHidden(true);
  progressBar_->setSizePolicy(barPolicy);
  createButton_ = new QPushButton(CreateLabel());
  createButton_->setObjectName("createButton");
  createButton_->setDefault(true);
  QSizePolicy buttonPolicy = createButton_->sizePolicy();
  buttonPolicy.setRetainSizeWhenHidden(true);
  createButton_->setSizePolicy(buttonPolicy);
  createButton_->setMinimumWidth(createButton_->sizeHint().width() + 24);

  auto* buttonRow = new QHBoxLayout;
  buttonRow->addWidget(progressBar_, 1);
  buttonRow->addSpacing(12);
  buttonRow->addWidget(createButton_);

  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(18, 16, 18, 16);
  layout->addLayout(grid);
  layout->addSpacing(14);
  layout->addWidget(statusLine_);
  layout->addWidget(timeLine_);
  layout->addSpacing(6);
  layout->addLayout(buttonRow);
  // A taller window keeps its rows together at the top.
  layout->addStretch(1);
  setCentralWidget(content);
  setMinimumWidth(kMinimumWidth);

  connect(inputFolderButton_, &QPushButton::clicked, this,
          [this] { ReportFailures(services_.alerts, [this] { SelectInputFolder(); }); });
  connect(outputFileButton_, &QPushButton::clicked, this,
          [this] { ReportFailures(services_.alerts, [this] { SelectOutputFile(); }); });
  connect(createButton_, &QPushButton::clicked, this, &CCreateWindow::ClickCreateButton);
  createButton_->setFocus();
  // F10 opens the menu bar, as on other desktops.
  auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(menuKey, &QShortcut::activated, this, [this] {
    if (!menuBar()->actions().isEmpty()) menuBar()->setActiveAction(menuBar()->actions().first());
  });
}

// ---- commands ----

bool CCreateWindow::DoCommand(std::uint32_t command) {
  switch (command) {
    case command::kSelectInputFolder:
    case command::kSelectOutputFile:
    case command::kCreateHamper:
    case command::kCheckFolder:
    case command::kWarnForExternalReferences: break;
    default: return false;
  }
  // A command queued before the job started must not reach into it.
  if (IsBusy()) return true;
  switch (command) {
    case command::kSelectInputFolder: SelectInputFolder(); break;
    case command::kSelectOutputFile: SelectOutputFile(); break;
    case command::kCreateHamper: CreateHamper(); break;
    case command::kCheckFolder: CheckFolder(); break;
    case command::kWarnForExternalReferences:
      job_.SetWarnForExternalReferences(!job_.GetWarnForExternalReferences());
      break;
  }
  return true;
}

void CCreateWindow::UpdateMenus(CMenuCommands& menus) const {
  const bool idle = !IsBusy();
  menus.SetEnabled(command::kSelectInputFolder, idle);
  menus.SetEnabled(command::kSelectOutputFile, idle);
  menus.SetEnabled(command::kCreateHamper, idle);
  menus.SetEnabled(command::kCheckFolder, idle);
  menus.SetEnabled(command::kWarnForExternalReferences, idle);
  menus.SetChecked(command::kWarnForExternalReferences, job_.GetWarnForExternalReferences());
}

bool CCreateWindow::SelectInputFolder() {
  const std::optional<std::string> folder =
      services_.dialogs.ChooseFolder(this, GetString(apptext::kSelectSourceFolder), services_.inputFolders.GetFolder());
  if (!folder) return false;
  services_.inputFolders.Remember(*folder);
  SetInputFolder(NSFerryman::CDirSpec(*folder));
  return true;
}

bool CCreateWindow::SelectOutputFile() {
  const std::string& name = job_.GetDescription().GetName();
  const std::optional<std::string> file =
      services_.dialogs.ChooseSaveFile(this, GetString(apptext::kSelectDestinationFolder),
                                       services_.outputFolders.GetFolder(), HamperFileName(name.empty() ? "Packed" : name),
                                       ESavedFileKind::kHamper);
  if (!file) return false;
  const NSFerryman::CFileSpec output(*file);
  SetOutputFile(output);
  services_.outputFolders.Remember(output.GetFolder());
  return true;
}

void CCreateWindow::SetInputFolder(const NSFerryman::CDirSpec& folder) {
  if (IsBusy()) return;
  if (job_.GetInputFolder() && *job_.GetInputFolder() == folder) {
    Redraw();
    return;
  }
  job_.SetInputFolder(std::nullopt);
  job_.SetDescription(CHamperDescription());
  // They were the last job's folder's, not this one's.
  job_.ClearExternalHampers();
  SetSplashPreview(nullptr);
  std::optional<std::string> outputFolder;
  if (job_.GetOutputFile()) {
    outputFolder = job_.GetOutputFile()->GetFolder();
    job_.SetOutputFile(std::nullopt);
  }
  Redraw();

  try {
    {
      CWaitCursorScope wait(*this);
      job_.SetDescription(ReadInputFolderDescription(services_.database, folder, this,
                                                     [this](const CBitmap32& splash) { SetSplashPreview(&splash); }));
    }
    const std::string& name = job_.GetDescription().GetName();
    if (name.empty()) {
      NSFerryman::ShowAlert(*this, jobtext::kNoNameAlert);
      throw XAlertAlreadyShown(folder.GetPath() + ": the Hamper has no name");
    }
    job_.SetInputFolder(folder);
    if (outputFolder) job_.SetOutputFile(NSFerryman::CFileSpec("", *outputFolder, HamperFileName(name)));
  } catch (...) {
    Redraw();
    throw;
  }
  Redraw();
  emit InputFolderTaken(folder.GetPath());
}

void CCreateWindow::SetOutputFile(const NSFerryman::CFileSpec& file) {
  if (IsBusy()) return;
  job_.SetOutputFile(file);
  Redraw();
}

void CCreateWindow::CreateHamper() {
  if (IsBusy()) return;
  job_.Progress().ClearButtonText();
  if (!job_.GetInputFolder() && !SelectInputFolder()) return;
  if (!job_.GetOutputFile() && !SelectOutputFile()) return;
  jobStarted_ = job_.Progress().Now();
  notified_ = false;
  inJob_ = true;
  try {
    job_.RunPackJob();
  } catch (const XUserCancelled&) {
  } catch (const XAlertAlreadyShown&) {
  } catch (...) {
    inJob_ = false;
    Redraw();
    TellJobEnded();
    throw;
  }
  inJob_ = false;
  Redraw();
  TellJobEnded();
}

void CCreateWindow::NotifyIfAway(const QString& summary, const QString& body) {
  if (isActiveWindow() || job_.Progress().Now() - jobStarted_ < services_.longJobMs) return;
  if (services_.notify) {
    services_.notify(summary, body);
  } else {
    NotifyDesktop(summary, body, this);
  }
}

void CCreateWindow::TellJobEnded() {
  const CPackReport& report = job_.GetReport();
  if (report.outcome == CPackReport::EOutcome::kNotRun) return;
  const CReportContents contents = PackReportContents(report);
  const std::string& text = contents.text;
  const bool complete = report.outcome == CPackReport::EOutcome::kComplete;
  Report().ShowReport(Text(apptext::kPackReportTitle), contents, complete ? report.output : std::string(),
                      report.hamperName + " report.txt");
  // A job ended by an alert was told of before the alert.
  if (!notified_) {
    NotifyIfAway(DisplayText(GetString(apptext::kPackEnded, {report.hamperName})),
                 DisplayText(text.substr(0, text.find('\n', text.find('\n') + 1))));
  }
}

CReportWindow& CCreateWindow::Report() {
  if (!report_) {
    auto showInFolder = services_.showInFolder ? services_.showInFolder : &ShowInFileManager;
    report_ = new CReportWindow(services_.dialogs, services_.alerts, showInFolder, this);
  }
  return *report_;
}

void CCreateWindow::CheckFolder() {
  if (IsBusy()) return;
  std::optional<std::string> folder;
  if (job_.GetInputFolder()) {
    folder = job_.GetInputFolder()->GetPath();
  } else {
    // A folder that cannot be packed yet is what a check is for: it is not taken as the input.
    folder = services_.dialogs.ChooseFolder(this, GetString(apptext::kSelectSourceFolder),
                                            services_.inputFolders.GetFolder());
    if (!folder) return;
    services_.inputFolders.Remember(*folder);
  }
  checking_ = true;
  Redraw();
  std::uint64_t lastShown = 0;
  const auto onFile = [&](const std::string& file) {
    const std::uint64_t now = platform::MillisecondsNow();
    if (now - lastShown < CRefreshThrottle::kIntervalMs) return;
    lastShown = now;
    statusLine_->SetText(DisplayText(GetString(apptext::kCheckingFile, {file})));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
  CFolderCheckReport result;
  try {
    CWaitCursorScope wait(*this);
    result = ::CheckFolder(NSFerryman::CDirSpec(*folder), services_.database, services_.slc, onFile);
  } catch (...) {
    checking_ = false;
    statusLine_->SetText(QString());
    Redraw();
    throw;
  }
  checking_ = false;
  statusLine_->SetText(QString());
  Redraw();
  const std::string name = result.description.GetName().empty() ? NSFerryman::CDirSpec(*folder).GetName()
                                                                 : result.description.GetName();
  Report().ShowReport(Text(apptext::kFolderCheckTitle), FolderCheckContents(*folder, result), "", name + " check.txt");
}

void CCreateWindow::ClickCreateButton() {
  if (IsBusy()) {
    job_.PressStopButton();
    return;
  }
  emit CommandPosted(command::kCreateHamper);
}

// ---- the job's host ----

int CCreateWindow::PresentAlert(const NSFerryman::CAlert& alert) {
  // The alert waits for an answer: a user who works elsewhere hears of it first.
  if (inJob_) {
    const bool ends = alert.id == jobtext::kPackCompleteAlert;
    const QString title = DisplayText(alert.title.empty() ? GetString(apptext::kApplicationName) : alert.title);
    NotifyIfAway(ends ? DisplayText(GetString(apptext::kPackEnded, {job_.GetDescription().GetName()})) : title,
                 DisplayText(alert.MessageWithLineBreaks("\n")));
    notified_ = notified_ || ends;
  }
  return services_.alerts.PresentAlert(alert);
}

void CCreateWindow::Redraw() {
  UpdateContents();
  if (IsBusy() != shownBusy_) {
    shownBusy_ = IsBusy();
    emit BusyChanged(shownBusy_);
  }
}

void CCreateWindow::HandlePendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void CCreateWindow::SetWaitCursor(bool shown) {
  if (shown == waitCursor_) return;
  waitCursor_ = shown;
  if (shown) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void CCreateWindow::SetSplashPreview(const CBitmap32* splash) {
  if (!splash || splash->width == 0 || splash->height == 0 ||
      splash->pixels.size() != std::size_t{splash->width} * splash->height) {
    splashView_->SetImage(QImage());
    return;
  }
  // The bitmap's pixels are 0xAARRGGBB values, as QImage's ARGB32 format holds them; the copy
  // lets the bitmap go.
  const QImage view(reinterpret_cast<const uchar*>(splash->pixels.data()), static_cast<int>(splash->width),
                    static_cast<int>(splash->height), static_cast<qsizetype>(splash->width) * 4, QImage::Format_ARGB32);
  splashView_->SetImage(view.copy());
}

void CCreateWindow::UpdateContents() {
  const bool busy = job_.IsBusy();
  const CSimpleProgressInfo& shown = job_.Progress().GetDisplayed();

  // A check shows the file it checks in the status line and has no button: it runs to its end.
  inputFolderButton_->setVisible(!IsBusy());
  outputFileButton_->setVisible(!IsBusy());
  if (checking_) {
    createButton_->setVisible(false);
  } else if (!busy) {
    createButton_->setText(CreateLabel());
    createButton_->setVisible(true);
  } else {
    createButton_->setText(ButtonLabel(shown.GetButtonText()));
    createButton_->setVisible(!shown.GetButtonText().empty());
  }

  const CHamperDescription& description = job_.GetDescription();
  inputFolderValue_->SetText(job_.GetInputFolder() ? PathText(job_.GetInputFolder()->GetName()) : QString());
  outputFileValue_->SetText(job_.GetOutputFile() ? PathText(job_.GetOutputFile()->GetName()) : QString());
  nameValue_->SetText(DisplayText(description.GetName()));
  commentsValue_->SetText(DisplayText(description.GetComments()));
  externalHampersValue_->SetText(DisplayText(job_.GetExternalHampersText()));
  copyrightValue_->SetText(DisplayText(description.GetCopyright()));
  urlValue_->SetText(DisplayText(description.GetURL()));
  fileCountValue_->SetText(description.GetEntryCount() ? QString::number(description.GetEntryCount()) : QString());

  timeLine_->SetText(DisplayText(job_.Progress().UpdateTimeText(busy)));
  if (!checking_) statusLine_->SetText(DisplayText(shown.GetStatusText()).replace('\r', '\n'));

  progressBar_->setVisible(busy);
  progressBar_->setValue(shown.HasProgress() ? std::clamp(shown.GetValue(), 0, kProgressRange) : 0);
  progressBar_->setTextVisible(shown.HasProgress() && busy);
}

// ---- events ----

void CCreateWindow::closeEvent(QCloseEvent* event) {
  if (!IsBusy()) {
    event->accept();
    return;
  }
  event->ignore();
  ReportFailures(services_.alerts, [this] { job_.RequestStop(); });
}

void CCreateWindow::keyPressEvent(QKeyEvent* event) {
  const bool control = event->modifiers() & Qt::ControlModifier;
  if (event->key() == Qt::Key_Escape) {
    ReportFailures(services_.alerts, [this] { job_.RequestStop(); });
  } else if (control && (event->key() == Qt::Key_Pause || event->nativeVirtualKey() == kXKeyBreak ||
                          event->nativeVirtualKey() == kXKeyPause)) {
    // Ctrl+Break: under X11 the keysym Break, which Qt reports as key 0; elsewhere Pause.
    job_.StopWithoutAsking();
  } else {
    QMainWindow::keyPressEvent(event);
  }
}

namespace {

// The local folder a drag carries, or "" when it carries anything else.
QString DroppedFolder(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().first();
  if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isDir()) return {};
  return url.toLocalFile();
}

}  // namespace

void CCreateWindow::dragEnterEvent(QDragEnterEvent* event) {
  // Items dragged out of a browser window are no input folder, and asking for their files would
  // write them.
  if (IsOwnItemDrag(event->mimeData())) return;
  if (!DroppedHamperFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
  if (!IsBusy() && !DroppedFolder(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CCreateWindow::dropEvent(QDropEvent* event) {
  if (IsOwnItemDrag(event->mimeData())) return;
  if (const QStringList hampers = DroppedHamperFiles(event->mimeData()); !hampers.isEmpty()) {
    event->acceptProposedAction();
    for (const QString& hamper : hampers) emit HamperDropped(PathBytes(hamper));
    return;
  }
  const QString folder = DroppedFolder(event->mimeData());
  if (IsBusy() || folder.isEmpty()) return;
  event->acceptProposedAction();
  emit FolderDropped(PathBytes(folder));
}
