#pragma once
// XDS, the direct-save protocol of X11 drag and drop, as file managers offer it to archive
// managers: the source of a drag offers a file name in the "XdndDirectSave0" property of the
// window that holds the drag, and the type "XdndDirectSave0" among its data; a file manager that
// takes the drop writes back into the property the file:// URI where the file should go (in the
// folder the drop landed in), and asks for that type; the source writes its files there and
// answers "S" (done) or "F" (take the data another way).
//
//   if (directsave::Available()) directsave::OfferName("Kick.wav");   // while the drag runs
//   ... when the target asks for the type:
//   const std::optional<std::string> folder = directsave::FolderOfUri(directsave::TargetUri());
//
// Away from X11 (Wayland, the offscreen platform of tests) nothing is offered and drops take
// file names.

#include <QByteArray>
#include <optional>
#include <string>

namespace directsave {

inline constexpr char kType[] = "XdndDirectSave0";

// True when drags are X11 drags.
bool Available();
// Puts the name on the window that holds the drag running now (the owner of the X selection
// XdndSelection); false when no drag runs.
bool OfferName(const QByteArray& name);
// What the drop target wrote back into the property; empty when nothing.
QByteArray TargetUri();
// Takes the property away.
void Withdraw();

// The local folder that holds the file a target's URI names: "file:///home/me/Desktop/Kick.wav"
// (or with this machine's name, or "localhost", as host) gives "/home/me/Desktop". None for any
// other URI.
std::optional<std::string> FolderOfUri(const QByteArray& uri);

}  // namespace directsave
