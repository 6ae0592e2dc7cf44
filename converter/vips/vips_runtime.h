// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace nconvert {

/// Starts libvips for this process the way the converter needs it: no optional modules
/// (they cost most of libvips' start-up time and add loaders we never use), untrusted loaders
/// blocked, no operation cache, and library warnings captured rather than printed.
/// Safe to call more than once. Returns false when libvips cannot start.
bool startVips(const char* argv0);

/// The warnings libvips and its loaders logged since the last call.
std::vector<std::string> takeVipsWarnings();

/// libvips' pending error text, on one line, and clears it.
std::string takeVipsError();

} // namespace nconvert
