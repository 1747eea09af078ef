#pragma once
// Which framework alert ("SALR" 1000) the outermost handler shows for a failure.
//
//   catch (...) { ShowAlertForException(host, std::current_exception()); }

#include <exception>
#include <optional>
#include <string>

#include "framework/resources/AlertHost.h"

namespace NSFerryman {

// The framework alert's item number; none for a failure the user has been told about already
// (XAlertAlreadyShown) or asked for (XUserCancelled). The most derived class decides.
std::optional<std::uint32_t> FrameworkAlertFor(const std::exception& failure);
// As above; a thrown object that is no std::exception gives the alert of an unknown problem.
std::optional<std::uint32_t> FrameworkAlertFor(const std::exception_ptr& failure);

// The framework alert for the failure as one line of text, "Title: message" ("Disk Full: The
// Operation could not be completed ..."); "" when there is none.
std::string FrameworkAlertText(const std::exception& failure);
// That of running out of memory, which has no other words.
std::string OutOfMemoryText();

// Shows the framework alert for the failure, if any, with the failure's detail as the alert's
// details. Gives the result code, or kAlertClosed when nothing was shown.
int ShowAlertForException(MAlertHost& host, const std::exception_ptr& failure);

}  // namespace NSFerryman
