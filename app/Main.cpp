// `hamper-packer [--hampers DIR]... [--slc-library PATH] [FOLDER] [FILE.hmp]...`: the desktop
// application. A folder named on the command line becomes the input folder; each Hamper named
// opens in a browser window of its own, and named alone, without the splash or the packer window.

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

#include "app/ApplicationPicture.h"
#include "app/BrowserDragOut.h"
#include "app/HamperPacker.h"
#include "app/PaletteColours.h"
#include "app/ReportFailures.h"
#include "app/TextConversion.h"
#include "framework/media/PartialOutputRegistry.h"
#include "references/Database.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("hamper-packer"));
  QCoreApplication::setApplicationName(QStringLiteral("hamper-packer"));
  QCoreApplication::setApplicationVersion(QStringLiteral(HAMPER_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("hamper-packer"));
  QApplication::setWindowIcon(ApplicationIcon());
  TakePaletteFromEnvironment();

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Packs a content folder into a Hamper (.hmp)."));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption hampers(QStringLiteral("hampers"),
                                   QStringLiteral("A folder of installed Hampers (up to four)."), QStringLiteral("DIR"));
  const QCommandLineOption slcLibrary(QStringLiteral("slc-library"),
                                      QStringLiteral("Where the sliced-loop library is."), QStringLiteral("PATH"));
  parser.addOption(hampers);
  parser.addOption(slcLibrary);
  parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("The content folder to pack."),
                               QStringLiteral("[FOLDER]"));
  parser.addPositionalArgument(QStringLiteral("FILE.hmp"), QStringLiteral("Hampers to open, each in a window of its own."),
                               QStringLiteral("[FILE.hmp]..."));
  parser.process(application);
  QStringList folders;
  QStringList hamperFiles;
  for (const QString& argument : parser.positionalArguments()) {
    (QFileInfo(argument).isDir() ? folders : hamperFiles).push_back(argument);
  }
  if (folders.size() > 1) {
    std::fprintf(stderr, "hamper-packer: one folder at most\n");
    return 2;
  }
  // Hampers opened from a file manager open as themselves: no splash, no packer window (the
  // browser's File menu has it).
  const bool onlyHampers = folders.isEmpty() && !hamperFiles.isEmpty();

  CHamperPackerOptions options;
  for (const QString& folder : parser.values(hampers)) options.hamperFolders.push_back(PathBytes(folder));
  options.slcLibrary = PathBytes(parser.value(slcLibrary));
  options.version = HAMPER_VERSION;
  options.showSplash = !onlyHampers;
  if (options.hamperFolders.size() > CDatabase::kSearchFolderSlots) {
    std::fprintf(stderr, "hamper-packer: at most four --hampers folders can be searched\n");
    return 2;
  }

  // A pack ended by a signal (the session closing) leaves no partly written Hamper behind.
  NSFerryman::InstallPartialOutputRemoval();
  NSFerryman::LetFileSizeLimitFailWrites();
  CBrowserDragOut::RemoveLeftovers();

  CHamperPacker packer(options);
  if (!ReportFailures(packer.Alerts(), [&] {
        packer.Initialise();
        if (!onlyHampers) packer.CreateMainWindow();
      })) {
    return 1;
  }
  if (!folders.isEmpty()) packer.OpenItem(PathBytes(folders.first()));
  bool opened = false;
  for (const QString& hamper : hamperFiles) opened = packer.OpenHamper(PathBytes(hamper)) || opened;
  // Each named file was refused with its alert: there is nothing to show.
  if (onlyHampers && !opened) return 1;
  return application.exec();
}
