// SPDX-License-Identifier: MIT
#include "cli.h"

#include "error.h"

#include <vips/version.h>

namespace nconvert {
namespace {

constexpr const char* kUsage = "usage: nconvert -resize W% H% -o OUTPUT INPUT";

// The largest percentage we parse; anything near it is refused later by the size limits.
constexpr long long kMaxPercent = 100'000'000;

int parsePercent(const std::string& text) {
    const auto fail = [&](const std::string& why) { throw Error(Status::Usage, text, why); };
    if (text.size() < 2 || text.back() != '%')
        fail("a percentage must be a whole number followed by '%' (" + std::string(kUsage) + ")");
    std::string digits = text.substr(0, text.size() - 1);
    bool negative = false;
    if (digits[0] == '-') {
        negative = true;
        digits.erase(0, 1);
    }
    if (digits.empty())
        fail("a percentage must be a whole number followed by '%'");
    long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            fail("a percentage must be a whole number followed by '%'");
        value = value * 10 + (c - '0');
        if (value > kMaxPercent)
            fail("percentage too large");
    }
    if (negative && value != 0)
        fail("a negative percentage is not allowed (flipping is not supported)");
    if (value == 0)
        fail("a zero percentage would make an empty picture; give at least 1%");
    return static_cast<int>(value);
}

} // namespace

Command parseCommandLine(const std::vector<std::string>& args) {
    Command command;
    if (args.size() == 1 && args[0] == "--help") {
        command.action = Command::Action::Help;
        return command;
    }
    if (args.size() == 1 && args[0] == "--version") {
        command.action = Command::Action::Version;
        return command;
    }
    if (args.empty())
        throw Error(Status::Usage, "arguments", std::string("none given (") + kUsage + ")");
    if (args[0] != "-resize")
        throw Error(Status::Usage, args[0],
                    std::string("expected -resize as the first argument (") + kUsage + ")");
    if (args.size() != 6)
        throw Error(Status::Usage, "arguments",
                    "expected 6 arguments, got " + std::to_string(args.size()) + " (" + kUsage +
                        ")");
    command.request.widthPercent = parsePercent(args[1]);
    command.request.heightPercent = parsePercent(args[2]);
    if (args[3] != "-o")
        throw Error(Status::Usage, args[3],
                    std::string("expected -o before the output path (") + kUsage + ")");
    command.request.output = args[4];
    command.request.input = args[5];
    if (command.request.output.empty())
        throw Error(Status::Usage, "OUTPUT", "the output path is empty");
    if (command.request.input.empty())
        throw Error(Status::Usage, "INPUT", "the input path is empty");
    return command;
}

std::string helpText() {
    return std::string(kUsage) + R"(

Reads INPUT (BMP, JPEG, GIF, PNG, WebP, TIFF or AVIF, recognised by its
content), scales it to W percent of its width and H percent of its height with
a Lanczos-3 filter centred on pixel centres (alpha premultiplied), and writes
OUTPUT in the format its extension names (.jpg .jpeg .jpe .jfif .png .gif .bmp
.webp .tif .tiff .avif, any case); with any other extension, in the input's
format. The new size is
round(width * W / 100) x round(height * H / 100), at least 1 x 1.
W and H are decimal integers from 1 upwards.

The output is written to a temporary file in OUTPUT's folder and renamed into
place only when complete: after a failure there is no new file at OUTPUT and
an existing one is untouched; a replaced file keeps its permissions. INPUT
must be a regular file; OUTPUT must not be the input (by any name), a folder,
a device, a FIFO or a socket.

Kept: JPEG quality (estimated from the input), chroma subsampling, EXIF
(orientation tag kept, pixels not rotated), ICC and XMP; PNG bit depth, grey
and alpha; GIF frames, delays, loop count and transparency.

Limits: input up to 250 megapixels; output up to 65000 pixels a side and
1000 megapixels.

Exit status:
  0  the whole output was written
  2  usage: the command line is not of the form above
  3  the input cannot be read, or is truncated or corrupt
  4  the input is not a supported format (BMP, JPEG, GIF, PNG)
  5  the input or output exceeds the size limits
  6  the output cannot be written
  7  internal error (out of memory, library failure)
On failure one line is written to stderr: "nconvert: PATH: REASON".

Options:
  --help     show this text
  --version  show the version
)";
}

std::string versionText() {
    return std::string("nconvert ") + NCONVERT_VERSION + " (Quorvel), libvips " + VIPS_VERSION +
           "\n";
}

} // namespace nconvert
