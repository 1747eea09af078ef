#pragma once
// An alert as a host shows it, parsed from an alert script:
//
//   [ICON] [Title] Message [Button 3] [Button 2] [Button 1]
//
// ICON is one of STOP, NOTE, WARN, NONE (none when absent); the title is optional; one to three
// buttons, the last of them button 1 (the default, unless the alert says otherwise). Title placeholders take the first arguments,
// one for each "^" in the title; the message's placeholders, numbered from 0 again, take the
// rest. A carriage return in the message breaks the line.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace NSFerryman {

enum class EAlertIcon { kNone, kStop, kNote, kWarning };

// Result codes of an alert.
inline constexpr int kAlertButton1 = 33;
inline constexpr int kAlertButton2 = 34;
inline constexpr int kAlertButton3 = 35;
inline constexpr int kAlertClosed = 36;  // closed without a button

struct CAlertButton {
  std::string label;
  int result;  // kAlertButton1..3
  bool operator==(const CAlertButton&) const = default;
};

struct CAlert {
  // The text id the alert was made from (0 when it was parsed from a script directly), so that a
  // host can answer a known question by an option given in advance.
  std::uint32_t id = 0;
  EAlertIcon icon = EAlertIcon::kNone;
  std::string title;  // empty when the script has none
  std::string message;
  // In display order (script order): the last one is button 1.
  std::vector<CAlertButton> buttons;
  // The button that Return takes: button 1 unless the alert was shown as a question whose
  // default changes nothing (ShowAlertDefaultingToFirst, AlertHost.h).
  int defaultResult = kAlertButton1;
  // The cause behind the alert, in the words of what found it ("Permission denied", ...), for a
  // host to show beside the alert's own text; empty when there is none.
  std::string details;

  // The message with each carriage return turned into `line_break` ("\n" for a terminal).
  std::string MessageWithLineBreaks(std::string_view line_break = "\n") const;
};

// XBadFormat, naming the script, when it has no button, more than three, or a tag without its
// closing "]".
CAlert ParseAlert(std::string_view script, const std::vector<std::string>& arguments = {});

}  // namespace NSFerryman
