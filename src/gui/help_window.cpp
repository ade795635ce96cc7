#include "gui/help_window.h"

#include <cmark.h>

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdlib>

namespace bx::gui {

QString headingAnchor(const QString& heading) {
    QString anchor;
    for (const QChar c : heading.toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')) {
            anchor += c;
        } else if (c == QLatin1Char(' ')) {
            anchor += QLatin1Char('-');
        }
    }
    return anchor;
}

QString guideHtml(const QByteArray& markdown) {
    char* rendered = cmark_markdown_to_html(
        markdown.constData(), static_cast<std::size_t>(markdown.size()), CMARK_OPT_DEFAULT);
    QString html = QString::fromUtf8(rendered);
    std::free(rendered);
    // Each heading gets the anchor the contents' links point at.
    static const QRegularExpression heading(QStringLiteral("<h([1-6])>(.*?)</h\\1>"));
    QString out;
    qsizetype last = 0;
    for (auto it = heading.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString text = m.captured(2);
        text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
        out += html.mid(last, m.capturedStart() - last);
        out += QStringLiteral("<a name=\"%1\"></a>").arg(headingAnchor(text)) + m.captured(0);
        last = m.capturedEnd();
    }
    out += html.mid(last);
    return out;
}

QVariant GuideBrowser::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::ImageResource && name.path().endsWith(QLatin1String(".svg"))) {
        // Relative to the guide's own folder.
        const QUrl url = name.isRelative() ? document()->baseUrl().resolved(name) : name;
        QSvgRenderer svg(url.isLocalFile() ? url.toLocalFile() : name.path());
        if (svg.isValid()) {
            const QSize size = svg.defaultSize().boundedTo(QSize(900, 1400));
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter painter(&image);
            svg.render(&painter);
            return image;
        }
    }
    return QTextBrowser::loadResource(type, name);
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmHelp");
    setWindowTitle("Benthix User Guide");
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    auto* label = new QLabel("&Find:");
    find_ = new QLineEdit;
    find_->setObjectName("txtFind");
    find_->setClearButtonEnabled(true);
    label->setBuddy(find_);
    auto* next = new QPushButton("Find &Next");
    next->setObjectName("cmdFindNext");
    bar->addWidget(label);
    bar->addWidget(find_, 1);
    bar->addWidget(next);
    layout->addLayout(bar);
    browser_ = new GuideBrowser;
    browser_->setObjectName("txtGuide");
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_, 1);
    connect(find_, &QLineEdit::returnPressed, this, &HelpWindow::findNext);
    connect(next, &QPushButton::clicked, this, &HelpWindow::findNext);
    resize(760, 560);
}

bool HelpWindow::showGuide(const QString& path, const QString& topic) {
    if (path != path_) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return false;
        }
        const QString html = guideHtml(file.readAll());
        // Pictures are found beside the guide.
        browser_->setSearchPaths({QFileInfo(path).absolutePath()});
        browser_->document()->setBaseUrl(QUrl::fromLocalFile(path));
        browser_->setHtml(html);
        path_ = path;
    }
    if (topic.isEmpty()) {
        browser_->moveCursor(QTextCursor::Start);
        browser_->scrollToAnchor(QStringLiteral(""));
    } else {
        browser_->scrollToAnchor(topic);
    }
    show();
    raise();
    activateWindow();
    return true;
}

void HelpWindow::findNext() {
    const QString text = find_->text();
    if (text.isEmpty()) {
        return;
    }
    if (!browser_->find(text)) {
        browser_->moveCursor(QTextCursor::Start);
        browser_->find(text);
    }
}

}  // namespace bx::gui
