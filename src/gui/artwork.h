// SPDX-License-Identifier: MIT
#pragma once
// The program's own pictures, drawn with vector paths so that they need no font and no file:
// the three verdict pictures and the "not applicable" sign of the result panels, and the
// program's icon. The build writes the first four into the program folder; the window reads
// them back from there.

#include <QImage>

namespace bx::gui {

enum class Artwork { Passed, Failed, Undecided, NotApplicable, ProgramIcon };

// The picture drawn on a transparent (or, for the bitmaps, white) square of `size` pixels.
QImage drawArtwork(Artwork which, int size);

}  // namespace bx::gui
