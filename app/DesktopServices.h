#pragma once
// What the window asks of the desktop beyond dialogs: to show a file in the file manager, and to
// tell the user, through a desktop notification, how a long job ended while they were elsewhere.

#include <QString>
#include <string>

class QWidget;

// Opens the file manager on the folder that holds `path`, with the file selected where the file
// manager offers that (the org.freedesktop.FileManager1 service on the session bus), else the
// folder itself through the desktop's handler. False when neither could be done.
bool ShowInFileManager(const std::string& path);

// A notification through the org.freedesktop.Notifications service; without one, the window
// asks for attention the way its window manager shows that.
void NotifyDesktop(const QString& summary, const QString& body, QWidget* window);
