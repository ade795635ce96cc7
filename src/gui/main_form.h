// SPDX-License-Identifier: MIT
#pragma once
// The main window on screen. It owns the headless core (bx::MainWindow) and holds no program
// state of its own: every user action is forwarded to a core command, and after each one the
// window shows the core's state again (texts, enabled and visible states, pictures, option
// lists, check marks, menu captions, grids and the status list).

#include <QHash>
#include <QMainWindow>
#include <QPixmap>
#include <QSet>
#include <functional>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "gui/qt_desktop.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace bx::gui {

class GridView;
class ReplicatePlot;
class SurveyWindow;

class MainForm : public QMainWindow {
    Q_OBJECT
  public:
    // `tables` may be shared between windows; when null they are read from the program folder.
    explicit MainForm(StartupFolders folders, std::shared_ptr<const StatTables> tables = nullptr,
                      QWidget* parent = nullptr);
    ~MainForm() override;

    MainWindow& core() { return *core_; }
    QtDesktop& desktop() { return desktop_; }

    // File > Open Survey…: the survey window, made at its first use and shown.
    SurveyWindow& openSurveyWindow();
    SurveyWindow* surveyWindow() const { return survey_.get(); }

    // File > "Report Document...": Execute, then the run's report document written to `path`
    // (.pdf or .html; asked for when empty), asking before replacing a file. The status list
    // says what was written, with its full path.
    void saveReportDocument(std::string path = {});

    // Start-up of the core (before the window is shown), then the first display.
    void formLoad();

    // Runs one command on the core, reports anything it throws, and shows the outcome.
    void forward(const std::function<void(MainWindow&)>& command);

    // Shows the core's state in every widget.
    void refresh();

    // Loads a dropped sample data file as File > Load From does with that file chosen.
    void loadDroppedFile(const QString& path);

    // Sizes the window for a screen whose free area is `available`: its natural size when that
    // fits, else as large as the area allows, the content scrolling. Done once at start-up with
    // the window's screen.
    void fitToScreen(const QRect& available);

    // The settings group and key of the "Don't ask again" choice.
    static constexpr const char* kAskSetting = "confirm/askBeforeDiscarding";

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Exit and the window's close button ask first when unsaved entries would be lost.
    void closeEvent(QCloseEvent* event) override;

  private:
    struct FieldBinding {
        Field WindowState::*field;
        QLineEdit* edit;
    };
    struct LabelBinding {
        Label WindowState::*label;
        QLabel* widget;
    };
    struct FrameBinding {
        Frame WindowState::*frame;
        QGroupBox* box;
    };
    struct PictureBinding {
        Picture WindowState::*picture;
        QLabel* widget;
    };
    struct ListBinding {
        OptionList WindowState::*list;
        QComboBox* combo;
    };
    struct MenuBinding {
        MenuEntry WindowState::*entry;
        QAction* action;
        QChar mnemonic;  // the caption's letter that gets the "&"
    };

    void buildMenus();
    QWidget* buildCentre();
    QWidget* buildEntryColumn();
    QWidget* buildResults();
    QWidget* buildMessages();
    void buildStatusBar();
    void buildTabOrder();

    QLineEdit* makeField(const char* name, Field WindowState::*field, bool editable);
    QLabel* makeLabel(const char* name, Label WindowState::*label);
    QLabel* makePicture(const char* name, Picture WindowState::*picture);
    QComboBox* makeList(const char* name, OptionList WindowState::*list);
    QAction* makeAction(QMenu* menu, const char* name, const char* caption,
                        const std::function<void(MainWindow&)>& command);
    GridView* makeGrid(const char* name, int gridIndex);

    void showPicture(QLabel* widget, Picture picture);
    void showStatus();
    void showFiles();
    void keepSettings();
    void applyFocusRequest(FocusTarget target);
    // The guide's anchor for the panel that has the focus.
    QString helpTopicForFocus() const;

    QtDesktop desktop_;
    std::unique_ptr<MainWindow> core_;

    std::vector<FieldBinding> fields_;
    std::vector<LabelBinding> labels_;
    std::vector<FrameBinding> frames_;
    std::vector<PictureBinding> pictures_;
    std::vector<ListBinding> lists_;
    std::vector<MenuBinding> menus_;

    GridView* grid1_ = nullptr;
    GridView* grid2_ = nullptr;
    QPlainTextEdit* status_ = nullptr;
    QLineEdit* text2_ = nullptr;
    ReplicatePlot* plot_ = nullptr;
    std::unique_ptr<SurveyWindow> survey_;
    QPushButton* cmdExecute_ = nullptr;
    QAction* mnuLoadExec_ = nullptr;
    QAction* mnuFileReport_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QWidget* resultTabs_ = nullptr;
    // The result panels and pictures that grey while the results are stale.
    std::vector<QWidget*> resultPanels_;
    QLabel* sampleFile_ = nullptr;
    QToolButton* detailLog_ = nullptr;
    QToolButton* summaryLog_ = nullptr;
    bool askSetting_ = true;

    // Pictures read from the program folder, and those already reported as missing.
    QHash<QString, QPixmap> pictureCache_;
    QSet<QString> missingPictures_;

    int commandDepth_ = 0;
};

}  // namespace bx::gui
