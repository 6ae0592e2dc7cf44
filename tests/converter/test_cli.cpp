// SPDX-License-Identifier: MIT
// The real executable: exit statuses, one stderr line, atomic output, awkward file names.
#include "fixtures.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using fixtures::Bytes;

namespace {

struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

std::string drain(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, std::size_t(n));
    ::close(fd);
    return text;
}

// Runs the converter and waits at most `deadline` seconds before killing it (status 137), so a
// converter that hangs fails the test instead of stalling it. `fileSizeLimit` is its
// RLIMIT_FSIZE in bytes (as `ulimit -f`).
ProcessResult runNconvert(const std::vector<std::string>& args,
                          rlim_t fileSizeLimit = RLIM_INFINITY, int deadline = 30) {
    std::vector<char*> argv;
    std::string program = NCONVERT_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (auto& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int outPipe[2], errPipe[2];
    if (::pipe(outPipe) || ::pipe(errPipe))
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, outPipe[0]);
    posix_spawn_file_actions_addclose(&actions, errPipe[0]);
    // The limit is inherited: set ours for the moment of the spawn only.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = fileSizeLimit;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    pid_t pid = 0;
    ProcessResult run;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    int status = 0;
    if (spawned == 0) {
        for (int waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; ++waited) {
            if (waited == deadline * 100) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                break;
            }
            ::usleep(10000);
        }
    }
    // Outputs are small enough for the pipes; read them once the process has ended.
    run.out = drain(outPipe[0]);
    run.err = drain(errPipe[0]);
    if (spawned == 0)
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

std::vector<std::string> resize(const std::string& out, const std::string& in, int w = 200,
                                int h = 200) {
    return {"-resize", std::to_string(w) + "%", std::to_string(h) + "%", "-o", out, in};
}

bool oneLineFor(const ProcessResult& run, const std::string& path) {
    const std::string prefix = "nconvert: " + path + ": ";
    return run.err.rfind(prefix, 0) == 0 && run.err.size() > prefix.size() &&
           run.err.find('\n') == run.err.size() - 1;
}

// Starts the converter and returns once it is writing its output into `folder` (a file of
// its own there has bytes), whether that file has a name or not.
pid_t startWriting(const std::vector<std::string>& args, const std::string& folder) {
    std::string program = NCONVERT_PATH;
    std::vector<std::string> copies = args;
    std::vector<char*> argv = {program.data()};
    for (auto& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    EXPECT_TRUE(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0);
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    for (int i = 0; i < 2000; ++i) {
        std::error_code error;
        for (const auto& fd : std::filesystem::directory_iterator(fds, error)) {
            // The link's own mode tells how the file was opened: only the output is written.
            struct stat link {
            }, file{};
            const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
            if (target.rfind(folder + "/", 0) == 0 && ::lstat(fd.path().c_str(), &link) == 0 &&
                (link.st_mode & S_IWUSR) && ::stat(fd.path().c_str(), &file) == 0 &&
                file.st_size > 0)
                return pid;
        }
        ::usleep(5000);
    }
    ADD_FAILURE() << "the converter never started writing";
    return pid;
}

} // namespace

TEST(Cli, helpAndVersion) {
    const ProcessResult help = runNconvert({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.find("-resize W% H% -o OUTPUT INPUT") != std::string::npos);
    for (const char* status : {"  2  usage", "  3  ", "  4  ", "  5  ", "  6  "})
        EXPECT_TRUE(help.out.find(status) != std::string::npos);
    const ProcessResult version = runNconvert({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.rfind("nconvert ", 0) == 0);
}

TEST(Cli, usageErrorsExitTwoWithOneLine) {
    for (const auto& args :
         std::vector<std::vector<std::string>>{{},
                                               {"-resize", "-50%", "50%", "-o", "a.png", "b.png"},
                                               {"-resize", "0%", "50%", "-o", "a.png", "b.png"},
                                               {"--frobnicate"}}) {
        const ProcessResult run = runNconvert(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.rfind("nconvert: ", 0) == 0);
        EXPECT_TRUE(std::count(run.err.begin(), run.err.end(), '\n') == 1);
    }
}

TEST(Cli, convertsAwkwardNames) {
    fixtures::TempDir dir;
    const Bytes png = fixtures::save(fixtures::photo(40, 30), ".png");
    for (const std::string name :
         {"with blank.png", "quote'\"s.png", "-leading-dash.png", "ünïcødé 写真.png"}) {
        const std::string in = dir.file("in " + name);
        const std::string out = dir.file(name);
        fixtures::writeFile(in, png);
        const ProcessResult run = runNconvert(resize(out, in));
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.err.empty());
        EXPECT_TRUE(fixtures::load(fixtures::readFile(out)).width() == 80);
    }
    // Relative names with a leading dash, in the current folder.
    const std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.path());
    const ProcessResult dash = runNconvert(resize("-out.png", "in -leading-dash.png"));
    std::filesystem::current_path(cwd);
    EXPECT_EQ(dash.status, 0);
    EXPECT_TRUE(fixtures::exists(dir.file("-out.png")));
    for (const auto& entry : dir.entries())
        EXPECT_TRUE(entry.find(".nconvert-") == std::string::npos);
}

TEST(Cli, failuresHaveDistinctStatusesAndLeaveNoFile) {
    fixtures::TempDir dir;
    const std::string out = dir.file("out.png");
    ProcessResult run = runNconvert(resize(out, dir.file("missing.png")));
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(oneLineFor(run, dir.file("missing.png")));
    fixtures::writeFile(dir.file("notes.png"), Bytes{'h', 'e', 'l', 'l', 'o'});
    run = runNconvert(resize(out, dir.file("notes.png")));
    EXPECT_EQ(run.status, 4);
    EXPECT_TRUE(oneLineFor(run, dir.file("notes.png")));
    Bytes jpeg = fixtures::save(fixtures::photo(300, 200), ".jpg");
    jpeg.resize(jpeg.size() / 2);
    fixtures::writeFile(dir.file("cut.jpg"), jpeg);
    run = runNconvert(resize(dir.file("out.jpg"), dir.file("cut.jpg")));
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(oneLineFor(run, dir.file("cut.jpg")));
    const Bytes small = fixtures::save(fixtures::photo(1000, 2), ".png");
    fixtures::writeFile(dir.file("wide.png"), small);
    run = runNconvert(resize(out, dir.file("wide.png"), 7000, 100));
    EXPECT_EQ(run.status, 5);
    EXPECT_TRUE(oneLineFor(run, out));
    EXPECT_TRUE(dir.entries() == std::vector<std::string>({"cut.jpg", "notes.png", "wide.png"}));
}

TEST(Cli, stoppedOrKilledMidWriteLeavesNothing) {
    fixtures::TempDir dir;
    fixtures::writeFile(dir.file("in.png"), fixtures::save(fixtures::photo(1200, 800), ".png"));
    const Bytes old = {'o', 'l', 'd'};
    fixtures::writeFile(dir.file("out.png"), old);
    // Nothing can remove a named file after SIGKILL; only an unnamed one vanishes by itself.
    const int probe = ::open(dir.path().c_str(), O_TMPFILE | O_WRONLY, 0600);
    const bool unnamed = probe >= 0;
    if (unnamed)
        ::close(probe);
    else
        RecordProperty("skipped", "SIGKILL: this file system makes no unnamed files");
    for (int signal : {SIGTERM, SIGKILL}) {
        if (signal == SIGKILL && !unnamed)
            continue;
        const pid_t pid =
            startWriting(resize(dir.file("out.png"), dir.file("in.png"), 600, 600), dir.path());
        ::kill(pid, signal);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_TRUE(dir.entries() == std::vector<std::string>({"in.png", "out.png"})) << signal;
        EXPECT_TRUE(fixtures::readFile(dir.file("out.png")) == old);
    }
}

TEST(Cli, inputCutShortMidRunIsNoCrash) {
    fixtures::TempDir dir;
    fixtures::writeFile(dir.file("in.png"), fixtures::save(fixtures::photo(800, 600), ".png"));
    const pid_t pid =
        startWriting(resize(dir.file("out.png"), dir.file("in.png"), 400, 400), dir.path());
    ::truncate(dir.file("in.png").c_str(), 100);
    int status = 0;
    ::waitpid(pid, &status, 0);
    // The converter read the whole input before decoding, so the copy is complete.
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(fixtures::load(fixtures::readFile(dir.file("out.png"))).width() == 3200);
    EXPECT_TRUE(dir.entries() == std::vector<std::string>({"in.png", "out.png"}));
}

TEST(Cli, fileSizeLimitIsACleanWriteFailure) {
    fixtures::TempDir dir;
    fixtures::writeFile(dir.file("in.png"), fixtures::save(fixtures::photo(300, 200), ".png"));
    const Bytes old = {'o', 'l', 'd'};
    fixtures::writeFile(dir.file("out.png"), old);
    const ProcessResult run = runNconvert(resize(dir.file("out.png"), dir.file("in.png")), 65536);
    EXPECT_EQ(run.status, 6);
    EXPECT_TRUE(oneLineFor(run, dir.file("out.png")));
    EXPECT_TRUE(fixtures::readFile(dir.file("out.png")) == old);
    EXPECT_TRUE(dir.entries() == std::vector<std::string>({"in.png", "out.png"}));
}

TEST(Cli, failedWriteLeavesNothingAndKeepsTheOldFile) {
    fixtures::TempDir dir;
    const Bytes png = fixtures::save(fixtures::photo(40, 30), ".png");
    fixtures::writeFile(dir.file("in.png"), png);
    // The output folder does not exist.
    ProcessResult run = runNconvert(resize(dir.file("nowhere/out.png"), dir.file("in.png")));
    EXPECT_EQ(run.status, 6);
    EXPECT_TRUE(oneLineFor(run, dir.file("nowhere/out.png")));
    // OUTPUT is a folder.
    std::filesystem::create_directory(dir.file("folder.png"));
    run = runNconvert(resize(dir.file("folder.png"), dir.file("in.png")));
    EXPECT_EQ(run.status, 6);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.png")));
    // A failure keeps an existing output byte for byte.
    const Bytes old = {'o', 'l', 'd'};
    fixtures::writeFile(dir.file("old.png"), old);
    Bytes cut = png;
    cut.resize(cut.size() / 2);
    fixtures::writeFile(dir.file("cut.png"), cut);
    run = runNconvert(resize(dir.file("old.png"), dir.file("cut.png")));
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(fixtures::readFile(dir.file("old.png")) == old);
    // A read-only folder (only meaningful when permissions apply, i.e. not as root).
    if (::geteuid() != 0) {
        std::filesystem::create_directory(dir.file("ro"));
        ::chmod(dir.file("ro").c_str(), 0555);
        run = runNconvert(resize(dir.file("ro/out.png"), dir.file("in.png")));
        EXPECT_EQ(run.status, 6);
        ::chmod(dir.file("ro").c_str(), 0755);
        EXPECT_TRUE(std::filesystem::is_empty(dir.file("ro")));
    }
    for (const auto& entry : dir.entries())
        EXPECT_TRUE(entry.find(".nconvert-") == std::string::npos);
    // Success replaces the old file.
    run = runNconvert(resize(dir.file("old.png"), dir.file("in.png")));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(fixtures::load(fixtures::readFile(dir.file("old.png"))).width() == 80);
}

TEST(Cli, neverReplacesTheInputOrASpecialFile) {
    fixtures::TempDir dir;
    const Bytes png = fixtures::save(fixtures::photo(40, 30), ".png");
    const std::string in = dir.file("in.png");
    fixtures::writeFile(in, png);
    std::filesystem::create_directory(dir.file("sub"));
    std::filesystem::create_symlink("in.png", dir.file("link.png"));
    std::filesystem::create_hard_link(in, dir.file("hard.png"));
    ::mkfifo(dir.file("fifo.png").c_str(), 0644);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, dir.file("socket.png").c_str(), sizeof address.sun_path - 1);
    ::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    // A device like /dev/null, made here so that a failure cannot harm the real one (root only).
    const bool device = ::mknod(dir.file("null.png").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    std::vector<std::pair<std::string, std::string>> cases = {
        {in, in},
        {dir.file("sub/../in.png"), in},
        {dir.file("link.png"), in},
        {in, dir.file("link.png")},
        {dir.file("hard.png"), in},
        {dir.file("fifo.png"), in},
        {dir.file("socket.png"), in},
    };
    if (device)
        cases.emplace_back(dir.file("null.png"), in);
    for (const auto& [output, input] : cases) {
        const ProcessResult run = runNconvert(resize(output, input));
        EXPECT_EQ(run.status, 6) << output << " from " << input;
        EXPECT_TRUE(oneLineFor(run, output)) << run.err;
    }
    ::close(socket);
    EXPECT_TRUE(fixtures::readFile(in) == png);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.png")));
    EXPECT_TRUE(std::filesystem::is_fifo(dir.file("fifo.png")));
    EXPECT_TRUE(std::filesystem::is_socket(dir.file("socket.png")));
    EXPECT_TRUE(!device || std::filesystem::is_character_file(dir.file("null.png")));
    // A link to another file is itself replaced; its target is left alone.
    fixtures::writeFile(dir.file("target.png"), {'o', 'l', 'd'});
    std::filesystem::create_symlink("target.png", dir.file("other.png"));
    EXPECT_EQ(runNconvert(resize(dir.file("other.png"), in)).status, 0);
    EXPECT_TRUE(
        std::filesystem::is_regular_file(std::filesystem::symlink_status(dir.file("other.png"))));
    EXPECT_TRUE(fixtures::readFile(dir.file("target.png")) == Bytes({'o', 'l', 'd'}));
}

TEST(Cli, replacingKeepsTheModeNewFilesFollowTheUmask) {
    fixtures::TempDir dir;
    fixtures::writeFile(dir.file("in.png"), fixtures::save(fixtures::photo(40, 30), ".png"));
    const auto modeOf = [&](const std::string& name) {
        struct stat st {};
        ::stat(dir.file(name).c_str(), &st);
        return st.st_mode & 0777;
    };
    for (mode_t mode : {0600, 0640, 0604}) {
        fixtures::writeFile(dir.file("out.png"), {'o', 'l', 'd'});
        ::chmod(dir.file("out.png").c_str(), mode);
        EXPECT_EQ(runNconvert(resize(dir.file("out.png"), dir.file("in.png"))).status, 0);
        EXPECT_EQ(modeOf("out.png"), mode);
    }
    const mode_t umask = ::umask(0);
    ::umask(umask);
    EXPECT_EQ(runNconvert(resize(dir.file("new.png"), dir.file("in.png"))).status, 0);
    EXPECT_EQ(modeOf("new.png"), 0666 & ~umask);
}

TEST(Cli, fifoInputIsRefusedWithoutWaiting) {
    fixtures::TempDir dir;
    ::mkfifo(dir.file("in.png").c_str(), 0644);
    // Nobody ever writes into the FIFO: a converter that opened it first would wait forever.
    const ProcessResult run =
        runNconvert(resize(dir.file("out.png"), dir.file("in.png")), RLIM_INFINITY, 10);
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(oneLineFor(run, dir.file("in.png")));
    EXPECT_TRUE(dir.entries() == std::vector<std::string>({"in.png"}));
}

// The libvips module is called only when its seam is this build's: another build's is refused
// with one line, before any of its code runs, and nothing is written.
TEST(Cli, refusesALibvipsModuleOfAnotherBuild) {
    fixtures::TempDir dir;
    // CMYK into PNG needs colour management, which only the module does.
    fixtures::writeFile(
        dir.file("cmyk.jpg"),
        fixtures::save(fixtures::photo(16, 16).colourspace(VIPS_INTERPRETATION_CMYK), ".jpg"));
    const char* saved = std::getenv("LD_LIBRARY_PATH");
    const std::string before = saved ? saved : "";
    ::setenv("LD_LIBRARY_PATH", FOREIGN_MODULE_DIR, 1);
    const ProcessResult run = runNconvert(resize(dir.file("out.png"), dir.file("cmyk.jpg")));
    if (saved)
        ::setenv("LD_LIBRARY_PATH", before.c_str(), 1);
    else
        ::unsetenv("LD_LIBRARY_PATH");
    EXPECT_EQ(run.status, 7);
    EXPECT_TRUE(oneLineFor(run, "libvips")) << run.err;
    EXPECT_NE(run.err.find("another build"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.png")));
}
