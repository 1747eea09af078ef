#include "app/BrowserWidgets.h"

#include <QLabel>
#include <QPushButton>

#include "app/TextConversion.h"
#include "framework/resources/ResourceCache.h"

QString BrowserText(NSFerryman::ResourceId id, const std::vector<std::string>& arguments) {
  return DisplayText(NSFerryman::GetString(id, arguments));
}

QLabel* MakeValueLabel(const char* name) {
  auto* label = new QLabel;
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QPushButton* MakeBrowserButton(const char* name, NSFerryman::ResourceId label) {
  auto* button = new QPushButton(BrowserText(label).replace('&', "&&"));
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}
