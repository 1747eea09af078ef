#pragma once
// CHamperDetailsPane: what the Hamper browser shows of the item or folder selected in its tree,
// one page at a time:
//
//   - nothing selected: what it will show ("Select an item to see its details");
//   - a sample: its facts (length, channels, rate, loop, root key), its waveform with its loop
//     marked, which grows with the pane, the Play button and the Play on select check box (kept
//     in the settings);
//   - a picture: its size in pixels and a preview of at most 480 pixels a side (a small one shown
//     larger, sharp);
//   - a song, published song or patch: its reference records, each marked where it leads in a
//     colour of the palette; one found in this Hamper is a link that selects its item;
//   - anything else, a folder, a MIDI file (its format, tracks and division) or an item that
//     fails: its path, kind and size, and why it fails.
//
//   CHamperDetailsPane pane(database);
//   pane.SetContents(&contents, &model);      // again after a reload; null shows nothing
//   pane.ShowNode(node);                      // the tree node selected (CHamperTree::kRoot: none)
//   connect(&pane, &CHamperDetailsPane::PlayClicked, ...);
//   connect(&pane, &CHamperDetailsPane::ItemLinkClicked, ...);   // the path of an item of this Hamper
//   pane.PlaysOnSelect();                     // whether a sample selected is to play at once
//
// Its model is browse/ (no Qt); the pane only shows it.

#include <QImage>
#include <QStackedWidget>
#include <cstdint>
#include <string>
#include <vector>

class CDatabase;
class CHamperContents;
class CHamperTreeModel;
class CWaveformView;
class QCheckBox;
class QLabel;
class QPushButton;
class QTextBrowser;

// A picture item decoded into a preview of at most `side` pixels a side. Failures of the decoder
// and of reading pass on.
QImage HamperPicturePreview(const CHamperContents& contents, std::size_t record, std::uint32_t side);

class CHamperDetailsPane : public QStackedWidget {
  Q_OBJECT
 public:
  explicit CHamperDetailsPane(CDatabase& database, QWidget* parent = nullptr);

  void SetContents(const CHamperContents* contents, const CHamperTreeModel* model);
  // Shows the node's page; the root (or no contents) shows nothing.
  void ShowNode(std::uint32_t node);
  std::uint32_t ShownNode() const { return shown_; }

  CWaveformView* Waveform() const { return waveform_; }
  // Play or Stop, as playing says; greyed out with the reason as tooltip when it cannot play.
  void SetPlaying(bool playing);
  void SetPlayable(bool playable, const QString& whyNot);
  bool PlaysOnSelect() const;

 signals:
  void PlayClicked();
  void ItemLinkClicked(const std::string& path);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  enum EPage { kOtherPage, kSamplePage, kPicturePage, kReferencesPage };

  void ShowSample(std::size_t record);
  void ShowPicture(std::size_t record);
  void ShowReferences(std::size_t record);
  void ShowOther(std::uint32_t node);
  QString MidiText(std::size_t record) const;

  CDatabase& database_;
  const CHamperContents* contents_ = nullptr;
  const CHamperTreeModel* model_ = nullptr;
  std::uint32_t shown_ = 0;

  QLabel* otherFacts_ = nullptr;
  QLabel* factsLabel_ = nullptr;
  CWaveformView* waveform_ = nullptr;
  QPushButton* playButton_ = nullptr;
  QCheckBox* playOnSelect_ = nullptr;
  QLabel* pictureFacts_ = nullptr;
  QLabel* pictureView_ = nullptr;
  QTextBrowser* referencesView_ = nullptr;
  std::vector<std::string> linkedPaths_;  // of the links shown, by number
};
