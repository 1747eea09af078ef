#include "app/AlertDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/AppTexts.h"
#include "app/Mnemonics.h"
#include "app/TextConversion.h"
#include "framework/resources/ResourceCache.h"

namespace {

constexpr int kIconSize = 32;
constexpr int kMessageWidth = 380;

QStyle::StandardPixmap PixmapFor(NSFerryman::EAlertIcon icon) {
  switch (icon) {
    case NSFerryman::EAlertIcon::kStop: return QStyle::SP_MessageBoxCritical;
    case NSFerryman::EAlertIcon::kNote: return QStyle::SP_MessageBoxInformation;
    case NSFerryman::EAlertIcon::kWarning: return QStyle::SP_MessageBoxWarning;
    case NSFerryman::EAlertIcon::kNone: break;
  }
  return QStyle::SP_CustomBase;
}

}  // namespace

CAlertDialog::CAlertDialog(const NSFerryman::CAlert& alert, QWidget* parent) : QDialog(parent) {
  setWindowTitle(DisplayText(alert.title.empty() ? NSFerryman::GetString(apptext::kApplicationName) : alert.title));
  setModal(true);

  auto* body = new QHBoxLayout;
  body->setSpacing(16);
  if (alert.icon != NSFerryman::EAlertIcon::kNone) {
    auto* icon = new QLabel;
    icon->setObjectName("alertIcon");
    icon->setPixmap(style()->standardIcon(PixmapFor(alert.icon), nullptr, this).pixmap(kIconSize, kIconSize));
    icon->setAlignment(Qt::AlignTop);
    body->addWidget(icon);
  }
  auto* message = new QLabel;
  message->setObjectName("alertMessage");
  // File names and description texts reach messages: they are text, never markup.
  message->setTextFormat(Qt::PlainText);
  message->setText(DisplayText(alert.MessageWithLineBreaks("\n")));
  message->setWordWrap(true);
  message->setMinimumWidth(kMessageWidth);
  message->setTextInteractionFlags(Qt::TextSelectableByMouse);
  body->addWidget(message, 1);

  // The cause behind the alert (a file's check, the system's error), shown on request.
  QPlainTextEdit* details = nullptr;
  auto* row = new QHBoxLayout;
  if (!alert.details.empty()) {
    details = new QPlainTextEdit(DisplayText(alert.details));
    details->setObjectName("alertDetails");
    details->setReadOnly(true);
    details->setMaximumHeight(fontMetrics().lineSpacing() * 6);
    details->setVisible(false);
    const auto label = [](NSFerryman::ResourceId id) {
      QString taken;
      return WithMnemonic(DisplayText(NSFerryman::GetString(id)), taken);
    };
    auto* toggle = new QPushButton(label(apptext::kShowDetails));
    toggle->setObjectName("alertDetailsButton");
    toggle->setCheckable(true);
    toggle->setAutoDefault(false);
    connect(toggle, &QPushButton::toggled, this, [details, toggle, label](bool shown) {
      details->setVisible(shown);
      toggle->setText(label(shown ? apptext::kHideDetails : apptext::kShowDetails));
    });
    row->addWidget(toggle);
  }
  row->addStretch(1);
  for (const NSFerryman::CAlertButton& button : alert.buttons) {
    QString label = DisplayText(button.label).replace('&', "&&");
    auto* push = new QPushButton(label);
    push->setObjectName(QStringLiteral("alertButton%1").arg(button.result));
    const int result = button.result;
    connect(push, &QPushButton::clicked, this, [this, result] { done(result); });
    if (result == alert.defaultResult) push->setDefault(true);
    row->addWidget(push);
    buttons_.emplace_back(push, result);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->addSpacing(8);
  layout->addLayout(row);
  if (details) layout->addWidget(details);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  // The default button starts with the focus; else the first button would take it, and with it
  // the Return key.
  if (QPushButton* button = Button(alert.defaultResult)) button->setFocus();
}

int CAlertDialog::Run() { return exec(); }

QPushButton* CAlertDialog::Button(int result) const {
  for (const auto& [button, code] : buttons_) {
    if (code == result) return button;
  }
  return nullptr;
}

void CAlertDialog::reject() { done(NSFerryman::kAlertClosed); }

int CAlertBoxes::PresentAlert(const NSFerryman::CAlert& alert) {
  // An alert may come up while work shows the wait cursor; the box itself takes the arrow.
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  QWidget* owner = owner_ ? owner_() : nullptr;
  CAlertDialog box(alert, owner && owner->isVisible() ? owner : QApplication::activeWindow());
  const int result = box.Run();
  QApplication::restoreOverrideCursor();
  return result;
}
