// SPDX-License-Identifier: MIT
// Build step: draws the verdict pictures into the program folder given as the only argument.
//   ok.bmp (passed), fail.bmp (failed), question.bmp (not decided), bart1.ico (not applicable)

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <cstdio>

#include "gui/artwork.h"

namespace {

constexpr int kPictureSize = 48;

bool writePicture(const QDir& folder, const char* name, const char* format, const QImage& image) {
    QImageWriter writer(folder.filePath(QString::fromLatin1(name)), format);
    if (!writer.write(image)) {
        std::fprintf(stderr, "make_pictures: cannot write %s: %s\n", name,
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures <program folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.absolutePath())) {
        std::fprintf(stderr, "make_pictures: cannot create %s\n", argv[1]);
        return 1;
    }
    using bx::gui::Artwork;
    using bx::gui::drawArtwork;
    const auto bitmap = [](Artwork which) {
        return drawArtwork(which, kPictureSize).convertToFormat(QImage::Format_RGB32);
    };
    bool ok = writePicture(folder, "ok.bmp", "BMP", bitmap(Artwork::Passed));
    ok = writePicture(folder, "fail.bmp", "BMP", bitmap(Artwork::Failed)) && ok;
    ok = writePicture(folder, "question.bmp", "BMP", bitmap(Artwork::Undecided)) && ok;
    ok = writePicture(folder, "bart1.ico", "ICO", drawArtwork(Artwork::NotApplicable, 32)) && ok;
    return ok ? 0 : 1;
}
