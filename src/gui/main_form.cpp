// SPDX-License-Identifier: MIT
#include "gui/main_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <array>
#include <exception>
#include <filesystem>
#include <fstream>

#include "app/clearing.h"
#include "app/comparison_document.h"
#include "app/entry_changes.h"
#include "app/execute.h"
#include "app/grid_commands.h"
#include "app/log_commands.h"
#include "app/options.h"
#include "app/report_command.h"
#include "app/sample_commands.h"
#include "app/startup.h"
#include "app/user_guide.h"
#include "app/validation_command.h"
#include "gui/artwork.h"
#include "gui/grid_view.h"
#include "gui/replicate_plot.h"
#include "gui/survey_window.h"

namespace bx::gui {
namespace {

constexpr int kPictureSide = 32;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// A menu caption from the core with `letter` as its mnemonic: the first capital `letter`, else
// the first in either case. A "&" in the caption (a file name's) stays a plain "&".
QString menuCaption(const std::string& caption, QChar letter) {
    QString text = qs(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
    if (letter.isNull()) {
        return text;
    }
    qsizetype at = text.indexOf(letter.toUpper());
    if (at < 0) {
        at = text.indexOf(letter, 0, Qt::CaseInsensitive);
    }
    if (at >= 0) {
        text.insert(at, QLatin1Char('&'));
    }
    return text;
}

// A caption's run of three blanks is where its narrow label breaks the line.
QString labelText(const std::string& caption) {
    return qs(caption).replace(QLatin1String("   "), QLatin1String("\n")).trimmed();
}

QSettings windowSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kAppTitle),
                     QString::fromLatin1(kAppTitle));
}

// A scroll area that asks for its content's whole natural size (Qt's own caps the request at a
// few dozen characters): the window opens showing everything when the screen has the room.
class ContentScrollArea : public QScrollArea {
  public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        const int frame = 2 * frameWidth();
        return widget() != nullptr ? widget()->sizeHint() + QSize(frame, frame)
                                   : QScrollArea::sizeHint();
    }
};

// The status list uses CR LF between lines; the widget uses LF.
QString statusForDisplay(const std::string& text) {
    return qs(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString pictureMeaning(Picture picture) {
    switch (picture) {
        case Picture::Ok:
            return "Passed";
        case Picture::Fail:
            return "Failed";
        case Picture::Question:
            return "Not decided";
        case Picture::NotApplicable:
            return "Does not apply to this analysis";
        case Picture::None:
            break;
    }
    return {};
}

QLabel* caption(const char* text, QWidget* parent) {
    return new QLabel(QString::fromLatin1(text), parent);
}

// Where the user's locale writes a decimal comma, the comma key types the program's decimal
// point in a number field, as it does in the grids.
class DecimalCommaFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->text() == QLatin1String(",")) {
                QKeyEvent point(QEvent::KeyPress, Qt::Key_Period, key->modifiers(),
                                QStringLiteral("."));
                QCoreApplication::sendEvent(watched, &point);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

MainForm::MainForm(StartupFolders folders, std::shared_ptr<const StatTables> tables,
                   QWidget* parent)
    : QMainWindow(parent),
      desktop_(this),
      core_(std::make_unique<MainWindow>(desktop_, std::move(folders), std::move(tables))) {
    setObjectName("frmpstat");
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setWindowIcon(QIcon(QPixmap::fromImage(drawArtwork(Artwork::ProgramIcon, 64))));
    setAcceptDrops(true);
    core_->ui.onScreen = true;
    // On screen a value must be wholly a number unless Options > "Read Leading Numbers" is on,
    // and the comma key types the decimal mark where the user's locale writes one.
    core_->ui.strictNumbers = true;
    core_->ui.mnuReadLeadingNumbers.checked = false;
    core_->ui.commaIsDecimalMark = QLocale().decimalPoint() == QLatin1Char(',');
    askSetting_ = windowSettings().value(kAskSetting, true).toBool();
    core_->ui.askBeforeDiscarding = askSetting_;
    buildMenus();
    scroll_ = new ContentScrollArea;
    scroll_->setObjectName("scrContent");
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    // A click beside the fields (or on the Execute button) leaves the focus where it was.
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setWidget(buildCentre());
    setCentralWidget(scroll_);
    buildStatusBar();
    buildTabOrder();
    refresh();
    if (QScreen* shownOn = screen()) {
        fitToScreen(shownOn->availableGeometry());
    }
}

SurveyWindow& MainForm::openSurveyWindow() {
    if (!survey_) {
        survey_ = std::make_unique<SurveyWindow>(*this);
    }
    survey_->show();
    survey_->raise();
    survey_->activateWindow();
    return *survey_;
}

void MainForm::saveReportDocument(std::string path) {
    forward(cmdExecute_Click);
    if (path.empty()) {
        const std::optional<FileDialogAnswer> answer = desktop_.fileDialog(
            "Report Document (.pdf or .html)",
            core_->ui.sampleFilePath.empty()
                ? std::string()
                : std::filesystem::path(core_->ui.sampleFilePath).parent_path().string());
        if (!answer || answer->entryText.empty()) {
            return;
        }
        path = (std::filesystem::path(answer->folder) / answer->entryText).string();
    }
    std::error_code ignored;
    const std::string full = std::filesystem::absolute(path, ignored).string();
    std::string line;
    if (!isDocumentName(full)) {
        line = "Report document not written: " + full + " is not .pdf or .html";
    } else if (std::filesystem::exists(full, ignored) &&
               !desktop_.confirm("Report Document", full + " exists. Replace it?").yes) {
        line = "Report document not written: " + full + " kept as it was";
    } else {
        const std::string bytes = comparisonDocumentBytes(
            comparisonDocument(*core_, core_->ui.sampleFilePath), full, drawing::defaultPaper());
        std::ofstream out(full, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        line = out ? "Report document written to " + full
                   : "Report document not written: writing " + full + " failed";
    }
    core_->postStatus(line);
    showStatus();
}

MainForm::~MainForm() {
    survey_.reset();
    // Closing the window moves the focus and so fires the widgets' signals while the core is
    // already gone: nothing may reach it any more.
    for (QObject* child : findChildren<QObject*>()) {
        QObject::disconnect(child, nullptr, this, nullptr);
    }
    desktop_.setParentWidget(nullptr);
}

void MainForm::formLoad() {
    forward([](MainWindow& w) { Form_Load(w); });
}

void MainForm::forward(const std::function<void(MainWindow&)>& command) {
    // A command may open a modal box, during which focus events run nested commands; only the
    // outermost one consumes the core's request to move the focus.
    const bool outermost = commandDepth_ == 0;
    if (outermost) {
        core_->ui.focus = FocusTarget::None;
    }
    ++commandDepth_;
    try {
        command(*core_);
    } catch (const std::exception& error) {
        const std::string what = error.what();
        core_->postStatus("*** Error: " + what);
        desktop_.messageBox("", "The command could not be completed: " + what,
                            MessageIcon::Critical, MessageButtons::Ok);
    }
    --commandDepth_;
    afterUserAction(*core_);
    keepSettings();
    refresh();
    if (outermost && core_->ui.focus != FocusTarget::None) {
        applyFocusRequest(core_->ui.focus);
    }
}

void MainForm::keepSettings() {
    if (core_->ui.askBeforeDiscarding != askSetting_) {
        askSetting_ = core_->ui.askBeforeDiscarding;
        windowSettings().setValue(kAskSetting, askSetting_);
    }
}

void MainForm::fitToScreen(const QRect& available) {
    // The frame the window manager adds is not known before the window is shown: leave room
    // for a title bar and borders.
    const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2 + 4;
    const QSize room(available.width() - border,
                     available.height() - border - style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const QSize natural = sizeHint();
    resize(natural.boundedTo(room));
    if (!available.contains(QRect(pos(), size()))) {
        move(available.topLeft());
    }
}

// ---------------------------------------------------------------------------------------------
// Building the window

QAction* MainForm::makeAction(QMenu* menu, const char* name, const char* text,
                              const std::function<void(MainWindow&)>& command) {
    auto* action = menu->addAction(QString::fromLatin1(text));
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, command] { forward(command); });
    return action;
}

void MainForm::buildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu("&File");
    file->setObjectName("mnuFile");
    makeAction(file, "mnuLoadFrom", "&Load From...", mnuLoadFrom_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    makeAction(file, "mnuSaveAs", "&Save As...", mnuSaveAs_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    makeAction(file, "mnuClearAll", "&Clear All", requestClearAll);
    makeAction(file, "mnuTransform", "&Transform", mnuTransform_Click);
    mnuFileReport_ = makeAction(file, "mnuFileReport", "&Report", mnuFileReport_Click);
    mnuFileReport_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuLoadExec_ = makeAction(file, "mnuLoadExec", "&Execute Stats", mnuLoadExec_Click);
    mnuLoadExec_->setShortcuts({QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_Return),
                                QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    auto* openSurvey = file->addAction("Open S&urvey...");
    openSurvey->setObjectName("mnuOpenSurvey");
    openSurvey->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    connect(openSurvey, &QAction::triggered, this, [this] { openSurveyWindow(); });
    auto* document = file->addAction("Report &Document...");
    document->setObjectName("mnuReportDocument");
    connect(document, &QAction::triggered, this, [this] { saveReportDocument(); });
    file->addSeparator()->setObjectName("mnuSep");
    auto* exit = file->addAction("E&xit");
    exit->setObjectName("mnuExit");
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    // Execute and the file commands stay in reach above the content, however it scrolls.
    QToolBar* tools = addToolBar("Commands");
    tools->setObjectName("tbCommands");
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tools->addAction(mnuLoadExec_);
    if (auto* button = tools->widgetForAction(mnuLoadExec_)) {
        button->setObjectName("tbExecute");
    }
    tools->addSeparator();
    for (const char* name : {"mnuLoadFrom", "mnuSaveAs", "mnuFileReport"}) {
        if (auto* action = file->findChild<QAction*>(QString::fromLatin1(name))) {
            tools->addAction(action);
        }
    }

    QMenu* edit = bar->addMenu("&Edit");
    edit->setObjectName("mnuEdit");
    makeAction(edit, "mnuEditCopy", "&Copy grid data", mnuEditCopy_Click);
    makeAction(edit, "mnuEditPaste", "&Paste grid data", mnuEditPaste_Click);

    QMenu* log = bar->addMenu("&Log");
    log->setObjectName("mnuLog");
    menus_.push_back(
        {&WindowState::mnuLogDetail,
         makeAction(log, "mnuLogDetail", "Begin Detail Data Logging", mnuLogDetail_Click),
         QLatin1Char('D')});
    menus_.push_back(
        {&WindowState::mnuLogSummary,
         makeAction(log, "mnuLogSummary", "Begin Summary Log File", mnuLogSummary_Click),
         QLatin1Char('S')});

    QMenu* options = bar->addMenu("&Options");
    options->setObjectName("mnuOptions");
    const struct {
        MenuEntry WindowState::*entry;
        const char* name;
        const char* text;
        char mnemonic;
        void (*command)(MainWindow&);
    } switches[] = {
        {&WindowState::mnuNormalPrompt, "mnuNormalPrompt", "Normality Override", 'N',
         mnuNormalPrompt_Click},
        {&WindowState::mnuPowerCalculation, "mnuPowerCalculation", "Power Calculations", 'P',
         mnuPowerCalculation_Click},
        {&WindowState::mnuOneSampleTTest, "mnuOneSampleTTest", "1 Sample T-Test", '1',
         mnuOneSampleTTest_Click},
        {&WindowState::mnuReadLeadingNumbers, "mnuReadLeadingNumbers", "Read Leading Numbers", 'R',
         mnuReadLeadingNumbers_Click},
    };
    for (const auto& s : switches) {
        QAction* action = makeAction(options, s.name, s.text, s.command);
        action->setCheckable(true);
        menus_.push_back({s.entry, action, QLatin1Char(s.mnemonic)});
    }

    QMenu* help = bar->addMenu("&Help");
    help->setObjectName("mnuHelp");
    makeAction(help, "mnuHelpGuide", "&User Guide", [this](MainWindow& w) {
        w.ui.helpTopic = helpTopicForFocus().toStdString();
        mnuHelpGuide_Click(w);
    })->setShortcut(QKeySequence(Qt::Key_F1));
    makeAction(help, "mnuHelpValidate", "Validate &Installation...",
               [](MainWindow& w) { mnuHelpValidate_Click(w, std::string("Qt ") + qVersion()); });
    makeAction(help, "mnuHelpVersion", "&Version Info", mnuHelpVersion_Click);
    makeAction(help, "mnuHelpAbout", "&About", mnuHelpAbout_Click);
}

QLineEdit* MainForm::makeField(const char* name, Field WindowState::*field, bool editable) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    if (editable) {
        connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
            forward([field, t = text.toStdString()](MainWindow& w) { (w.ui.*field).text = t; });
        });
    } else {
        // Results are shown, not typed; a click still lets the user select and copy them.
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::ClickFocus);
        edit->setMinimumWidth(70);
        edit->setMaximumWidth(130);
    }
    fields_.push_back({field, edit});
    return edit;
}

QLabel* MainForm::makeLabel(const char* name, Label WindowState::*label) {
    auto* widget = new QLabel(labelText((core_->ui.*label).caption));
    widget->setObjectName(QString::fromLatin1(name));
    labels_.push_back({label, widget});
    return widget;
}

QLabel* MainForm::makePicture(const char* name, Picture WindowState::*picture) {
    auto* widget = new QLabel;
    widget->setObjectName(QString::fromLatin1(name));
    widget->setFixedSize(kPictureSide, kPictureSide);
    widget->setScaledContents(true);
    pictures_.push_back({picture, widget});
    return widget;
}

QComboBox* MainForm::makeList(const char* name, OptionList WindowState::*list) {
    auto* combo = new QComboBox;
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // What is typed is the list's text as typed: no completion behind the user's back.
    combo->setCompleter(nullptr);
    for (const std::string& entry : (core_->ui.*list).entries) {
        combo->addItem(qs(entry));
    }
    const bool hypothesisAlt = list == &WindowState::cbHypoAlt;
    const bool hypothesisNull = list == &WindowState::cbHypoNull;
    // Picking an entry runs the hypothesis coupling; typing only changes the list's text.
    connect(combo, &QComboBox::activated, this,
            [this, combo, list, hypothesisAlt, hypothesisNull](int index) {
                const std::string entry = combo->itemText(index).toStdString();
                forward([=](MainWindow& w) {
                    if (hypothesisAlt) {
                        pickHypoAlt(w, entry);
                    } else if (hypothesisNull) {
                        pickHypoNull(w, entry);
                    } else {
                        (w.ui.*list).text = entry;
                    }
                });
            });
    connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, list](const QString& text) {
        forward([list, t = text.toStdString()](MainWindow& w) { (w.ui.*list).text = t; });
    });
    lists_.push_back({list, combo});
    return combo;
}

GridView* MainForm::makeGrid(const char* name, int gridIndex) {
    Grid& grid = gridIndex == 2 ? core_->ui.Grid2 : core_->ui.Grid1;
    auto* view = new GridView(grid);
    view->setObjectName(QString::fromLatin1(name));
    connect(view, &GridView::characterTyped, this, [this, gridIndex](int code) {
        forward([=](MainWindow& w) { GridKeyPress(w, code, gridIndex); });
    });
    connect(view, &GridView::selectionRequested, this,
            [this, gridIndex](int row, int col, int rowSel, int colSel) {
                forward([=](MainWindow& w) {
                    gridByIndex(w, gridIndex).setSelection(row, col, rowSel, colSel);
                    gridSelectionChanged(w, gridIndex);
                });
            });
    connect(view, &GridView::editRequested, this,
            [this, gridIndex] { forward([=](MainWindow& w) { gridEditCell(w, gridIndex); }); });
    connect(view, &GridView::gotFocus, this,
            [this, gridIndex] { forward([=](MainWindow& w) { gridGotFocus(w, gridIndex); }); });
    connect(view, &GridView::lostFocus, this,
            [this, gridIndex] { forward([=](MainWindow& w) { gridLostFocus(w, gridIndex); }); });
    connect(view, &GridView::otherMouseButton, this, [this, gridIndex] {
        forward([=](MainWindow& w) { gridOtherMouseButton(w, gridIndex); });
    });
    return view;
}

QWidget* MainForm::buildEntryColumn() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* project = new QGroupBox("Project Information");
    project->setObjectName("frmProjectName");
    auto* projectLayout = new QHBoxLayout(project);
    QLineEdit* projectName = makeField("txtProjectName", &WindowState::txtProjectName, true);
    QLabel* projectLabel = caption("Project Name:", project);
    projectLabel->setBuddy(projectName);
    projectLayout->addWidget(projectLabel);
    projectLayout->addWidget(projectName, 1);
    layout->addWidget(project);

    const auto sampleFrame = [this](const char* frameName, const char* title, const char* gridName,
                                    int gridIndex, const char* idCaption, const char* idName,
                                    Field WindowState::*id, const char* aliasName,
                                    Field WindowState::*alias, const char* clearName,
                                    void (*clear)(MainWindow&)) {
        auto* frame = new QGroupBox(QString::fromLatin1(title));
        frame->setObjectName(QString::fromLatin1(frameName));
        auto* grid = new QGridLayout(frame);
        GridView* view = makeGrid(gridName, gridIndex);
        (gridIndex == 2 ? grid2_ : grid1_) = view;
        grid->addWidget(view, 0, 0, 1, 2, Qt::AlignHCenter);
        QLineEdit* idEdit = makeField(idName, id, true);
        QLineEdit* aliasEdit = makeField(aliasName, alias, true);
        // The grid sets the panel's width; the names take what is left beside their labels.
        idEdit->setMinimumWidth(60);
        aliasEdit->setMinimumWidth(60);
        QLabel* idLabel = caption(idCaption, frame);
        idLabel->setBuddy(idEdit);
        QLabel* aliasLabel = caption("Alias:", frame);
        aliasLabel->setBuddy(aliasEdit);
        grid->addWidget(idLabel, 1, 0);
        grid->addWidget(idEdit, 1, 1);
        grid->addWidget(aliasLabel, 2, 0);
        grid->addWidget(aliasEdit, 2, 1);
        auto* button = new QPushButton("Clear");
        button->setObjectName(QString::fromLatin1(clearName));
        connect(button, &QPushButton::clicked, this, [this, clear] { forward(clear); });
        grid->addWidget(button, 3, 1, Qt::AlignRight);
        grid->setRowStretch(4, 1);
        return frame;
    };
    auto* samples = new QHBoxLayout;
    samples->addWidget(sampleFrame(
        "Frame4", "Test Data (x1)", "Grid1", 1, "Sample ID:", "txtSampId", &WindowState::txtSampId,
        "txtSampAlias", &WindowState::txtSampAlias, "cmdClearSamp", requestClearSamp));
    samples->addWidget(sampleFrame("Frame8", "Reference Data (x2)", "Grid2", 2, "Reference ID:",
                                   "txtRefId", &WindowState::txtRefId, "txtRefAlias",
                                   &WindowState::txtRefAlias, "cmdClearRef", requestClearRef));
    layout->addLayout(samples);

    auto* hypothesis = new QGroupBox("Experimental Hypothesis");
    hypothesis->setObjectName("Frame5");
    auto* hypothesisLayout = new QGridLayout(hypothesis);
    QComboBox* alt = makeList("cbHypoAlt", &WindowState::cbHypoAlt);
    QComboBox* null = makeList("cbHypoNull", &WindowState::cbHypoNull);
    QLabel* altLabel = caption("Alternate:", hypothesis);
    altLabel->setBuddy(alt);
    QLabel* nullLabel = caption("Null:", hypothesis);
    nullLabel->setBuddy(null);
    hypothesisLayout->addWidget(altLabel, 0, 0);
    hypothesisLayout->addWidget(alt, 0, 1);
    hypothesisLayout->addWidget(nullLabel, 1, 0);
    hypothesisLayout->addWidget(null, 1, 1);

    auto* alpha = new QGroupBox("Experimental Alpha Level");
    alpha->setObjectName("Frame7");
    (new QVBoxLayout(alpha))->addWidget(makeList("cbAlphaLevel", &WindowState::cbAlphaLevel));
    auto* transformation = new QGroupBox("Transformation Method");
    transformation->setObjectName("Frame1");
    (new QVBoxLayout(transformation))
        ->addWidget(makeList("cbTransMethod", &WindowState::cbTransMethod));
    auto* choices = new QVBoxLayout;
    choices->addWidget(alpha);
    choices->addWidget(transformation);
    auto* options = new QHBoxLayout;
    options->addWidget(hypothesis, 1);
    options->addLayout(choices, 1);
    layout->addLayout(options);

    cmdExecute_ = new QPushButton(" Execute Statistics");
    cmdExecute_->setObjectName("cmdExecute");
    cmdExecute_->setMinimumHeight(36);
    // A click does not take the focus: typing goes on where it was.
    cmdExecute_->setFocusPolicy(Qt::TabFocus);
    cmdExecute_->setToolTip("Run the analysis (F5 or Ctrl+Return)");
    connect(cmdExecute_, &QPushButton::clicked, this, [this] { forward(cmdExecute_Click); });

    auto* power = new QGroupBox;
    power->setObjectName("Frame13");
    frames_.push_back({&WindowState::Frame13, power});
    auto* powerLayout = new QHBoxLayout(power);
    QLineEdit* difference = makeField("txtDiff_levl", &WindowState::txtDiff_levl, true);
    difference->setMinimumWidth(70);
    difference->setMaximumWidth(110);
    // Not word-wrapped: a wrapped label's height follows its width, and the layouts would then
    // squeeze the grids to make room for it. Its caption breaks its lines itself.
    QLabel* differenceLabel = makeLabel("lblDiff_levl", &WindowState::lblDiff_levl);
    differenceLabel->setBuddy(difference);
    if (core_->ui.commaIsDecimalMark) {
        difference->installEventFilter(new DecimalCommaFilter(difference));
    }
    powerLayout->addWidget(differenceLabel);
    powerLayout->addWidget(difference);
    auto* run = new QHBoxLayout;
    run->addWidget(cmdExecute_, 1);
    run->addWidget(power, 1);
    layout->addLayout(run);

    layout->addStretch(1);

    // The staging field of copy and paste: kept in step with the core, never shown.
    text2_ = new QLineEdit(column);
    text2_->setObjectName("Text2");
    text2_->setReadOnly(true);
    text2_->hide();
    return column;
}

QWidget* MainForm::buildResults() {
    auto* results = new QGroupBox("Statistical Results");
    results->setObjectName("Frame3");
    auto* layout = new QGridLayout(results);

    // A panel of label/field rows with an optional picture on the right.
    const auto addRow = [](QGridLayout* grid, int row, QLabel* label, QWidget* field) {
        if (label != nullptr) {
            label->setBuddy(field);
            grid->addWidget(label, row, 0);
        }
        grid->addWidget(field, row, 1);
    };

    const auto treatment =
        [&](const char* frameName, const char* title, const char* meanCaption,
            const char* sdCaption,
            const std::array<std::pair<const char*, Field WindowState::*>, 5>& names) {
            auto* frame = new QGroupBox(QString::fromLatin1(title));
            frame->setObjectName(QString::fromLatin1(frameName));
            auto* grid = new QGridLayout(frame);
            const char* captions[5] = {"Number of Reps:", meanCaption, sdCaption,
                                       "Transform Mean:", "Transform SD:"};
            for (int i = 0; i < 5; ++i) {
                const auto& [name, field] = names[static_cast<std::size_t>(i)];
                addRow(grid, i, caption(captions[i], frame), makeField(name, field, false));
            }
            grid->setRowStretch(5, 1);
            return frame;
        };
    QGroupBox* testPanel = treatment("Frame2", "Test Treatment", "Test Mean:", "Test SD:",
                                     {{{"txtSampNum", &WindowState::txtSampNum},
                                       {"txtSampMean", &WindowState::txtSampMean},
                                       {"txtSampStdDev", &WindowState::txtSampStdDev},
                                       {"txtSampTransMean", &WindowState::txtSampTransMean},
                                       {"txtSampTransStdDev", &WindowState::txtSampTransStdDev}}});
    QGroupBox* referencePanel =
        treatment("Frame9", "Reference Treatment", "Reference Mean:", "Reference SD:",
                  {{{"txtRefNum", &WindowState::txtRefNum},
                    {"txtRefMean", &WindowState::txtRefMean},
                    {"txtRefStdDev", &WindowState::txtRefStdDev},
                    {"txtRefTransMean", &WindowState::txtRefTransMean},
                    {"txtRefTransStdDev", &WindowState::txtRefTransStdDev}}});
    resultPanels_ = {testPanel, referencePanel};
    plot_ = new ReplicatePlot(core_->ui, core_->analysis);
    addSavePlotAction(
        *plot_, desktop_, [this] { return plot_->data(); },
        [this](const std::string& line) {
            core_->postStatus(line);
            showStatus();
        });

    auto* normality = new QGroupBox(qs(core_->ui.Frame10.caption));
    normality->setObjectName("Frame10");
    frames_.push_back({&WindowState::Frame10, normality});
    auto* normalityGrid = new QGridLayout(normality);
    addRow(normalityGrid, 0, makeLabel("lblWtestW", &WindowState::lblWtestW),
           makeField("txtWtestW", &WindowState::txtWtestW, false));
    addRow(normalityGrid, 1, makeLabel("lblWtestCritVal", &WindowState::lblWtestCritVal),
           makeField("txtWtestCritVal", &WindowState::txtWtestCritVal, false));
    addRow(normalityGrid, 2, makeLabel("lblWtestAlpha", &WindowState::lblWtestAlpha),
           makeField("txtWTestAlpha", &WindowState::txtWTestAlpha, false));
    addRow(normalityGrid, 3, makeLabel("lblWtestPassFail", &WindowState::lblWtestPassFail),
           makeField("txtWTestPassFail", &WindowState::txtWTestPassFail, false));
    QLineEdit* override = makeField("txtOverride", &WindowState::txtOverride, false);
    // Room for its longest text, "Not Invoked".
    override->setMinimumWidth(override->fontMetrics().horizontalAdvance("Not Invoked") + 16);
    addRow(normalityGrid, 4, makeLabel("lblOverride", &WindowState::lblOverride), override);
    normalityGrid->addWidget(makePicture("imgWtestPassFail", &WindowState::imgWtestPassFail), 0, 2,
                             2, 1, Qt::AlignTop | Qt::AlignRight);
    normalityGrid->setRowStretch(5, 1);

    auto* sced = new QGroupBox(qs(core_->ui.Frame11.caption));
    sced->setObjectName("Frame11");
    frames_.push_back({&WindowState::Frame11, sced});
    auto* scedGrid = new QGridLayout(sced);
    addRow(scedGrid, 0, makeLabel("lblNormCalc", &WindowState::lblNormCalc),
           makeField("txtScedCalcVal", &WindowState::txtScedCalcVal, false));
    addRow(scedGrid, 1, makeLabel("lblNormCritValue", &WindowState::lblNormCritValue),
           makeField("txtScedCritVal", &WindowState::txtScedCritVal, false));
    QLineEdit* scedDf = makeField("txtScedDegFreedom", &WindowState::txtScedDegFreedom, false);
    scedDf->setMinimumWidth(36);
    scedDf->setMaximumWidth(48);
    scedDf->setToolTip("Degrees of freedom");
    scedGrid->addWidget(scedDf, 1, 2);
    addRow(scedGrid, 2, makeLabel("lblScedAlpha", &WindowState::lblScedAlpha),
           makeField("txtScedAlpha", &WindowState::txtScedAlpha, false));
    addRow(scedGrid, 3, makeLabel("lblHomogen", &WindowState::lblHomogen),
           makeField("txtScedPassfail", &WindowState::txtScedPassfail, false));
    scedGrid->addWidget(makePicture("imgSced", &WindowState::imgSced), 0, 3, 2, 1,
                        Qt::AlignTop | Qt::AlignRight);
    scedGrid->setRowStretch(4, 1);

    auto* test = new QGroupBox("Test of Experimental Hypothesis");
    test->setObjectName("Frame12");
    auto* testGrid = new QGridLayout(test);
    const auto addPair = [&](int row, int column, QLabel* label, QWidget* field) {
        if (label != nullptr) {
            label->setBuddy(field);
            testGrid->addWidget(label, row, column);
        }
        testGrid->addWidget(field, row, column + 1);
    };
    addPair(0, 0, caption("Statistic:", test),
            makeField("txtTstStat", &WindowState::txtTstStat, false));
    addPair(1, 0, caption("Calculated Statistic:", test),
            makeField("txtTstCalcStat", &WindowState::txtTstCalcStat, false));
    addPair(2, 0, caption("Critical Value:", test),
            makeField("txtTstCritVal", &WindowState::txtTstCritVal, false));
    // On two lines: the panel has to fit beside the entries on a narrow screen.
    addPair(3, 0, caption("Accept Null\nHypothesis:", test),
            makeField("txtTstPassFail", &WindowState::txtTstPassFail, false));
    addPair(0, 2, caption("Transform Type:", test),
            makeField("txtTstTransMeth", &WindowState::txtTstTransMeth, false));
    addPair(1, 2, caption("Alpha Level:", test),
            makeField("txtTstAlpha", &WindowState::txtTstAlpha, false));
    addPair(2, 2, makeLabel("lblDf", &WindowState::lblDf),
            makeField("txtTstDegFreedom", &WindowState::txtTstDegFreedom, false));
    addPair(3, 2, makeLabel("lblTstPower", &WindowState::lblTstPower),
            makeField("txtTstPower", &WindowState::txtTstPower, false));
    for (QLineEdit* edit : test->findChildren<QLineEdit*>()) {
        edit->setMinimumWidth(48);
        edit->setMaximumWidth(QWIDGETSIZE_MAX);
    }
    testGrid->addWidget(makePicture("imgTestPassFail", &WindowState::imgTestPassFail), 0, 4, 2, 1,
                        Qt::AlignTop | Qt::AlignHCenter);
    QLineEdit* balanced = makeField("txtTstBalanced", &WindowState::txtTstBalanced, false);
    balanced->setMinimumWidth(40);
    balanced->setMaximumWidth(60);
    balanced->setToolTip("Whether the design is balanced (neither sample twice the other)");
    QLabel* balancedLabel = caption("Balanced:", test);
    balancedLabel->setObjectName("lblTstBalanced");
    balancedLabel->setBuddy(balanced);
    testGrid->addWidget(balancedLabel, 2, 4, Qt::AlignBottom);
    testGrid->addWidget(balanced, 3, 4, Qt::AlignTop);
    testGrid->setColumnStretch(1, 2);
    testGrid->setColumnStretch(3, 1);
    layout->addWidget(test, 0, 0);
    resultPanels_.push_back(test);

    // The verdict stays on top; the two pre-tests, the treatments and the plot share the room
    // below the messages as tabs, so that a small screen still shows the verdict and the
    // messages.
    auto* tabs = new QTabWidget;
    tabs->setObjectName("tabResults");
    const auto pair = [](QWidget* left, QWidget* right) {
        auto* page = new QWidget;
        auto* row = new QHBoxLayout(page);
        row->setContentsMargins(2, 2, 2, 2);
        row->addWidget(left, 1);
        if (right != nullptr) {
            row->addWidget(right, 1);
        }
        return page;
    };
    tabs->addTab(pair(normality, nullptr), "&Normality");
    tabs->addTab(pair(sced, nullptr), "&Homoscedasticity");
    tabs->addTab(pair(testPanel, referencePanel), "T&reatments");
    tabs->addTab(pair(plot_, nullptr), "P&lot");
    resultTabs_ = tabs;
    for (const PictureBinding& b : pictures_) {
        resultPanels_.push_back(b.widget);
    }

    // Compact panels: the window has to fit a 600-pixel-high screen.
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setVerticalSpacing(4);
    QList<QGroupBox*> panels = results->findChildren<QGroupBox*>();
    panels += tabs->findChildren<QGroupBox*>();
    for (QGroupBox* panel : panels) {
        if (auto* grid = qobject_cast<QGridLayout*>(panel->layout())) {
            grid->setContentsMargins(6, 2, 6, 4);
            grid->setVerticalSpacing(2);
        }
    }
    return results;
}

QWidget* MainForm::buildMessages() {
    auto* messages = new QGroupBox("Messages");
    messages->setObjectName("Frame6");
    status_ = new QPlainTextEdit;
    status_->setObjectName("Status");
    status_->setReadOnly(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Messages are read, never typed: no blinking caret.
    status_->setCursorWidth(0);
    status_->setMinimumHeight(64);
    (new QVBoxLayout(messages))->addWidget(status_);
    return messages;
}

QWidget* MainForm::buildCentre() {
    // In the scroll area the content never shrinks below its least size, at which every grid
    // row and label still shows: a smaller window scrolls instead of squeezing them.
    auto* centre = new QWidget;
    centre->setObjectName("frmContent");
    auto* layout = new QHBoxLayout(centre);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(buildEntryColumn(), 0);
    auto* right = new QVBoxLayout;
    right->addWidget(buildResults(), 0);
    right->addWidget(buildMessages(), 1);
    right->addWidget(resultTabs_, 0);
    layout->addLayout(right, 1);
    // Switching an option on shows its fields in room kept for them: nothing else moves.
    for (const FieldBinding& b : fields_) {
        QSizePolicy policy = b.edit->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        b.edit->setSizePolicy(policy);
    }
    for (const FrameBinding& b : frames_) {
        QSizePolicy policy = b.box->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        b.box->setSizePolicy(policy);
    }
    return centre;
}

void MainForm::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("sbStatus");
    sampleFile_ = new QLabel;
    sampleFile_->setObjectName("sbSampleFile");
    bar->addWidget(sampleFile_, 1);
    const auto logButton = [this, bar](const char* name, void (*stop)(MainWindow&)) {
        auto* button = new QToolButton;
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, stop] { forward(stop); });
        bar->addPermanentWidget(button);
        return button;
    };
    detailLog_ = logButton("sbDetailLog", mnuLogDetail_Click);
    summaryLog_ = logButton("sbSummaryLog", mnuLogSummary_Click);
}

void MainForm::buildTabOrder() {
    const char* order[] = {"txtProjectName", "Grid1",      "txtSampId",    "txtSampAlias",
                           "cmdClearSamp",   "Grid2",      "txtRefId",     "txtRefAlias",
                           "cmdClearRef",    "cbHypoAlt",  "cbHypoNull",   "cbAlphaLevel",
                           "cbTransMethod",  "cmdExecute", "txtDiff_levl", "Status"};
    QWidget* previous = nullptr;
    for (const char* name : order) {
        auto* widget = findChild<QWidget*>(QString::fromLatin1(name));
        if (widget != nullptr && previous != nullptr) {
            setTabOrder(previous, widget);
        }
        previous = widget != nullptr ? widget : previous;
    }
}

// ---------------------------------------------------------------------------------------------
// Showing the core's state

void MainForm::refresh() {
    const WindowState& ui = core_->ui;

    // Pictures first: a missing picture file posts a status line, shown below.
    for (const PictureBinding& b : pictures_) {
        showPicture(b.widget, ui.*(b.picture));
    }

    for (const FieldBinding& b : fields_) {
        const Field& field = ui.*(b.field);
        const QString text = qs(field.text);
        if (b.edit->text() != text) {
            b.edit->setText(text);
            if (b.edit->isReadOnly()) {
                b.edit->setCursorPosition(0);
            }
        }
        b.edit->setEnabled(field.enabled);
        b.edit->setVisible(field.visible);
    }
    for (const LabelBinding& b : labels_) {
        const Label& label = ui.*(b.label);
        b.widget->setText(labelText(label.caption));
        b.widget->setEnabled(label.enabled);
    }
    // Results from entries that have changed since are greyed, never blanked.
    const bool stale = ui.resultsStale;
    for (QWidget* panel : resultPanels_) {
        panel->setEnabled(!stale);
    }
    for (const FrameBinding& b : frames_) {
        const Frame& frame = ui.*(b.frame);
        const bool result = b.frame == &WindowState::Frame10 || b.frame == &WindowState::Frame11;
        b.box->setTitle(qs(frame.caption));
        b.box->setEnabled(frame.enabled && !(result && stale));
        b.box->setVisible(frame.visible);
    }
    for (const ListBinding& b : lists_) {
        const OptionList& list = ui.*(b.list);
        const QString text = qs(list.text);
        QLineEdit* edit = b.combo->lineEdit();
        // The entry with the list's text becomes the current one, so that the arrow keys
        // pick its neighbours; any other text is simply shown.
        const int entry = b.combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (entry >= 0 && entry != b.combo->currentIndex()) {
            b.combo->setCurrentIndex(entry);
        }
        if (edit->text() != text) {
            b.combo->setEditText(text);
        }
        if (list.selLength > 0) {
            edit->setSelection(list.selStart, list.selLength);
        } else if (edit->hasSelectedText()) {
            edit->deselect();
        }
    }
    for (const MenuBinding& b : menus_) {
        const MenuEntry& entry = ui.*(b.entry);
        b.action->setText(menuCaption(entry.caption, b.mnemonic));
        if (b.action->isCheckable()) {
            b.action->setChecked(entry.checked);
        }
    }

    cmdExecute_->setEnabled(ui.cmdExecuteEnabled);
    mnuLoadExec_->setEnabled(ui.cmdExecuteEnabled);
    mnuFileReport_->setEnabled(ui.mnuFileReportEnabled);

    grid1_->refresh(ui.transformsStale);
    grid2_->refresh(ui.transformsStale);
    text2_->setText(qs(ui.Text2));
    plot_->update();
    showFiles();
    showStatus();
}

void MainForm::showFiles() {
    const WindowState& ui = core_->ui;
    const QFileInfo sample(qs(ui.sampleFilePath));
    setWindowTitle(ui.sampleFilePath.empty()
                       ? QString::fromLatin1(kAppTitle)
                       : sample.fileName() + QString::fromUtf8(" \u2014 ") + kAppTitle);
    sampleFile_->setText(ui.sampleFilePath.empty() ? QString()
                                                   : "Sample file: " + qs(ui.sampleFilePath));
    const struct {
        QToolButton* button;
        bool active;
        const std::string& name;
        const std::string& path;
        const char* kind;
    } logs[] = {
        {detailLog_, ui.detailedLogging, ui.detailedLogFileName, ui.detailedLogPath, "Detailed"},
        {summaryLog_, ui.summaryLogging, ui.summaryLogFileName, ui.summaryLogPath, "Summary"},
    };
    for (const auto& log : logs) {
        log.button->setVisible(log.active);
        log.button->setText(QString::fromLatin1(log.kind) + " log: " + qs(log.name) +
                            QString::fromUtf8(" \u2014 click to stop"));
        log.button->setToolTip("Logging to " + qs(log.path) + ". Click to stop.");
    }
}

void MainForm::showStatus() {
    const WindowState& ui = core_->ui;
    const QString text = statusForDisplay(ui.Status);
    if (status_->toPlainText() == text) {
        return;
    }
    status_->setPlainText(text);
    // The caret where the core puts it (after the last character): the newest line in view.
    const std::size_t caret = std::min(ui.statusCaret, ui.Status.size());
    QTextCursor cursor = status_->textCursor();
    cursor.setPosition(static_cast<int>(statusForDisplay(ui.Status.substr(0, caret)).size()));
    status_->setTextCursor(cursor);
    status_->ensureCursorVisible();
}

void MainForm::showPicture(QLabel* widget, Picture picture) {
    if (picture == Picture::None) {
        widget->clear();
        widget->setProperty("picture", QString());
        widget->setToolTip(QString());
        return;
    }
    const QString path = qs(core_->programFile(pictureFileName(picture)));
    auto cached = pictureCache_.constFind(path);
    if (cached == pictureCache_.constEnd()) {
        QPixmap pixmap;
        if (!pixmap.load(path) || pixmap.isNull()) {
            // An empty picture field and one line in the status list: never a failure.
            widget->clear();
            widget->setProperty("picture", QString());
            widget->setToolTip(pictureMeaning(picture));
            if (!missingPictures_.contains(path)) {
                missingPictures_.insert(path);
                core_->postStatus("     Picture <" + path.toStdString() + "> could not be shown.");
            }
            return;
        }
        missingPictures_.remove(path);
        cached = pictureCache_.insert(path, pixmap);
    }
    widget->setPixmap(*cached);
    widget->setProperty("picture", QString::fromLatin1(pictureKey(picture)));
    widget->setToolTip(pictureMeaning(picture));
}

QString MainForm::helpTopicForFocus() const {
    // The guide's heading for each part of the window; the window's own section otherwise.
    static const struct {
        const char* widget;
        const char* anchor;
    } kTopics[] = {
        {"cbTransMethod", "transformations"},
        {"Frame1", "transformations"},
        {"txtDiff_levl", "power"},
        {"Frame13", "power"},
        {"cbHypoAlt", "what-it-is-for"},
        {"cbHypoNull", "what-it-is-for"},
        {"cbAlphaLevel", "what-it-is-for"},
        {"Frame10", "how-the-test-is-chosen"},
        {"Frame11", "how-the-test-is-chosen"},
        {"Frame12", "the-tests"},
        {"Frame2", "the-window"},
        {"Frame9", "the-window"},
    };
    for (QWidget* at = QApplication::focusWidget(); at != nullptr; at = at->parentWidget()) {
        for (const auto& topic : kTopics) {
            if (at->objectName() == QLatin1String(topic.widget)) {
                return QString::fromLatin1(topic.anchor);
            }
        }
    }
    return QStringLiteral("the-window");
}

void MainForm::applyFocusRequest(FocusTarget target) {
    switch (target) {
        case FocusTarget::ProjectName:
            if (auto* edit = findChild<QLineEdit*>("txtProjectName")) {
                edit->setFocus(Qt::OtherFocusReason);
            }
            break;
        case FocusTarget::Grid1:
            grid1_->setFocus(Qt::OtherFocusReason);
            break;
        case FocusTarget::Grid2:
            grid2_->setFocus(Qt::OtherFocusReason);
            break;
        case FocusTarget::None:
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// Dropping a sample data file

namespace {

QString droppedDataFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls()) {
        return {};
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile() &&
            QFileInfo(url.toLocalFile()).suffix().compare("dbf", Qt::CaseInsensitive) == 0) {
            return url.toLocalFile();
        }
    }
    return {};
}

}  // namespace

void MainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedDataFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainForm::dropEvent(QDropEvent* event) {
    const QString path = droppedDataFile(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    loadDroppedFile(path);
}

void MainForm::closeEvent(QCloseEvent* event) {
    bool leave = true;
    forward([&leave](MainWindow& w) { leave = requestExit(w); });
    if (leave) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainForm::loadDroppedFile(const QString& path) {
    const QFileInfo file(path);
    forward([folder = file.absolutePath().toStdString(), name = file.fileName().toStdString()](
                MainWindow& w) { loadSampleFile(w, folder, name); });
}

}  // namespace bx::gui
