#include "support/test_support.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "app/startup.h"
#include "entry/grid.h"
#include "tables/dbf_table.h"
#include "tables/stat_tables.h"

namespace bx::test {

MessageAnswer ScriptedDesktop::messageBox(const std::string& title, const std::string& text,
                                          MessageIcon icon, MessageButtons buttons) {
    messages.push_back({title, text, icon, buttons});
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    if (answers.empty()) {
        return MessageAnswer::No;
    }
    const MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<FileDialogAnswer> ScriptedDesktop::fileDialog(const std::string& caption,
                                                            const std::string& startFolder) {
    dialogCaptions.push_back(caption);
    dialogStartFolders.push_back(startFolder);
    if (fileAnswers.empty()) {
        return std::nullopt;
    }
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

bool ScriptedDesktop::openExternally(const std::string& path) {
    opened.push_back(path);
    return openSucceeds;
}

std::string programFolder() {
    return BX_PROGRAM_DIR;
}

std::shared_ptr<const StatTables> sharedGeneratedTables() {
    static const std::shared_ptr<const StatTables> tables = StatTables::load(programFolder());
    return tables;
}

const StatTables& generatedTables() {
    return *sharedGeneratedTables();
}

void copyStatisticalTables(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    for (const char* name : {"Crit_t.dbf", "CRIT_U.dbf", "crit_w.dbf", "CRIT_W1.dbf", "RANKIT.dbf",
                             "POWERT.dbf", "tables.manifest"}) {
        std::filesystem::copy_file(std::filesystem::path(programFolder()) / name, folder / name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

std::filesystem::path freshScratch(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(BX_TEST_SCRATCH) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::vector<std::string> statusLines(const std::string& status) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const auto pos = status.find("\r\n", start);
        lines.push_back(status.substr(start, pos - start));
        if (pos == std::string::npos) {
            break;
        }
        start = pos + 2;
    }
    return lines;
}

WindowFixture::WindowFixture(const std::string& name) : scratch(freshScratch(name)) {
    window = std::make_unique<MainWindow>(
        desktop, StartupFolders{programFolder(), (scratch / "userdata").string()});
    Form_Load(*window);
}

void typeReplicates(MainWindow& w, const std::vector<std::string>& test,
                    const std::vector<std::string>& reference) {
    for (int row = 1; row < Grid::kRows; ++row) {
        const auto i = static_cast<std::size_t>(row - 1);
        w.ui.Grid1.setCell(row, Grid::kDataCol, i < test.size() ? test[i] : "");
        w.ui.Grid2.setCell(row, Grid::kDataCol, i < reference.size() ? reference[i] : "");
    }
}

void answerDialog(WindowFixture& f, const std::filesystem::path& folder, const std::string& entry) {
    f.desktop.fileAnswers.push_back(FileDialogAnswer{folder.string(), "/", entry});
}

std::string readFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<TableRow> readRowsByNames(const std::filesystem::path& path,
                                      const std::vector<std::string_view>& names) {
    std::vector<TableRow> rows;
    DbfTable table;
    const TableError error =
        table.open(path.parent_path().string(), path.filename().string(), DbfOpenMode::ReadOnly);
    EXPECT_EQ(error.number, 0) << error.description;
    if (error) {
        return rows;
    }
    EXPECT_FALSE(table.requireFields(names)) << "a field is missing in " << path;
    for (table.moveFirst(); !table.eof(); table.moveNext()) {
        TableRow row;
        for (const std::string_view name : names) {
            std::string text = table.fieldText(name);
            if (!text.empty()) {
                row.emplace(std::string(name), std::move(text));
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

TableRow rowOf(const std::string& pattern) {
    TableRow row;
    std::size_t start = 0;
    while (start < pattern.size()) {
        const std::size_t end = std::min(pattern.find('|', start), pattern.size());
        const std::size_t eq = pattern.find('=', start);
        row[pattern.substr(start, eq - start)] = pattern.substr(eq + 1, end - eq - 1);
        start = end + 1;
    }
    return row;
}

bool runThenKill(const std::function<bool()>& work) {
    int ready[2];
    if (pipe(ready) != 0) {
        ADD_FAILURE() << "no pipe";
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        const char done = work() ? 'y' : 'n';
        (void)!write(ready[1], &done, 1);
        while (true) {
            pause();
        }
    }
    close(ready[1]);
    char done = 0;
    const bool reported = child > 0 && read(ready[0], &done, 1) == 1;
    close(ready[0]);
    if (child > 0) {
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
    }
    return reported && done == 'y';
}

}  // namespace bx::test
