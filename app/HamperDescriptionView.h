#pragma once
// CHamperDescriptionView: the head of a Hamper browser window: the splash picture beside the
// description (Name in bold, Comments, URL as a link when it is one, Copyright), and below them,
// in red, what is wrong with the file when it is damaged (hidden when nothing is).
//
//   CHamperDescriptionView head;
//   head.Show(contents);   // again after a reload

#include <QWidget>

class CHamperContents;
class QLabel;

class CHamperDescriptionView : public QWidget {
  Q_OBJECT
 public:
  explicit CHamperDescriptionView(QWidget* parent = nullptr);

  void Show(const CHamperContents& contents);

 private:
  QLabel* splashView_ = nullptr;
  QLabel* nameValue_ = nullptr;
  QLabel* commentsValue_ = nullptr;
  QLabel* urlValue_ = nullptr;
  QLabel* copyrightValue_ = nullptr;
  QLabel* problemLine_ = nullptr;
};
