#include "app/PropertiesDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <filesystem>

#include "app/BrowserTexts.h"
#include "app/BrowserWidgets.h"
#include "app/HamperTreeModel.h"
#include "browse/HamperContents.h"

namespace {

constexpr int kValueWidth = 380;

}  // namespace

CPropertiesDialog::CPropertiesDialog(const QString& title, const std::vector<CPropertyRow>& rows, QWidget* parent)
    : QDialog(parent), rows_(rows) {
  setObjectName("propertiesDialog");
  setWindowTitle(title);
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
  for (const CPropertyRow& row : rows_) {
    auto* value = new QLabel(row.value);
    value->setObjectName("propertyValue");
    value->setTextFormat(Qt::PlainText);
    value->setWordWrap(true);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    value->setMinimumWidth(kValueWidth);
    // A window is not sized by the height its wrapped labels need at their width: it is told.
    value->setMinimumHeight(value->heightForWidth(kValueWidth));
    form->addRow(row.label + QLatin1Char(':'), value);
  }
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  layout->addWidget(buttons);
}

QString CPropertiesDialog::Value(const QString& label) const {
  for (const CPropertyRow& row : rows_) {
    if (row.label == label) return row.value;
  }
  return {};
}

void ShowPropertiesOf(const CHamperContents& contents, const CHamperSummary& summary, const CHamperTreeModel& model,
                      std::uint32_t node, QWidget* parent) {
  const CHamperTree::CNode& n = contents.Tree().Node(node);
  const bool hamper = node == CHamperTree::kRoot;
  const std::string name = hamper ? std::filesystem::path(contents.Path()).filename().string() : std::string(n.name);
  const std::string failure = n.IsFolder() ? std::string() : model.FailureOf(n.record);
  auto* dialog = new CPropertiesDialog(BrowserText(browsertext::kPropertiesTitle, {name}),
                                       hamper ? HamperProperties(contents, summary) : NodeProperties(contents, node, failure),
                                       parent);
  dialog->show();
}
