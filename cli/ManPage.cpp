#include "cli/ManPage.h"

#include <sstream>

namespace cli {
namespace {

// Text inside a line: roff takes a backslash as an escape, and "-" as a hyphen that may be
// printed as a dash; "\-" keeps options copyable from the rendered page.
std::string RoffInline(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else if (c == '\n') {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

// One argument of a request, quoted so that spaces stay inside it.
std::string RoffArgument(std::string_view text) {
  std::string out = "\"";
  for (const char c : RoffInline(text)) {
    out += c == '"' ? std::string("\\(dq") : std::string(1, c);
  }
  return out + "\"";
}

std::string Bold(std::string_view text) { return "\\fB" + RoffInline(text) + "\\fR"; }
std::string Italic(std::string_view text) { return "\\fI" + RoffInline(text) + "\\fR"; }

bool IsHelpFlag(const CLI::App& app, const CLI::Option* option) {
  return option == app.get_help_ptr() || option == app.get_help_all_ptr();
}

bool IsRepeatable(const CLI::Option& option) {
  return option.get_expected_max() >= CLI::detail::expected_max_vector_size;
}

// The type CLI11 shows ("TEXT", "UINT") without the checks it appends after ":" (those go with
// the description).
std::string ValueName(const CLI::Option& option) {
  const std::string type = option.get_type_name();
  return type.substr(0, type.find(':'));
}

std::string ValueChecks(const CLI::Option& option) {
  const std::string type = option.get_type_name();
  const std::size_t colon = type.find(':');
  return colon == std::string::npos ? std::string() : type.substr(colon + 1);
}

std::string OptionTerm(const CLI::Option& option) {
  std::string term;
  const auto addName = [&term](const std::string& name) { term += (term.empty() ? "" : ", ") + Bold(name); };
  for (const std::string& name : option.get_snames()) addName("-" + name);
  for (const std::string& name : option.get_lnames()) addName("--" + name);
  if (const std::string value = ValueName(option); !value.empty()) {  // flags take none
    term += " " + Italic(value);
    if (IsRepeatable(option)) term += " \\&...";
  }
  return term;
}

std::string PositionalTerm(const CLI::Option& option) {
  return Italic(option.get_name(true)) + (IsRepeatable(option) ? " \\&..." : "");
}

// Descriptions are written without a final full stop, as --help shows them.
void AddSentence(std::string& text, const std::string& sentence) {
  if (!text.empty()) text += text.ends_with('.') ? " " : ". ";
  text += sentence;
}

std::string OptionText(const CLI::Option& option) {
  std::string text = option.get_description();
  if (const std::string checks = ValueChecks(option); !checks.empty()) AddSentence(text, "Accepts " + checks + ".");
  if (!option.get_default_str().empty()) AddSentence(text, "Default: " + option.get_default_str() + ".");
  if (option.nonpositional() && option.get_required()) AddSentence(text, "Required.");
  if (option.nonpositional() && IsRepeatable(option)) AddSentence(text, "May be given more than once.");
  return text;
}

void WriteTerm(std::ostream& out, const std::string& term, const std::string& text) {
  out << ".TP\n" << term << "\n" << RoffText(text);
}

// The usage line CLI11 prints, in the page's fonts: the command in bold, [OPTIONS], then the
// positional arguments, optional ones in brackets.
std::string Usage(const CLI::App& app, const std::string& command) {
  std::string usage = Bold(command);
  if (!app.get_options([&app](const CLI::Option* o) { return o->nonpositional() && !IsHelpFlag(app, o); }).empty()) {
    usage += " [" + Italic("OPTIONS") + "]";
  }
  for (const CLI::Option* positional : app.get_options([](const CLI::Option* o) { return o->get_positional(); })) {
    const std::string name = PositionalTerm(*positional);
    usage += " " + (positional->get_required() ? name : "[" + name + "]");
  }
  return usage;
}

std::vector<const CLI::Option*> Listed(const CLI::App& app, bool positional, bool withHelp) {
  return app.get_options([&](const CLI::Option* o) {
    if (o->get_group().empty()) return false;  // hidden
    if (!withHelp && IsHelpFlag(app, o)) return false;
    return positional ? !o->nonpositional() : o->nonpositional();
  });
}

}  // namespace

std::string RoffText(std::string_view text) {
  std::string out;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    if (line.find_first_not_of(' ') == std::string_view::npos) {
      if (end < text.size() || !line.empty()) out += ".PP\n";
    } else {
      if (line.front() == '.' || line.front() == '\'') out += "\\&";
      out += RoffInline(line) + "\n";
    }
    start = end + 1;
  }
  return out;
}

std::string WriteManPage(const CLI::App& app, const CManPage& page) {
  std::ostringstream out;
  std::string title;
  for (const char c : page.name) title += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  out << ".TH " << RoffArgument(title) << " " << RoffArgument(page.section) << " \"\" " << RoffArgument(page.source)
      << " \"User Commands\"\n";
  out << ".SH NAME\n" << RoffInline(page.name) << " \\- " << RoffInline(page.summary) << "\n";

  const std::vector<const CLI::App*> commands =
      app.get_subcommands([](const CLI::App* sub) { return !sub->get_name().empty() && !sub->get_disabled(); });
  out << ".SH SYNOPSIS\n" << Usage(app, page.name);
  if (!commands.empty()) out << " " << Italic("COMMAND") << " [" << Italic("ARGUMENTS") << "]";
  out << "\n";

  out << ".SH DESCRIPTION\n" << RoffText(page.description.empty() ? app.get_description() : page.description);

  if (const auto options = Listed(app, false, true); !options.empty()) {
    out << ".SH OPTIONS\n";
    for (const CLI::Option* option : options) {
      std::string text = OptionText(*option);
      if (IsHelpFlag(app, option) && !commands.empty()) AddSentence(text, "After a command, describes that command.");
      WriteTerm(out, OptionTerm(*option), text);
    }
  }

  if (!commands.empty()) {
    out << ".SH COMMANDS\n";
    for (const CLI::App* command : commands) {
      out << ".SS " << RoffArgument(command->get_name()) << "\n";
      out << Usage(*command, page.name + " " + command->get_name()) << "\n.PP\n";
      out << RoffText(command->get_description());
      for (const CLI::Option* positional : Listed(*command, true, false)) {
        WriteTerm(out, PositionalTerm(*positional), OptionText(*positional));
      }
      for (const CLI::Option* option : Listed(*command, false, false)) {
        WriteTerm(out, OptionTerm(*option), OptionText(*option));
      }
    }
  }

  for (const CManSection& section : page.sections) {
    out << ".SH " << RoffArgument(section.title) << "\n";
    if (!section.text.empty()) out << RoffText(section.text);
    for (const auto& [term, text] : section.terms) WriteTerm(out, Bold(term), text);
  }
  return out.str();
}

}  // namespace cli
