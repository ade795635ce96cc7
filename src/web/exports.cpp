// SPDX-License-Identifier: MIT
// The module's C entry points, called from benthix.js: JSON texts in, a JSON text out that the
// caller frees with bx_free().

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "base/version.h"
#include "tables/stat_tables.h"
#include "web/built_in_tables.h"
#include "web/web_api.h"

namespace {

// The Shapiro-Wilk figures are packed into the module's file system at this folder.
constexpr const char* kDataFolder = "/data";

// Built at the first call, read-only afterwards.
const std::shared_ptr<const bx::StatTables>& tables() {
    static const std::shared_ptr<const bx::StatTables> built = bx::web::builtInTables(kDataFolder);
    return built;
}

const bx::web::StartedWindow& started() {
    static const bx::web::StartedWindow window = bx::web::startedWindow(tables());
    return window;
}

char* copied(const std::string& text) {
    char* out = static_cast<char*>(std::malloc(text.size() + 1));
    if (out != nullptr) {
        std::memcpy(out, text.c_str(), text.size() + 1);
    }
    return out;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE char* bx_analyze(const char* request) {
    return copied(bx::web::analyzeJson(tables(), started(), request));
}

EMSCRIPTEN_KEEPALIVE char* bx_run_survey(const char* survey, const char* options) {
    return copied(bx::web::surveyJson(tables(), survey, options));
}

EMSCRIPTEN_KEEPALIVE char* bx_survey_report(const char* survey, const char* options) {
    return copied(bx::web::surveyReportJson(tables(), survey, options));
}

EMSCRIPTEN_KEEPALIVE char* bx_table_rows() {
    return copied(bx::web::tableRowsJson(*tables()));
}

// "" when the tables were built whole, else the tables that were not.
EMSCRIPTEN_KEEPALIVE char* bx_tables_problem() {
    std::string problem;
    for (const std::string& file : tables()->unreadableFiles()) {
        problem += (problem.empty() ? "" : "; ") + file;
    }
    return copied(problem);
}

EMSCRIPTEN_KEEPALIVE const char* bx_version() {
    return bx::kVersion;
}

EMSCRIPTEN_KEEPALIVE void bx_free(char* text) {
    std::free(text);
}
}
