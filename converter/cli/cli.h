// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace nconvert {

/// One conversion as the command line asks for it.
struct Request {
    int widthPercent = 0;
    int heightPercent = 0;
    std::string output;
    std::string input;
};

struct Command {
    enum class Action { Convert, Help, Version };
    Action action = Action::Convert;
    Request request;
};

/// Parses the arguments after the program name. Accepts exactly
/// `-resize W% H% -o OUTPUT INPUT`, `--help` or `--version`; throws Error(Status::Usage).
Command parseCommandLine(const std::vector<std::string>& args);

std::string helpText();
std::string versionText();

} // namespace nconvert
