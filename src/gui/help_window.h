#pragma once
// The user guide inside the program: guide.md rendered to formatted text (headings, tables,
// lists, code and its pictures) with a find field, opened at a topic.

#include <QString>
#include <QTextBrowser>
#include <QWidget>

class QLineEdit;

namespace bx::gui {

// The guide's Markdown as HTML, each heading carrying the anchor its links use ("the-window"
// for "## The window").
QString guideHtml(const QByteArray& markdown);

// A heading's anchor as the guide's contents links spell it: lower case, blanks as "-", other
// punctuation dropped.
QString headingAnchor(const QString& heading);

// A text view that also shows the guide's SVG pictures.
class GuideBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl& name) override;
};

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the guide at `path` scrolled to the heading with anchor `topic` (the top when
    // empty); false when the file cannot be read.
    bool showGuide(const QString& path, const QString& topic);

    // Finds the find field's text after the cursor, from the top again at the end.
    void findNext();

  private:
    GuideBrowser* browser_;
    QLineEdit* find_;
    QString path_;
};

}  // namespace bx::gui
