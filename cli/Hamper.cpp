#include <exception>
#include <iostream>
#include <memory>
#include <new>
#include <typeinfo>

#include "cli/BashCompletion.h"
#include "cli/Command.h"
#include "cli/HamperManual.h"
#include "cli/TerminalText.h"
#include "framework/media/Exceptions.h"
#include "framework/media/PartialOutputRegistry.h"
#include "framework/resources/Alert.h"
#include "framework/resources/ExceptionAlerts.h"
#include "framework/resources/ResourceCache.h"

#ifndef HAMPER_VERSION
#define HAMPER_VERSION "0.0.0"
#endif

namespace cli {

std::vector<CommandInfo>& Commands() {
  static std::vector<CommandInfo> commands;
  return commands;
}

int ReportFailure(std::ostream& err, const std::exception& e) {
  // The framework alert for the failure, then the detail the exception carries (which file,
  // which chunk); memory running out has none worth showing.
  const std::string line = NSFerryman::FrameworkAlertText(e);
  const std::string detail = dynamic_cast<const std::bad_alloc*>(&e) ? "" : e.what();
  // The detail may quote names from a Hamper or a folder.
  err << "hamper: " << EscapeForTerminal(line.empty() ? detail : line + (detail.empty() ? "" : " (" + detail + ")"))
      << "\n";
  return kExitFailure;
}

int ReportingFailures(Streams& streams, const std::string& file, const std::function<int()>& body) {
  try {
    return body();
  } catch (const NSFerryman::XUserCancelled&) {
    throw;
  } catch (const std::bad_alloc&) {
    streams.err << "hamper: " << EscapeForTerminal(file) << ": " << NSFerryman::OutOfMemoryText() << "\n";
  } catch (const std::exception& e) {
    // File errors name their path already. Details may quote names from a Hamper or a folder.
    const std::string detail = e.what();
    streams.err << "hamper: " << EscapeForTerminal(detail.starts_with(file) ? detail : file + ": " + detail) << "\n";
  }
  return kExitFailure;
}

int RunHamper(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  NSFerryman::LetFileSizeLimitFailWrites();
  CLI::App app{"Hamper Packer: packs a content folder into a Hamper (.hmp) and inspects Hampers.", "hamper"};
  app.set_version_flag("--version", std::string("hamper ") + HAMPER_VERSION);
  app.require_subcommand(0, 1);
  // The build writes the installed manual page with this; it is no user's option, so it is hidden.
  bool manPage = false;
  app.add_flag("--help-man", manPage, "Print the manual page")->group("");
  // So is the one that writes the bash completion script.
  bool bashCompletion = false;
  app.add_flag("--bash-completion", bashCompletion, "Print the bash completion script")->group("");

  std::function<int(Streams&)> chosen;
  for (auto& info : Commands()) {
    CLI::App* sub = app.add_subcommand(info.name, info.description);
    auto run = std::make_shared<std::function<int(Streams&)>>(info.setup(*sub));
    sub->final_callback([run, &chosen] { chosen = *run; });
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    out << app.help();
    return kExitOk;
  } catch (const CLI::CallForAllHelp& e) {
    out << app.help("", CLI::AppFormatMode::All);
    return kExitOk;
  } catch (const CLI::CallForVersion& e) {
    out << e.what() << "\n";
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    err << "hamper: " << e.what() << "\n" << "Run 'hamper --help' for usage.\n";
    return kExitUsage;
  }
  if (manPage) {
    out << HamperManPage(app, HAMPER_VERSION);
    return kExitOk;
  }
  if (bashCompletion) {
    out << BashCompletionScript(app, "hamper");
    return kExitOk;
  }
  if (!chosen) {
    out << app.help();
    return app.get_subcommands().empty() && argc > 1 ? kExitUsage : kExitOk;
  }
  Streams streams{out, err};
  try {
    return chosen(streams);
  } catch (const NSFerryman::XUserCancelled&) {
    err << "hamper: stopped\n";
    return kExitStopped;
  } catch (const std::exception& e) {
    return ReportFailure(err, e);
  }
}

}  // namespace cli

