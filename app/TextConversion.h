#pragma once
// Our texts are 8-bit strings; Qt's are QString. Texts of the resources and of a Hamper's
// description are shown as UTF-8 when they are valid UTF-8 and as Latin-1 otherwise, so that
// every byte shows as some character and none is dropped. Paths go through the file system's own
// encoding both ways, so that a path shown and chosen in a dialog names the same file.

#include <QString>
#include <string>
#include <string_view>

QString DisplayText(std::string_view text);
QString PathText(const std::string& path);
std::string PathBytes(const QString& path);
