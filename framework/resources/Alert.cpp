#include "framework/resources/Alert.h"

#include <algorithm>
#include <array>
#include <utility>

#include "framework/media/Exceptions.h"
#include "framework/resources/Substitute.h"

namespace NSFerryman {

namespace {

constexpr std::array<std::pair<std::string_view, EAlertIcon>, 4> kIconTags = {{
    {"[STOP]", EAlertIcon::kStop},
    {"[NOTE]", EAlertIcon::kNote},
    {"[WARN]", EAlertIcon::kWarning},
    {"[NONE]", EAlertIcon::kNone},
}};

constexpr std::size_t kMaxButtons = 3;

}  // namespace

std::string CAlert::MessageWithLineBreaks(std::string_view line_break) const {
  std::string out;
  for (char c : message) {
    if (c == '\r') {
      out += line_break;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

CAlert ParseAlert(std::string_view script, const std::vector<std::string>& arguments) {
  const auto fail = [&](const char* what) {
    throw XBadFormat("alert script \"" + std::string(script) + "\": " + what);
  };
  CAlert alert;
  std::string_view rest = script;

  for (const auto& [tag, icon] : kIconTags) {
    if (rest.starts_with(tag)) {
      alert.icon = icon;
      rest.remove_prefix(tag.size());
      break;
    }
  }

  std::string_view title;
  if (rest.starts_with('[')) {
    const std::size_t end = rest.find(']');
    if (end == std::string_view::npos) fail("the title has no closing \"]\"");
    title = rest.substr(1, end - 1);
    rest.remove_prefix(end + 1);
  }

  const std::size_t message_end = std::min(rest.find('['), rest.size());
  const std::string_view message = rest.substr(0, message_end);
  rest.remove_prefix(message_end);

  std::vector<std::string> labels;
  while (!rest.empty()) {
    const std::size_t open = rest.find('[');
    if (open == std::string_view::npos) break;
    const std::size_t close = rest.find(']', open);
    if (close == std::string_view::npos) fail("a button has no closing \"]\"");
    labels.emplace_back(rest.substr(open + 1, close - open - 1));
    rest.remove_prefix(close + 1);
  }
  if (labels.empty()) fail("it has no button");
  if (labels.size() > kMaxButtons) fail("it has more than three buttons");
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const int number = static_cast<int>(labels.size() - i);  // the last tag is button 1
    alert.buttons.push_back({std::move(labels[i]), kAlertButton1 + number - 1});
  }

  // The title takes one argument per "^" it holds, the message the ones after those.
  const std::size_t title_count =
      std::min(static_cast<std::size_t>(std::count(title.begin(), title.end(), '^')),
               arguments.size());
  const std::vector<std::string> title_arguments(arguments.begin(),
                                                 arguments.begin() + title_count);
  const std::vector<std::string> message_arguments(arguments.begin() + title_count,
                                                   arguments.end());
  alert.title = Substitute(title, title_arguments);
  alert.message = Substitute(message, message_arguments);
  return alert;
}

}  // namespace NSFerryman
