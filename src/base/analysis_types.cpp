#include "base/analysis_types.h"

namespace bx {

std::string_view alternativeCaption(Alternative alternative) {
    return alternative == Alternative::Less ? "x1 < x2" : "x1 > x2";
}

std::string_view nullCaption(Alternative alternative) {
    return alternative == Alternative::Less ? "x1 >= x2" : "x1 <= x2";
}

std::optional<Alternative> alternativeOf(std::string_view alternativeText,
                                         std::string_view nullText) {
    for (const Alternative a : {Alternative::Less, Alternative::Greater}) {
        if (alternativeText == alternativeCaption(a) && nullText == nullCaption(a)) {
            return a;
        }
    }
    return std::nullopt;
}

std::string_view transformationCaption(Transformation transformation) {
    switch (transformation) {
        case Transformation::None:
            return "No Transformation";
        case Transformation::ArcSine:
            return "ArcSin";
        case Transformation::SquareRoot:
            return "Sqr Root (x + .375)";
        case Transformation::Log10:
            return "Log10 (x + 1.0)";
    }
    return "";
}

std::optional<Transformation> transformationOf(std::string_view caption) {
    for (const Transformation t : {Transformation::None, Transformation::ArcSine,
                                   Transformation::SquareRoot, Transformation::Log10}) {
        if (caption == transformationCaption(t)) {
            return t;
        }
    }
    return std::nullopt;
}

std::optional<double> alphaOf(std::string_view caption) {
    if (caption == "0.05") {
        return 0.05;
    }
    if (caption == "0.1") {
        return 0.1;
    }
    return std::nullopt;
}

std::string_view testName(TestKind test) {
    switch (test) {
        case TestKind::StudentT:
            return "Student's t";
        case TestKind::ApproximateT:
            return "Approximate t";
        case TestKind::MannWhitney:
            return "Mann-Whitney";
        case TestKind::OneSampleT:
            return "1-Sample t-Test";
    }
    return "";
}

}  // namespace bx
