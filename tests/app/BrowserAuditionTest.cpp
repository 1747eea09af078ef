// Auditioning in the browser as in a DAW's: Play on select (off unless chosen, remembered) plays a
// sample as it is selected; a reference found in this Hamper selects its item; the details say
// a picture's size and a MIDI file's timing, and what they will show before anything is selected.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QSettings>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "app/BrowserTestSupport.h"
#include "app/HamperTreeModel.h"

using namespace browsertest;

namespace {

// With an audio output as far as the window knows: whether a sample really plays depends on the
// machine, so a play counts as tried when it plays or when the output refused it.
class BrowserAudition : public BrowserTest {
 protected:
  BrowserAudition() : BrowserTest([] { return QString(); }) { QSettings().remove("PlayOnSelect"); }
  ~BrowserAudition() override { QSettings().remove("PlayOnSelect"); }

  static bool PlayTried(CHamperBrowserWindow& window) {
    const bool tried =
        window.IsPlaying() || Find<QLabel>(window, "statusLine")->text().startsWith("The sample cannot be played");
    window.findChild<QLabel*>("statusLine")->clear();
    return tried;
  }
};

TEST_F(BrowserAudition, PlayOnSelectIsOffUntilChosenAndThenPlaysEachSampleSelected) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  EXPECT_EQ(Find<QLabel>(window, "otherFacts")->text(), "Select an item to see its details");
  QCheckBox* playOnSelect = Find<QCheckBox>(window, "playOnSelect");
  EXPECT_FALSE(playOnSelect->isChecked());
  ASSERT_TRUE(window.Select("Drums:Kick.wav"));
  EXPECT_FALSE(PlayTried(window));

  playOnSelect->click();
  EXPECT_TRUE(QSettings().value("PlayOnSelect").toBool());
  ASSERT_TRUE(window.Select("Loops:Harbor Groove.wav"));
  EXPECT_TRUE(PlayTried(window));
  ASSERT_TRUE(window.Select("Drums:Kick.wav"));
  EXPECT_TRUE(PlayTried(window));
  // What is not a sample stops what played and plays nothing.
  ASSERT_TRUE(window.Select("Art:Cover.tif"));
  EXPECT_FALSE(PlayTried(window));
  window.close();
  f.Settle();

  // Remembered for the next window, until it is turned off.
  CHamperBrowserWindow& again = Open(DemoHamper());
  QCheckBox* remembered = Find<QCheckBox>(again, "playOnSelect");
  EXPECT_TRUE(remembered->isChecked());
  ASSERT_TRUE(again.Select("Drums:Snare.wav"));
  EXPECT_TRUE(PlayTried(again));
  remembered->click();
  EXPECT_FALSE(QSettings().value("PlayOnSelect").toBool());
  ASSERT_TRUE(again.Select("Drums:Kick.wav"));
  EXPECT_FALSE(PlayTried(again));
}

class BrowserDetails : public BrowserTest {};

// The point of each link of the view, in its viewport, with its target.
std::vector<std::pair<QPoint, QString>> Links(QTextBrowser& view) {
  std::vector<std::pair<QPoint, QString>> links;
  for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.charFormat().isAnchor()) continue;
      QTextCursor cursor(view.document());
      cursor.setPosition(fragment.position() + fragment.length() / 2);
      links.emplace_back(view.cursorRect(cursor).center(), fragment.charFormat().anchorHref());
    }
  }
  return links;
}

TEST_F(BrowserDetails, AReferenceFoundInThisHamperSelectsItsItemOthersStayPlain) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  ASSERT_TRUE(window.Select("Songs:Night Shift.tps"));
  QTextBrowser* references = Find<QTextBrowser>(window, "referencesView");
  const QString text = references->toPlainText();
  const std::vector<std::pair<QPoint, QString>> links = Links(*references);
  EXPECT_EQ(static_cast<qsizetype>(links.size()), text.count("internal, in this Hamper"));
  ASSERT_FALSE(links.empty());
  EXPECT_TRUE(text.contains("UNRESOLVED")) << "the song has references that are no links";

  QTest::mouseClick(references->viewport(), Qt::LeftButton, {}, links.front().first);
  EXPECT_EQ(window.Tree()->currentIndex().data().toString(), "Hat Closed.aif");
  EXPECT_TRUE(Find<QLabel>(window, "factsLabel")->text().startsWith("Drums:Hat Closed.aif"));
}

TEST_F(BrowserDetails, APicturesSizeAndAMidiFilesTiming) {
  CHamperBrowserWindow& window = Open(DemoHamper());
  ASSERT_TRUE(window.Select("Art:Cover.tif"));
  EXPECT_TRUE(Find<QLabel>(window, "pictureFacts")->text().endsWith("\nSize: 32 x 32 pixels"))
      << Find<QLabel>(window, "pictureFacts")->text().toStdString();
  ASSERT_TRUE(window.Select("MIDI:Harbor Groove.mid"));
  EXPECT_TRUE(Find<QLabel>(window, "otherFacts")
                  ->text()
                  .endsWith("\nMIDI format: 1\rTracks: 2\rDivision: 96 ticks per quarter note"))
      << Find<QLabel>(window, "otherFacts")->text().toStdString();
  ASSERT_TRUE(window.Select("Drums"));
  window.Tree()->setCurrentIndex({});
  EXPECT_EQ(Find<QLabel>(window, "otherFacts")->text(), "Select an item to see its details");
}

}  // namespace
