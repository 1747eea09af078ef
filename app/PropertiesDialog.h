#pragma once
// CPropertiesDialog: Properties of the Hamper or of an item (app/ItemProperties.h), a label and a
// selectable value a row, in a window of its own that does not block the browser.

#include <QDialog>
#include <cstdint>
#include <vector>

#include "app/ItemProperties.h"

class CHamperContents;
class CHamperTreeModel;
struct CHamperSummary;

class CPropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  CPropertiesDialog(const QString& title, const std::vector<CPropertyRow>& rows, QWidget* parent = nullptr);

  // The value shown for a label; "" when there is none.
  QString Value(const QString& label) const;

 private:
  std::vector<CPropertyRow> rows_;
};

// Shows Properties of a node of the tree (CHamperTree::kRoot: of the Hamper), titled
// "Properties of" its name, in a dialog of `parent` that goes when closed.
void ShowPropertiesOf(const CHamperContents& contents, const CHamperSummary& summary, const CHamperTreeModel& model,
                      std::uint32_t node, QWidget* parent);
