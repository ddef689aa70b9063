#pragma once

#include "kn4/editrequest.h"

#include <filesystem>

namespace kn4 {

// Hands an edit to the archive manager of a program directory through its
// local socket. True when a manager answered that it takes the edit in
// hand; false when none listens there or none answered within timeoutMs
// (the caller then starts one).
bool sendEditRequest(const std::filesystem::path &programDirectory, const EditRequest &request,
                     int timeoutMs = 3000);

} // namespace kn4
