// SPDX-License-Identifier: MIT
// A stand-in for the converter with the same command line, steered by the
// environment so tests can make it slow, fail, or report what it was given:
//   FAKE_NCONVERT_LOG          append the arguments (tab-separated) as one line
//   FAKE_NCONVERT_HOLD         do not end before this file exists
//   FAKE_NCONVERT_FAIL_ON      fail without output when the input path holds this text:
//   FAKE_NCONVERT_FAIL_STATUS    with this exit status (6 when unset),
//   FAKE_NCONVERT_FAIL_REASON    saying "nconvert: PATH: " and this (PATH the output for
//                                status 6, the input otherwise)
//   FAKE_NCONVERT_FLOOD        first write this many bytes to stderr, on one line
//   FAKE_NCONVERT_CRASH        end by a signal instead of exiting
// Otherwise the input is copied to the output and the exit code is 0; a copy
// that fails is status 6 with the converter's kind of error line.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* env(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

bool validPercent(const std::string& text) {
    if (text.size() < 2 || text.back() != '%' || text[0] == '-' || text[0] == '0') {
        return false;
    }
    return text.find_first_not_of("0123456789") == text.size() - 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const char* log = env("FAKE_NCONVERT_LOG")) {
        std::ofstream out(log, std::ios::app);
        for (std::size_t i = 0; i < args.size(); ++i) {
            out << (i ? "\t" : "") << args[i];
        }
        out << '\n';
    }
    if (const char* hold = env("FAKE_NCONVERT_HOLD")) {
        for (int i = 0; i < 30000 && !std::filesystem::exists(hold); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    if (const char* flood = env("FAKE_NCONVERT_FLOOD")) {
        const std::string chunk(4096, 'x');
        for (long left = std::atol(flood); left > 0; left -= long(chunk.size())) {
            std::fwrite(chunk.data(), 1, std::min(chunk.size(), std::size_t(left)), stderr);
        }
    }
    if (env("FAKE_NCONVERT_CRASH")) {
        std::abort();
    }
    if (args.size() != 6 || args[0] != "-resize" || args[3] != "-o" || !validPercent(args[1]) ||
        !validPercent(args[2])) {
        std::fprintf(stderr, "nconvert: %s: not a valid command line\n",
                     args.size() < 2 ? "" : args[1].c_str());
        return 2;
    }
    const std::string& output = args[4];
    const std::string& input = args[5];
    if (const char* failOn = env("FAKE_NCONVERT_FAIL_ON")) {
        if (input.find(failOn) != std::string::npos) {
            const char* status = env("FAKE_NCONVERT_FAIL_STATUS");
            const int code = status ? std::atoi(status) : 6;
            const char* reason = env("FAKE_NCONVERT_FAIL_REASON");
            std::fprintf(stderr, "nconvert: %s: %s\n", (code == 6 ? output : input).c_str(),
                         reason ? reason : "staged failure");
            return code;
        }
    }
    std::error_code error;
    std::filesystem::copy_file(input, output, std::filesystem::copy_options::overwrite_existing,
                               error);
    if (error) {
        std::fprintf(stderr, "nconvert: %s: %s\n", output.c_str(), error.message().c_str());
        return 6;
    }
    return 0;
}
