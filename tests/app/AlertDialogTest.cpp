// Alerts as dialog boxes: icon, title, message and buttons as the script says, and the result
// code of each way to answer.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/AlertDialog.h"
#include "framework/resources/Alert.h"

namespace {

using NSFerryman::CAlert;
using NSFerryman::ParseAlert;

// Shows the box and answers it from inside its event loop: `answer` gets the box.
int RunAnswered(const CAlert& alert, const std::function<void(CAlertDialog&)>& answer) {
  CAlertDialog box(alert);
  QTimer::singleShot(0, &box, [&] { answer(box); });
  return box.Run();
}

TEST(AlertDialogTest, ShowsTheScriptsPartsWithButtonsInScriptOrder) {
  const struct {
    const char* script;
    QString title;
    QString message;
    bool icon;
    std::vector<QString> buttons;
  } cases[] = {
      {"[STOP][Stop Pack?]Do you wish to stop?[No][Yes]", "Stop Pack?", "Do you wish to stop?", true, {"No", "Yes"}},
      {"[STOP]Not enough memory for dialog or window![OK]", "Hamper Packer",
       "Not enough memory for dialog or window!", true, {"OK"}},
      {"[NONE][Done]First line\rsecond <b>line</b>[Cancel][Retry][OK]", "Done", "First line\nsecond <b>line</b>", false,
       {"Cancel", "Retry", "OK"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    CAlertDialog box(ParseAlert(c.script));
    EXPECT_EQ(box.windowTitle(), c.title);
    const auto* message = box.findChild<QLabel*>("alertMessage");
    EXPECT_EQ(message->text(), c.message);
    EXPECT_EQ(message->textFormat(), Qt::PlainText);
    EXPECT_EQ(box.findChild<QLabel*>("alertIcon") != nullptr, c.icon);
    std::vector<QString> labels;
    for (const QPushButton* button : box.findChildren<QPushButton*>()) labels.push_back(button->text());
    EXPECT_EQ(labels, c.buttons);
    // The last button, button 1, is the default.
    EXPECT_TRUE(box.Button(NSFerryman::kAlertButton1)->isDefault());
  }
}

TEST(AlertDialogTest, EachAnswerGivesItsResultCode) {
  const CAlert question = ParseAlert("[WARN][File already exists]Replace it?[Cancel][No][Yes]");
  const struct {
    const char* name;
    std::function<void(CAlertDialog&)> answer;
    int result;
  } cases[] = {
      {"Yes", [](CAlertDialog& box) { box.Button(NSFerryman::kAlertButton1)->click(); }, NSFerryman::kAlertButton1},
      {"No", [](CAlertDialog& box) { box.Button(NSFerryman::kAlertButton2)->click(); }, NSFerryman::kAlertButton2},
      {"Cancel", [](CAlertDialog& box) { box.Button(NSFerryman::kAlertButton3)->click(); }, NSFerryman::kAlertButton3},
      {"Return takes the default, which has the focus",
       [](CAlertDialog& box) {
         EXPECT_EQ(box.focusWidget(), box.Button(NSFerryman::kAlertButton1));
         QTest::keyClick(box.focusWidget() ? box.focusWidget() : &box, Qt::Key_Return);
       },
       NSFerryman::kAlertButton1},
      {"Escape", [](CAlertDialog& box) { QTest::keyClick(&box, Qt::Key_Escape); }, NSFerryman::kAlertClosed},
      {"closed", [](CAlertDialog& box) { box.close(); }, NSFerryman::kAlertClosed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RunAnswered(question, c.answer), c.result);
  }
}

// A question that keeps what is there unless the user says Yes: Return and Escape both keep it.
TEST(AlertDialogTest, AQuestionCanDefaultToItsFirstButton) {
  CAlert question = ParseAlert("[WARN][Files already there]Replace them?[No][Yes]");
  question.defaultResult = NSFerryman::kAlertButton2;
  {
    CAlertDialog box(question);
    EXPECT_TRUE(box.Button(NSFerryman::kAlertButton2)->isDefault());
    EXPECT_FALSE(box.Button(NSFerryman::kAlertButton1)->isDefault());
  }
  EXPECT_EQ(RunAnswered(question,
                        [](CAlertDialog& box) {
                          EXPECT_EQ(box.focusWidget(), box.Button(NSFerryman::kAlertButton2));
                          QTest::keyClick(box.focusWidget() ? box.focusWidget() : &box, Qt::Key_Return);
                        }),
            NSFerryman::kAlertButton2);
  EXPECT_EQ(RunAnswered(question, [](CAlertDialog& box) { QTest::keyClick(&box, Qt::Key_Escape); }),
            NSFerryman::kAlertClosed);
}

}  // namespace

namespace {

// A box belongs to the window whose work asks, not to whichever window is active: a pack's
// "Pack complete" never comes up over a browser window the user works in.
TEST(AlertDialogTest, ABoxBelongsToTheWindowItIsShownFor) {
  QWidget owner;
  owner.show();
  QWidget other;
  other.show();
  for (const bool withOwner : {true, false}) {
    QApplication::setActiveWindow(&other);
    CAlertBoxes boxes(withOwner ? std::function<QWidget*()>([&] { return &owner; }) : std::function<QWidget*()>());
    QWidget* parent = nullptr;
    QTimer::singleShot(0, [&] {
      QWidget* box = QApplication::activeModalWidget();
      parent = box ? box->parentWidget() : nullptr;
      if (box) box->close();
    });
    boxes.PresentAlert(ParseAlert("[NOTE][Pack complete]Done.[OK]"));
    EXPECT_EQ(parent, withOwner ? &owner : &other);
  }
}

}  // namespace
