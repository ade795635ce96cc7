// SPDX-License-Identifier: MIT
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "app/startup.h"
#include "entry/grid.h"
#include "tables/dbf_table.h"

namespace bx::test {

MessageAnswer ScriptedDesktop::messageBox(const std::string& title, const std::string& text,
                                          MessageIcon icon, MessageButtons buttons) {
    messages.push_back({title, text, icon, buttons});
    if (buttons == MessageButtons::Ok || answers.empty()) {
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    const MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<FileDialogAnswer> ScriptedDesktop::fileDialog(const std::string& caption,
                                                            const std::string& startFolder) {
    dialogCaptions.push_back(caption);
    dialogStartFolders.push_back(startFolder);
    std::optional<FileDialogAnswer> a;  // Cancel when none is left
    if (!fileAnswers.empty()) {
        a = fileAnswers.front();
        fileAnswers.pop_front();
    }
    return a;
}

bool ScriptedDesktop::openExternally(const std::string& path) {
    opened.push_back(path);
    return openSucceeds;
}

void copyStatisticalTables(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    for (const char* name :
         {"Crit_t.dbf", "CRIT_U.dbf", "crit_w.dbf", "CRIT_W1.dbf", "RANKIT.dbf", "POWERT.dbf",
          "tables.manifest", "stat.dbf", "sslog.dbf", "sslogsum.dbf", "result.dbf"}) {
        std::filesystem::copy_file(std::filesystem::path(programFolder()) / name, folder / name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

std::vector<std::string> statusLines(const std::string& status) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = 0; (end = status.find("\r\n", start)) != std::string::npos;) {
        lines.push_back(status.substr(start, end - start));
        start = end + 2;
    }
    lines.push_back(status.substr(start));
    return lines;
}

WindowFixture::WindowFixture(const std::string& name) : scratch(freshScratch(name)) {
    window = std::make_unique<MainWindow>(
        desktop, StartupFolders{programFolder(), (scratch / "userdata").string()},
        sharedGeneratedTables());
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

std::string readFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<TableRow> readRows(const std::filesystem::path& path,
                               std::span<const RecordField> fields) {
    std::vector<std::string_view> names;
    for (const RecordField& f : fields) {
        names.push_back(f.name);
    }
    std::vector<TableRow> rows;
    DbfTable table;
    const TableError error =
        table.open(path.parent_path().string(), path.filename().string(), DbfOpenMode::ReadOnly);
    EXPECT_EQ(error.number, 0) << error.description;
    EXPECT_TRUE(error || !table.requireFields(names)) << "a field is missing in " << path;
    for (table.moveFirst(); !error && !table.eof(); table.moveNext()) {
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
    std::istringstream in(pattern);
    for (std::string field; std::getline(in, field, '|');) {
        const std::size_t eq = field.find('=');
        row[field.substr(0, eq)] = field.substr(eq + 1);
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
        const char done = work() ? 'y' : 'n';
        (void)!write(ready[1], &done, 1);
        while (true) {
            pause();
        }
    }
    close(ready[1]);  // so that the read below ends if the child dies without reporting
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
