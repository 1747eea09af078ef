#pragma once
// The small pieces the Hamper browser's window and panes are built of: texts from the resources,
// value labels that can be selected, and buttons whose labels are meant literally.

#include <QString>
#include <string>
#include <vector>

#include "framework/resources/ResourceId.h"

class QLabel;
class QPushButton;

// A string of the resources with its placeholders filled, for the screen.
QString BrowserText(NSFerryman::ResourceId id, const std::vector<std::string>& arguments = {});
// A label for a value: plain text, wrapped, selectable with the mouse, named for tests.
QLabel* MakeValueLabel(const char* name);
// A push button with a label of the resources ("&" shown as written), which Return does not press.
QPushButton* MakeBrowserButton(const char* name, NSFerryman::ResourceId label);
