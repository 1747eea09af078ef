#include "cli/BashCompletion.h"

#include <sstream>
#include <vector>

namespace cli {
namespace {

// What completes in place of one value.
const char* ValueKind(const CLI::Option& option) {
  const std::string type = option.get_type_name();
  for (const char* number : {"UINT", "INT", "FLOAT", "NUMBER"}) {
    if (type.starts_with(number)) return "none";
  }
  const std::string name = option.get_positional() && !option.nonpositional() ? option.get_name(true) : type;
  return name.ends_with("DIR") ? "dir" : "file";
}

// Flags have no value, and so no type name ("TEXT", "UINT").
bool TakesValue(const CLI::Option& option) { return !option.get_type_name().empty(); }

bool Shown(const CLI::Option* option) { return !option->get_group().empty(); }

std::vector<std::string> OptionNames(const CLI::Option& option) {
  std::vector<std::string> names;
  for (const std::string& name : option.get_snames()) names.push_back("-" + name);
  for (const std::string& name : option.get_lnames()) names.push_back("--" + name);
  return names;
}

std::string Joined(const std::vector<std::string>& words, const char* separator) {
  std::string out;
  for (const std::string& word : words) out += (out.empty() ? "" : separator) + word;
  return out;
}

std::vector<std::string> ShownOptionNames(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::Option* option : app.get_options([](const CLI::Option* o) { return o->nonpositional() && Shown(o); })) {
    for (const std::string& name : OptionNames(*option)) names.push_back(name);
  }
  return names;
}

}  // namespace

std::string BashCompletionScript(const CLI::App& app, const std::string& program) {
  const std::vector<const CLI::App*> commands =
      app.get_subcommands([](const CLI::App* sub) { return !sub->get_name().empty() && !sub->get_disabled(); });
  std::vector<std::string> commandNames;
  for (const CLI::App* command : commands) commandNames.push_back(command->get_name());
  std::string function = "_" + program;
  for (char& c : function) {
    if (c == '-') c = '_';
  }

  std::ostringstream out;
  out << "# bash completion for " << program << "(1)\n"
      << "# Written by `" << program << " --bash-completion` from the definitions of its commands and options,\n"
      << "# the same ones its --help and manual page show.\n\n";

  out << "# COMMAND: the options of the command.\n"
      << function << "_options()\n{\n    case $1 in\n";
  for (const CLI::App* command : commands) {
    out << "        " << command->get_name() << ") echo '" << Joined(ShownOptionNames(*command), " ") << "' ;;\n";
  }
  out << "    esac\n}\n\n";

  out << "# COMMAND OPTION: what the option's value is (file, dir or none); nothing for a flag.\n"
      << function << "_value()\n{\n    case $1:$2 in\n";
  for (const CLI::App* command : commands) {
    for (const CLI::Option* option : command->get_options(
             [](const CLI::Option* o) { return o->nonpositional() && Shown(o) && TakesValue(*o); })) {
      std::vector<std::string> patterns;
      for (const std::string& name : OptionNames(*option)) patterns.push_back(command->get_name() + ":" + name);
      out << "        " << Joined(patterns, "|") << ") echo " << ValueKind(*option) << " ;;\n";
    }
  }
  out << "    esac\n}\n\n";

  out << "# COMMAND N: what the positional argument N (from 0) is (file, dir or none).\n"
      << function << "_positional()\n{\n    local -a kinds=()\n    local repeat=0\n    case $1 in\n";
  for (const CLI::App* command : commands) {
    std::vector<std::string> kinds;
    bool repeat = false;
    for (const CLI::Option* positional :
         command->get_options([](const CLI::Option* o) { return !o->nonpositional() && Shown(o); })) {
      kinds.push_back(ValueKind(*positional));
      repeat = positional->get_expected_max() > 1;
    }
    if (kinds.empty()) continue;
    out << "        " << command->get_name() << ") kinds=(" << Joined(kinds, " ") << ")"
        << (repeat ? "; repeat=1" : "") << " ;;\n";
  }
  out << "    esac\n"
      << "    if (( $2 < ${#kinds[@]} )); then\n"
      << "        echo \"${kinds[$2]}\"\n"
      << "    elif (( repeat )); then\n"
      << "        echo \"${kinds[-1]}\"\n"
      << "    fi\n}\n\n";

  // The words before the cursor tell the command, how many positional arguments it has and
  // whether an option waits for its value. "--output=FILE" arrives as three words, as "=" breaks
  // words in bash's completion.
  out << function << "()\n{\n"
      << "    local cur=${COMP_WORDS[COMP_CWORD]} prev=\n"
      << "    (( COMP_CWORD > 0 )) && prev=${COMP_WORDS[COMP_CWORD-1]}\n"
      << "    local command= word value= positionals=0 i\n"
      << "    for (( i = 1; i < COMP_CWORD; i++ )); do\n"
      << "        word=${COMP_WORDS[i]}\n"
      << "        if [[ -n $value ]]; then\n"
      << "            [[ $word == = ]] || value=\n"
      << "            continue\n"
      << "        fi\n"
      << "        if [[ -z $command ]]; then\n"
      << "            [[ $word == -* ]] || command=$word\n"
      << "        elif [[ $word == -* ]]; then\n"
      << "            [[ -n $(" << function << "_value \"$command\" \"$word\") ]] && value=$word\n"
      << "        else\n"
      << "            positionals=$((positionals + 1))\n"
      << "        fi\n"
      << "    done\n"
      << "    local kind\n"
      << "    if [[ $cur == = ]]; then\n"
      << "        cur=\n"
      << "        kind=$(" << function << "_value \"$command\" \"$prev\")\n"
      << "    elif [[ -n $value ]]; then\n"
      << "        kind=$(" << function << "_value \"$command\" \"$value\")\n"
      << "    elif [[ -z $command && $cur == -* ]]; then\n"
      << "        kind=\"words:" << Joined(ShownOptionNames(app), " ") << "\"\n"
      << "    elif [[ -z $command ]]; then\n"
      << "        kind=\"words:" << Joined(commandNames, " ") << "\"\n"
      << "    elif [[ $cur == -* ]]; then\n"
      << "        kind=\"words:$(" << function << "_options \"$command\")\"\n"
      << "    else\n"
      << "        kind=$(" << function << "_positional \"$command\" \"$positionals\")\n"
      << "    fi\n"
      << "    local IFS=$'\\n'\n"
      << "    case $kind in\n"
      << "        words:*) IFS=$' \\t\\n'; COMPREPLY=($(compgen -W \"${kind#words:}\" -- \"$cur\")) ;;\n"
      << "        file) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- \"$cur\")) ;;\n"
      << "        dir) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- \"$cur\")) ;;\n"
      << "        *) COMPREPLY=() ;;\n"
      << "    esac\n"
      << "}\n\n"
      << "complete -F " << function << " " << program << "\n";
  return out.str();
}

}  // namespace cli
