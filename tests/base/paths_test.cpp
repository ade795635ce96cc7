// SPDX-License-Identifier: MIT
// The start-up folders: a build tree (tables beside the executable) against an installed tree
// (bin/ and share/benthix/ of one prefix), the per-user data folder from XDG_DATA_HOME, and
// the scratch folder from XDG_DOCUMENTS_DIR, user-dirs.dirs or ~/Documents. Every tree is
// laid out in a scratch folder; the environment is passed in, never read from the process.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/paths.h"
#include "support/test_support.h"

namespace bx {
namespace {

namespace fs = std::filesystem;

class StartupPaths : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::weakly_canonical(
            test::freshScratch(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        home = root / "home";
        fs::create_directories(home);
        env.home = home.string();
    }

    // prefix/bin/<name> with prefix/<installed data folder> beside it.
    fs::path installedProgram(const fs::path& prefix, const char* name = "benthix-cli") {
        fs::create_directories(prefix / "bin");
        fs::create_directories(
            (prefix / "bin" / std::string(installedDataFromBinary())).lexically_normal());
        std::ofstream(prefix / "bin" / name) << "";
        return prefix / "bin" / name;
    }

    // build/bin/<name> with nothing but the tables beside it.
    fs::path builtProgram(const char* name = "benthix-cli") {
        const fs::path bin = root / "build" / "bin";
        fs::create_directories(bin);
        std::ofstream(bin / name) << "";
        std::ofstream(bin / "Crit_t.dbf") << "";
        return bin / name;
    }

    void writeUserDirs(const fs::path& configFolder, const std::string& text) {
        fs::create_directories(configFolder);
        std::ofstream(configFolder / "user-dirs.dirs") << text;
    }

    fs::path root, home;
    UserEnvironment env;
};

TEST_F(StartupPaths, BuildTreeReadsAndWritesBesideTheExecutable) {
    const fs::path exe = builtProgram();
    env.xdgDataHome = (root / "data").string();  // not used by a build tree
    const StartupFolders f = startupFolders(exe.string(), env);
    EXPECT_EQ(f.programFolder, (root / "build" / "bin").string());
    EXPECT_EQ(f.dataFolder, "");
    EXPECT_EQ(f.scratchFolder, (home / "Benthix").string());
}

TEST_F(StartupPaths, InstalledTreeReadsTheSharedFolderAndWritesToTheUsersDataFolder) {
    const fs::path exe = installedProgram(root / "usr");
    const StartupFolders f = startupFolders(exe.string(), env);
    EXPECT_EQ(f.programFolder, (root / "usr" / "share" / "benthix").string());
    EXPECT_EQ(f.dataFolder, (home / ".local" / "share" / "benthix").string());
    EXPECT_EQ(f.scratchFolder, (home / "Benthix").string());
}

TEST_F(StartupPaths, TheWindowAndTheToolOfOneInstallationShareTheirFolders) {
    const fs::path cli = installedProgram(root / "opt" / "bx", "benthix-cli");
    const fs::path window = installedProgram(root / "opt" / "bx", "benthix");
    const StartupFolders a = startupFolders(cli.string(), env);
    const StartupFolders b = startupFolders(window.string(), env);
    EXPECT_EQ(a.programFolder, (root / "opt" / "bx" / "share" / "benthix").string());
    EXPECT_EQ(b.programFolder, a.programFolder);
    EXPECT_EQ(b.dataFolder, a.dataFolder);
    EXPECT_EQ(b.scratchFolder, a.scratchFolder);
}

TEST_F(StartupPaths, InstalledTreeFoundThroughALinkToTheExecutable) {
    const fs::path exe = installedProgram(root / "usr");
    fs::create_directories(root / "links");
    fs::create_symlink(exe, root / "links" / "benthix-cli");
    const StartupFolders f = startupFolders((root / "links" / "benthix-cli").string(), env);
    EXPECT_EQ(f.programFolder, (root / "usr" / "share" / "benthix").string());
    EXPECT_EQ(f.dataFolder, (home / ".local" / "share" / "benthix").string());
}

TEST_F(StartupPaths, XdgDataHomeHoldsTheDataFolderWhenItIsAbsolute) {
    const fs::path exe = installedProgram(root / "usr");
    env.xdgDataHome = (root / "xdg-data").string();
    EXPECT_EQ(startupFolders(exe.string(), env).dataFolder,
              (root / "xdg-data" / "benthix").string());
    env.xdgDataHome = "relative/data";  // not an absolute path: ignored
    EXPECT_EQ(startupFolders(exe.string(), env).dataFolder,
              (home / ".local" / "share" / "benthix").string());
}

TEST_F(StartupPaths, DocumentsFolderHoldsTheScratchFolderOnlyWhenItExists) {
    const fs::path exe = builtProgram();
    EXPECT_EQ(startupFolders(exe.string(), env).scratchFolder, (home / "Benthix").string());
    fs::create_directories(home / "Documents");
    EXPECT_EQ(startupFolders(exe.string(), env).scratchFolder,
              (home / "Documents" / "Benthix").string());
}

TEST_F(StartupPaths, XdgDocumentsDirNamesTheDocumentsFolder) {
    const fs::path exe = installedProgram(root / "usr");
    fs::create_directories(home / "Documents");
    fs::create_directories(root / "papers");
    env.xdgDocumentsDir = (root / "papers").string();
    EXPECT_EQ(startupFolders(exe.string(), env).scratchFolder,
              (root / "papers" / "Benthix").string());
    env.xdgDocumentsDir = (root / "missing").string();  // named but not there: the home folder
    EXPECT_EQ(startupFolders(exe.string(), env).scratchFolder, (home / "Benthix").string());
    env.xdgDocumentsDir = "papers";  // not an absolute path: ignored
    EXPECT_EQ(startupFolders(exe.string(), env).scratchFolder,
              (home / "Documents" / "Benthix").string());
}

TEST_F(StartupPaths, UserDirsFileNamesTheDocumentsFolderWithoutTheVariable) {
    const fs::path exe = builtProgram();
    fs::create_directories(home / "Documents");
    fs::create_directories(home / "Dokumente");
    writeUserDirs(home / ".config",
                  "# written by xdg-user-dirs-update\n"
                  "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                  "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(startupFolders(exe.string(), env).scratchFolder,
              (home / "Dokumente" / "Benthix").string());

    // The variable wins over the file.
    fs::create_directories(root / "papers");
    env.xdgDocumentsDir = (root / "papers").string();
    EXPECT_EQ(startupFolders(exe.string(), env).scratchFolder,
              (root / "papers" / "Benthix").string());
}

TEST_F(StartupPaths, UserDirsFileWithAbsoluteQuotedAndCommentedEntries) {
    const fs::path exe = builtProgram();
    const fs::path config = root / "config";
    env.xdgConfigHome = config.string();
    fs::create_directories(root / "my \"docs\"");
    writeUserDirs(config,
                  "#XDG_DOCUMENTS_DIR=\"$HOME/Commented\"\n"
                  "  XDG_DOCUMENTS_DIR = \"" +
                      root.string() + "/my \\\"docs\\\"\"\n");
    EXPECT_EQ(startupFolders(exe.string(), env).scratchFolder,
              (root / "my \"docs\"" / "Benthix").string());

    // "$HOME" alone means the home folder itself (the documents folder switched off).
    writeUserDirs(config, "XDG_DOCUMENTS_DIR=\"$HOME\"\n");
    EXPECT_EQ(startupFolders(exe.string(), env).scratchFolder, (home / "Benthix").string());

    // A relative value, a "$HOMEWORK" that only starts like $HOME and an unclosed quote are
    // not documents folders: ~/Documents stands in.
    fs::create_directories(home / "Documents");
    fs::create_directories(root / "homework");
    const std::vector<std::string> notDocuments = {
        "XDG_DOCUMENTS_DIR=\"Documents2\"", "XDG_DOCUMENTS_DIR=\"$HOMEWORK\"",
        "XDG_DOCUMENTS_DIR=\"" + (root / "homework").string()};
    for (const std::string& line : notDocuments) {
        writeUserDirs(config, line + "\n");
        EXPECT_EQ(startupFolders(exe.string(), env).scratchFolder,
                  (home / "Documents" / "Benthix").string())
            << line;
    }
}

TEST_F(StartupPaths, ConfigHomeIsUsedInsteadOfTheHomeConfigFolder) {
    const fs::path exe = builtProgram();
    fs::create_directories(home / "Docs A");
    fs::create_directories(home / "Docs B");
    writeUserDirs(home / ".config", "XDG_DOCUMENTS_DIR=\"$HOME/Docs A\"\n");
    writeUserDirs(root / "cfg", "XDG_DOCUMENTS_DIR=\"$HOME/Docs B\"\n");
    env.xdgConfigHome = (root / "cfg").string();
    EXPECT_EQ(startupFolders(exe.string(), env).scratchFolder,
              (home / "Docs B" / "Benthix").string());
}

TEST_F(StartupPaths, AFileWhereTheSharedFolderWouldBeIsNotAnInstallation) {
    const fs::path exe = builtProgram();
    const fs::path shared =
        (exe.parent_path() / std::string(installedDataFromBinary())).lexically_normal();
    fs::create_directories(shared.parent_path());
    std::ofstream(shared) << "";
    const StartupFolders f = startupFolders(exe.string(), env);
    EXPECT_EQ(f.programFolder, exe.parent_path().string());
    EXPECT_EQ(f.dataFolder, "");
}

TEST(JoinPath, OneSeparatorBetweenFolderAndName) {
    EXPECT_EQ(joinPath("/usr/share/benthix", "Crit_t.dbf"), "/usr/share/benthix/Crit_t.dbf");
    EXPECT_EQ(joinPath("/usr/share/benthix/", "Crit_t.dbf"), "/usr/share/benthix/Crit_t.dbf");
    EXPECT_EQ(joinPath("", "Crit_t.dbf"), "Crit_t.dbf");
}

}  // namespace
}  // namespace bx
