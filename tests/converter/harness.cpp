// SPDX-License-Identifier: MIT
#include "harness.h"

#include "vips_runtime.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace testing {
namespace {

struct Case {
    std::string group;
    std::string name;
    std::function<void()> body;
};

std::vector<Case>& registry() {
    static std::vector<Case> cases;
    return cases;
}

int g_failures = 0;

} // namespace

Registrar::Registrar(const char* group, const char* name, std::function<void()> body) {
    registry().push_back({group, name, std::move(body)});
}

void fail(const char* file, int line, const std::string& what) {
    ++g_failures;
    std::printf("    FAIL %s:%d: %s\n", file, line, what.c_str());
}

} // namespace testing

int main(int argc, char** argv) {
    if (!nconvert::startVips(argv[0])) {
        std::printf("cannot start libvips\n");
        return 1;
    }
    const std::string group = argc > 1 ? argv[1] : "";
    int run = 0, failedCases = 0;
    for (const auto& c : testing::registry()) {
        if (!group.empty() && c.group != group)
            continue;
        ++run;
        const int before = testing::g_failures;
        const auto start = std::chrono::steady_clock::now();
        try {
            c.body();
        } catch (const std::exception& e) {
            testing::fail(__FILE__, __LINE__, std::string("unexpected exception: ") + e.what());
        }
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        const bool ok = testing::g_failures == before;
        failedCases += ok ? 0 : 1;
        std::printf("%s %s.%s (%.0f ms)\n", ok ? "PASS" : "FAIL", c.group.c_str(), c.name.c_str(),
                    ms);
    }
    std::printf("%d cases, %d failed\n", run, failedCases);
    return run == 0 || failedCases ? 1 : 0;
}
