// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/version.h"
#include "cli/cli_fixture.h"

namespace bx::cli {
namespace {

using test::runInProcess;

// "--" ends the options even right after an option that takes a list, so the survey "-" (read
// from standard input) is the input; -V prints the version, and an unknown option before a
// command is named as such.
TEST(CommandLine, DoubleDashAnywhereAndTheVersionFlags) {
    const test::CliRun batch = runInProcess(
        "cli-double-dash",
        {"batch", "--reference", "REF", "--ignore-column", "rep", "--quiet", "--", "-"},
        "sample,value,rep\nREF,14,1\nREF,15,2\nREF,16,3\nA,10,1\nA,11,2\nA,12,3\n");
    EXPECT_EQ(batch.status, 0) << batch.err;
    EXPECT_NE(batch.out.find("\nA,,3,1,11,"), std::string::npos) << batch.out;

    EXPECT_EQ(runInProcess("cli-version", {"-V"}).out,
              std::string("benthix-cli ") + kVersion + "\n");
    const test::CliRun unknown = runInProcess("cli-unknown", {"-v"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err.rfind("benthix-cli: unknown option -v (", 0), 0U) << unknown.err;
}

}  // namespace
}  // namespace bx::cli
