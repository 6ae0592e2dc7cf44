// SPDX-License-Identifier: MIT
// A minimal test driver: cases register themselves in a group; `converter_tests GROUP` runs one
// group, failures are counted and printed, and the exit status says whether any failed.
#pragma once

#include <functional>
#include <sstream>
#include <string>

namespace testing {

struct Registrar {
    Registrar(const char* group, const char* name, std::function<void()> body);
};

void fail(const char* file, int line, const std::string& what);

#define TEST_CASE(group, name)                                                                     \
    static void name();                                                                            \
    static testing::Registrar name##_registrar(group, #name, name);                                \
    static void name()

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond))                                                                               \
            testing::fail(__FILE__, __LINE__, "CHECK(" #cond ")");                                 \
    } while (0)

#define CHECK_EQ(a, b)                                                                             \
    do {                                                                                           \
        const auto& va_ = (a);                                                                     \
        const auto& vb_ = (b);                                                                     \
        if (!(va_ == vb_)) {                                                                       \
            std::ostringstream os_;                                                                \
            os_ << "CHECK_EQ(" #a ", " #b "): " << va_ << " != " << vb_;                           \
            testing::fail(__FILE__, __LINE__, os_.str());                                          \
        }                                                                                          \
    } while (0)

} // namespace testing
