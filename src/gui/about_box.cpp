// SPDX-License-Identifier: MIT
#include "gui/about_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "gui/artwork.h"

namespace bx::gui {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAboutbox");
    setWindowTitle("About Benthix");
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setObjectName("picIcon");
    icon->setPixmap(QPixmap::fromImage(drawArtwork(Artwork::ProgramIcon, 64)));

    auto* title = new QLabel(QString::fromLatin1(kAppTitle), this);
    title->setObjectName("lblTitle");
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);

    auto* version =
        new QLabel(QStringLiteral("Version %1, %2")
                       .arg(QString::fromLatin1(kVersion), QString::fromLatin1(kReleaseDate)),
                   this);
    version->setObjectName("lblVersion");

    auto* description = new QLabel(
        "Statistical comparison of a test treatment (x1) with a reference treatment (x2) in "
        "bioassays.",
        this);
    description->setObjectName("lblDescription");
    description->setWordWrap(true);

    auto* credits = new QPlainTextEdit(this);
    credits->setObjectName("txtCredits");
    credits->setReadOnly(true);
    credits->setPlainText(
        "This product was developed by:\n"
        "    The Benthix project team\n"
        "\n"
        "Credits:\n"
        "    Normality test after S. S. Shapiro and M. B. Wilk (1965)\n"
        "    Homoscedasticity test after H. Levene (1960)\n"
        "    Rank test after H. B. Mann and D. R. Whitney (1947)\n"
        "    Window built with the Qt toolkit\n");
    credits->setMinimumHeight(140);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* heading = new QVBoxLayout;
    heading->addWidget(title);
    heading->addWidget(version);
    heading->addWidget(description);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(heading, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(credits, 1);
    layout->addLayout(buttons);
    resize(460, 320);
}

}  // namespace bx::gui
