#include "app/DirectSave.h"

#include <QGuiApplication>
#include <QUrl>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <xcb/xcb.h>

#include "app/TextConversion.h"

namespace directsave {

namespace {

// The longest URI taken from a target, in 32-bit units of the X protocol.
constexpr std::uint32_t kLongestUri = 4096;

xcb_connection_t* Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : XCB_ATOM_NONE;
  std::free(reply);
  return atom;
}

// The window that holds the drag: the one whose property the target reads.
xcb_window_t DragWindow(xcb_connection_t* connection) {
  xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
      connection, xcb_get_selection_owner(connection, Atom(connection, "XdndSelection")), nullptr);
  const xcb_window_t window = reply ? reply->owner : XCB_WINDOW_NONE;
  std::free(reply);
  return window;
}

}  // namespace

bool Available() { return Connection() != nullptr; }

bool OfferName(const QByteArray& name) {
  xcb_connection_t* connection = Connection();
  if (!connection) return false;
  const xcb_window_t window = DragWindow(connection);
  if (window == XCB_WINDOW_NONE) return false;
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, Atom(connection, kType),
                      Atom(connection, "text/plain"), 8, static_cast<std::uint32_t>(name.size()), name.constData());
  xcb_flush(connection);
  return true;
}

QByteArray TargetUri() {
  xcb_connection_t* connection = Connection();
  if (!connection) return {};
  const xcb_window_t window = DragWindow(connection);
  if (window == XCB_WINDOW_NONE) return {};
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection,
      xcb_get_property(connection, 0, window, Atom(connection, kType), XCB_GET_PROPERTY_TYPE_ANY, 0, kLongestUri),
      nullptr);
  QByteArray uri;
  if (reply && reply->format == 8) {
    uri = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
  }
  std::free(reply);
  return uri;
}

void Withdraw() {
  xcb_connection_t* connection = Connection();
  if (!connection) return;
  const xcb_window_t window = DragWindow(connection);
  if (window == XCB_WINDOW_NONE) return;
  xcb_delete_property(connection, window, Atom(connection, kType));
  xcb_flush(connection);
}

std::optional<std::string> FolderOfUri(const QByteArray& uri) {
  QByteArray text = uri.trimmed();
  while (text.endsWith('\0')) text.chop(1);
  const QUrl url = QUrl::fromEncoded(text, QUrl::StrictMode);
  if (!url.isValid() || url.scheme() != QStringLiteral("file") || url.path().isEmpty()) return std::nullopt;
  const QString host = url.host();
  char name[256] = {};
  ::gethostname(name, sizeof name - 1);
  if (!host.isEmpty() && host != QStringLiteral("localhost") && host.compare(QString::fromLocal8Bit(name), Qt::CaseInsensitive) != 0) {
    return std::nullopt;
  }
  const std::filesystem::path file(PathBytes(url.path(QUrl::FullyDecoded)));
  if (!file.is_absolute() || !file.has_parent_path()) return std::nullopt;
  return file.parent_path().string();
}

}  // namespace directsave
