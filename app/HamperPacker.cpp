#include "app/HamperPacker.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "app/AboutDialog.h"
#include "app/AppTexts.h"
#include "app/BrowserTexts.h"
#include "app/HamperBrowserWindow.h"
#include "app/ApplicationPicture.h"
#include "app/CreateWindow.h"
#include "app/Mnemonics.h"
#include "app/ReportFailures.h"
#include "app/SplashScreen.h"
#include "app/TextConversion.h"
#include "app/WebPages.h"
#include "browse/HamperContents.h"
#include "framework/resources/ResourceCache.h"
#include "references/Database.h"

namespace {

// The framework's "File not Found" that names the file.
constexpr std::uint32_t kFileNamedNotFoundAlert = 2;

}  // namespace

CHamperPacker::CHamperPacker(CHamperPackerOptions options, CHamperPackerServices services)
    : options_(std::move(options)),
      alertBoxes_([this]() -> QWidget* { return window_.get(); }),
      alerts_(services.alerts ? services.alerts : &alertBoxes_),
      dialogs_(services.dialogs ? services.dialogs : &desktopDialogs_),
      openWebPage_(services.openWebPage ? std::move(services.openWebPage) : &OpenWebPageOnDesktop),
      hasWebBrowser_(services.hasWebBrowser ? std::move(services.hasWebBrowser) : &DesktopHasWebBrowser),
      audioAvailability_(std::move(services.audioAvailability)),
      notify_(std::move(services.notify)),
      showInFolder_(std::move(services.showInFolder)),
      slc_(options_.slcLibrary) {
  if (options_.hamperFolders.size() > CDatabase::kSearchFolderSlots) {
    throw NSFerryman::XBase("at most four folders of installed Hampers can be searched");
  }
}

CHamperPacker::~CHamperPacker() { ShutDown(); }

void CHamperPacker::Initialise() {
  try {
    // 1. The splash, painted before anything else is done.
    if (options_.showSplash) {
      splash_ = std::make_unique<CSplashScreen>(ApplicationPicture());
      splash_->show();
      QCoreApplication::processEvents();
    }

    // 2. The menus.
    menus_ = std::make_unique<CMenuCommands>([this](std::uint32_t command) { DoCommand(command); });
    QMenu& file = menus_->AddMenu(apptext::kFileMenu);
    AddRecentFoldersMenu(file);
    menus_->AddMenu(apptext::kHamperMenu);
    menus_->AddMenu(apptext::kHelpMenu);
    menus_->SetAboutToShow([this] { UpdateMenus(); });

    // 3. The database.
    QElapsedTimer since;
    since.start();
    database_ = std::make_unique<CDatabase>(apptext::kInsertCDAlert);
    for (std::size_t slot = 0; slot < options_.hamperFolders.size(); ++slot) {
      database_->SetSearchFolder(slot, NSFerryman::CDirSpec(options_.hamperFolders[slot]));
    }
    database_->SetApplicationFolder(NSFerryman::CDirSpec(PathBytes(QCoreApplication::applicationDirPath())));
    database_->SetVolumeSearchHost(&volumeSearch_);

    // 4. The splash stays its minimum time; events go on meanwhile, so that it is drawn.
    const qint64 rest = options_.minimumSplashTime.count() - since.elapsed();
    if (splash_ && rest > 0) {
      QEventLoop wait;
      QTimer::singleShot(static_cast<int>(rest), &wait, &QEventLoop::quit);
      wait.exec();
    }

    // 5.
    splash_.reset();
  } catch (...) {
    splash_.reset();
    ShutDown();
    throw;
  }
}

void CHamperPacker::ShutDown() {
  // Browser windows verify and resolve through the database: they go before it.
  for (const QPointer<CHamperBrowserWindow>& browser : std::exchange(hamperWindows_, {})) delete browser.data();
  if (window_) {
    window_->hide();
    window_.reset();
  }
  if (about_) delete about_.data();
  slc_.Unload();
  database_.reset();
  recentMenu_ = nullptr;
  menus_.reset();
}

void CHamperPacker::CreateMainWindow() {
  if (window_) return;
  if (!database_) throw NSFerryman::XBase("the application has not been initialised");
  window_ = std::make_unique<CCreateWindow>(
      CCreateWindowServices{*database_, slc_, *alerts_, *dialogs_, inputFolders_, outputFolders_, showInFolder_, notify_});
  window_->setWindowIcon(ApplicationIcon());
  if (menus_) menus_->InstallInto(*window_->menuBar());
  connect(window_.get(), &CCreateWindow::CommandPosted, this, [this](quint32 command) { DoCommand(command); },
          Qt::QueuedConnection);
  connect(window_.get(), &CCreateWindow::BusyChanged, this, [this] { UpdateMenus(); });
  connect(window_.get(), &CCreateWindow::FolderDropped, this, [this](const std::string& path) { OpenItem(path); });
  connect(window_.get(), &CCreateWindow::HamperDropped, this, [this](const std::string& path) { OpenHamper(path); });
  connect(window_.get(), &CCreateWindow::InputFolderTaken, this, [this](const std::string& path) { recent_.Add(path); });
  UpdateMenus();
  window_->show();
}

bool CHamperPacker::IsBusy() const { return window_ && window_->IsBusy(); }

void CHamperPacker::UpdateMenus() {
  if (!menus_) return;
  const bool idle = !IsBusy();
  menus_->SetEnabled(command::kQuit, idle);
  menus_->SetEnabled(command::kOpenHamper, true);
  menus_->SetEnabled(command::kAbout, idle);
  const bool web = idle && hasWebBrowser_();
  menus_->SetEnabled(command::kHomePage, web);
  menus_->SetEnabled(command::kSupportPage, web);
  if (window_) window_->UpdateMenus(*menus_);
}

void CHamperPacker::DoCommand(std::uint32_t command) {
  ReportFailures(*alerts_, [&] {
    switch (command) {
      case command::kQuit: Quit(); break;
      case command::kOpenHamper: ChooseHamperToOpen(); break;
      case command::kPackerWindow: ShowPackerWindow(); break;
      case command::kAbout: ShowAbout(); break;
      case command::kHomePage:
      case command::kSupportPage: {
        const std::string address =
            NSFerryman::GetString(command == command::kHomePage ? apptext::kHomePageAddress : apptext::kSupportPageAddress);
        if (!OpenWebPage(address)) NSFerryman::ShowAlert(*alerts_, apptext::kCannotOpenWebPageAlert, {address});
        break;
      }
      default:
        if (window_) window_->DoCommand(command);
        break;
    }
  });
  UpdateMenus();
}

void CHamperPacker::OpenItem(const std::string& path) {
  ReportFailures(*alerts_, [&] {
    CreateMainWindow();
    // Named, unlike "a file could not be found", so that a mistyped folder is seen at once.
    if (!QFileInfo::exists(PathText(path))) {
      NSFerryman::ShowAlert(*alerts_, NSFerryman::AlertId(NSFerryman::kFrameworkResources, kFileNamedNotFoundAlert),
                            {path});
      return;
    }
    window_->SetInputFolder(NSFerryman::CDirSpec(path));
  });
  UpdateMenus();
}

void CHamperPacker::ShowPackerWindow() {
  CreateMainWindow();
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void CHamperPacker::ChooseHamperToOpen() {
  const std::optional<std::string> file = dialogs_->ChooseHamperToOpen(
      QApplication::activeWindow(), NSFerryman::GetString(browsertext::kOpenHamperTitle), openedHampers_.GetFolder());
  if (!file) return;
  openedHampers_.Remember(std::filesystem::path(*file).parent_path().string());
  OpenHamper(*file);
}

bool CHamperPacker::OpenHamper(const std::string& path) {
  bool opened = false;
  ReportFailures(*alerts_, [&] {
    if (!database_) throw NSFerryman::XBase("the application has not been initialised");
    std::unique_ptr<CHamperContents> contents = CHamperContents::Open(path, CHamperContents::kMostRecordsShown);
    // An empty window says less than the reason.
    if (!contents->HasDescription()) {
      NSFerryman::ShowAlert(*alerts_, browsertext::kNotAHamperAlert, {path},
                            contents->Problems().empty() ? std::string() : contents->Problems().front());
      return;
    }
    auto* browser = new CHamperBrowserWindow(
        std::move(contents),
        CHamperBrowserServices{*database_, slc_, *alerts_, *dialogs_, extractFolders_, audioAvailability_, {}, {}});
    browser->setWindowIcon(ApplicationIcon());
    connect(browser, &CHamperBrowserWindow::HamperDropped, this, [this](const std::string& dropped) { OpenHamper(dropped); });
    connect(browser, &CHamperBrowserWindow::CommandPosted, this, [this](quint32 command) { DoCommand(command); },
            Qt::QueuedConnection);
    hamperWindows_.erase(std::remove(hamperWindows_.begin(), hamperWindows_.end(), nullptr), hamperWindows_.end());
    hamperWindows_.emplace_back(browser);
    browser->show();
    opened = true;
  });
  return opened;
}

std::vector<CHamperBrowserWindow*> CHamperPacker::HamperWindows() const {
  std::vector<CHamperBrowserWindow*> windows;
  for (const QPointer<CHamperBrowserWindow>& browser : hamperWindows_) {
    if (browser) windows.push_back(browser.data());
  }
  return windows;
}

bool CHamperPacker::OpenWebPage(const std::string& address) { return openWebPage_(address); }

void CHamperPacker::AddRecentFoldersMenu(QMenu& file) {
  // Before Quit, which stays last.
  QAction* quit = menus_->Action(command::kQuit);
  recentMenu_ = new QMenu(&file);
  QString taken;
  for (QAction* action : file.actions()) {
    const qsizetype mark = action->text().indexOf('&');
    if (mark >= 0 && mark + 1 < action->text().size()) taken += action->text()[mark + 1].toLower();
  }
  recentMenu_->setTitle(WithMnemonic(DisplayText(NSFerryman::GetString(apptext::kRecentInputFolders)), taken));
  recentMenu_->setObjectName("recentFoldersMenu");
  file.insertMenu(quit, recentMenu_);
  file.insertSeparator(quit);
  connect(recentMenu_, &QMenu::aboutToShow, this, [this] { FillRecentFoldersMenu(); });
  FillRecentFoldersMenu();
}

void CHamperPacker::FillRecentFoldersMenu() {
  recentMenu_->clear();
  const std::vector<std::string> folders = recent_.Folders();
  for (std::size_t i = 0; i < folders.size(); ++i) {
    // Numbered as desktop tools number them, the number its mnemonic; "&" in a name is a character.
    const QString label = QStringLiteral("&%1 ").arg(i + 1) + PathText(folders[i]).replace('&', "&&");
    QAction* action = recentMenu_->addAction(label);
    const std::string folder = folders[i];
    connect(action, &QAction::triggered, this, [this, folder] { OpenItem(folder); });
  }
  recentMenu_->addSeparator();
  QString taken;
  QAction* clear = recentMenu_->addAction(WithMnemonic(DisplayText(NSFerryman::GetString(apptext::kClearList)), taken));
  clear->setEnabled(!folders.empty());
  connect(clear, &QAction::triggered, this, [this] { recent_.Clear(); });
  recentMenu_->setEnabled(!IsBusy());
}

void CHamperPacker::EnsureSLCLibrary(NSFerryman::MAlertHost& alerts) { slc_.EnsureSLCLibrary(alerts); }

void CHamperPacker::Quit() {
  if (IsBusy()) return;
  if (window_ && !window_->close()) return;
  QCoreApplication::quit();
}

void CHamperPacker::ShowAbout() {
  if (IsBusy()) return;
  if (about_) {
    about_->show();
    about_->raise();
    about_->activateWindow();
    return;
  }
  about_ = new CAboutDialog(options_.version, window_.get());
  about_->setWindowIcon(ApplicationIcon());
  about_->show();
}
