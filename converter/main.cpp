// SPDX-License-Identifier: MIT
// nconvert -resize W% H% -o OUTPUT INPUT: see README.md and --help.
#include "atomic_output.h"
#include "cli.h"
#include "conversion.h"
#include "error.h"
#include "input_file.h"
#include "large_memory.h"
#include "vips_module.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <unistd.h>

int main(int argc, char** argv) {
    using namespace nconvert;
    heapInHugePages();
    try {
        const Command command = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        if (command.action == Command::Action::Help) {
            std::fputs(helpText().c_str(), stdout);
            return 0;
        }
        if (command.action == Command::Action::Version) {
            std::fputs(versionText().c_str(), stdout);
            return 0;
        }
        const Request& request = command.request;
        // Should libvips ever need a scratch file (it does for some large non-sequential
        // decodes), it goes into OUTPUT's folder like our own temporary file, nowhere else.
        ::setenv("TMPDIR", folderOf(request.output).c_str(), 1);
        // Past the file size limit (ulimit -f) a write then fails with EFBIG and is reported
        // like any failed write, instead of SIGXFSZ ending the process without a word.
        std::signal(SIGXFSZ, SIG_IGN);
        const InputFile input(request.input);
        ConvertSettings settings = settingsFor(request);
        setVipsModuleArgv0(argv[0]);
        settings.vipsRows = vipsModuleRows;
        AtomicOutput output(request.output, FileId{input.device(), input.inode()});
        // Our own pipeline makes the copy wherever it can;
        // libvips is loaded only for what it cannot do.
        if (!convertInPipeline(input.data(), input.size(), settings, output))
            convertWithVipsModule(argv[0], input.data(), input.size(), settings, output);
        output.commit();
        // The output is complete, synced and in place. Leave without libvips' shutdown, which
        // waits for its idle worker threads to wind down (measured: ~20 ms of a tiny job).
        std::fflush(nullptr);
        ::_exit(0);
    } catch (const Error& error) {
        std::fprintf(stderr, "%s\n", error.message().c_str());
        return static_cast<int>(error.status());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "nconvert: %s: out of memory\n", argc > 0 ? argv[argc - 1] : "?");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "nconvert: %s: %s\n", argc > 0 ? argv[argc - 1] : "?", error.what());
    }
    return static_cast<int>(Status::Internal);
}
