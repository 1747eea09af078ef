#pragma once
// The one table from the platform's error numbers to the framework's file exceptions.

#include <string>

namespace NSFerryman {

enum class FileOperation { kOpen, kCreate, kRead, kWrite, kSeek, kDelete, kOther };

// Throws the exception that `err` (an errno value) maps to; `what` names the file.
[[noreturn]] void ThrowFileError(int err, FileOperation operation, const std::string& what);

// The system's text for an errno value ("No such file or directory"). Safe on any thread, unlike
// std::strerror.
std::string SystemErrorText(int err);

}  // namespace NSFerryman
