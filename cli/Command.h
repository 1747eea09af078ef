#pragma once
// Each subcommand of `hamper` lives in its own file and registers itself here, so that adding a
// command touches no shared file. A command's Run returns the process exit code:
// 0 success, 1 ended after an error, 2 usage, 130 stopped.

#include <CLI/CLI.hpp>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2, kExitStopped = 130 };

struct Streams {
  std::ostream& out;
  std::ostream& err;
};

// Adds the command's options to `sub` and returns what runs it once the options are parsed.
using CommandSetup = std::function<std::function<int(Streams&)>(CLI::App& sub)>;

struct CommandInfo {
  std::string name;
  std::string description;
  CommandSetup setup;
};

std::vector<CommandInfo>& Commands();

struct CommandRegistrar {
  CommandRegistrar(std::string name, std::string description, CommandSetup setup) {
    Commands().push_back({std::move(name), std::move(description), std::move(setup)});
  }
};

// Runs the command line as `hamper` does; used by main and by in-process tests.
int RunHamper(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// Reports a framework exception as one line "hamper: what happened" and returns kExitFailure.
int ReportFailure(std::ostream& err, const std::exception& e);


// Runs a command's body on `file`. A failure becomes one line on standard error,
// "hamper: FILE: what went wrong", and kExitFailure; a stop passes through to the caller.
int ReportingFailures(Streams& streams, const std::string& file, const std::function<int()>& body);

}  // namespace cli
