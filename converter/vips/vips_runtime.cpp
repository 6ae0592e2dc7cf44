// SPDX-License-Identifier: MIT
#include "vips_runtime.h"

#include <cstdlib>
#include <mutex>
#include <vips/vips.h>

namespace nconvert {
namespace {

std::mutex g_warningsMutex;
std::vector<std::string> g_warnings;

void captureLog(const gchar* domain, GLogLevelFlags, const gchar* message, gpointer) {
    std::lock_guard lock(g_warningsMutex);
    std::string text = std::string(domain ? domain : "") + ": " + (message ? message : "");
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n'))
        text.pop_back();
    if (g_warnings.size() < 100)
        g_warnings.push_back(text);
}

} // namespace

bool startVips(const char* argv0) {
    static bool started = false;
    if (started)
        return true;
    // libvips looks for its optional modules (ImageMagick, PDF, HEIF, OpenSlide, JXL) under
    // $VIPSHOME/lib. Pointing VIPSHOME at a folder that does not exist skips them: they double
    // the start-up time and we use none of them.
    ::setenv("VIPSHOME", "/nonexistent/nconvert-no-vips-modules", 1);
    if (VIPS_INIT(argv0 ? argv0 : "nconvert"))
        return false;
    vips_block_untrusted_set(TRUE);
    vips_cache_set_max(0);
    g_log_set_default_handler(captureLog, nullptr);
    for (const char* domain : {"VIPS", "GLib", "GLib-GObject"})
        g_log_set_handler(domain, GLogLevelFlags(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL), captureLog,
                          nullptr);
    started = true;
    return true;
}

std::vector<std::string> takeVipsWarnings() {
    std::lock_guard lock(g_warningsMutex);
    std::vector<std::string> out;
    out.swap(g_warnings);
    return out;
}

std::string takeVipsError() {
    std::string text = vips_error_buffer();
    vips_error_clear();
    // The first non-empty line is the most specific one.
    while (!text.empty() && (text.front() == '\n' || text.front() == ' '))
        text.erase(0, 1);
    const auto newline = text.find('\n');
    if (newline != std::string::npos)
        text.resize(newline);
    return text;
}

} // namespace nconvert
