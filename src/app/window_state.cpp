// SPDX-License-Identifier: MIT
#include "app/window_state.h"

namespace bx {

const char* pictureFileName(Picture picture) {
    switch (picture) {
        case Picture::Ok:
            return "ok.bmp";
        case Picture::Fail:
            return "fail.bmp";
        case Picture::Question:
            return "question.bmp";
        case Picture::NotApplicable:
            return "bart1.ico";
        case Picture::None:
            break;
    }
    return "";
}

const char* pictureKey(Picture picture) {
    switch (picture) {
        case Picture::Ok:
            return "ok";
        case Picture::Fail:
            return "fail";
        case Picture::Question:
            return "question";
        case Picture::NotApplicable:
            return "not-applicable";
        case Picture::None:
            break;
    }
    return "";
}

}  // namespace bx
