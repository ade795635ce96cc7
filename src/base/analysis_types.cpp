// SPDX-License-Identifier: MIT
#include "base/analysis_types.h"

namespace bx {

namespace {

const AlternativeInfo& infoOf(Alternative alternative) {
    return kAlternatives[alternative == Alternative::Less ? 0 : 1];
}

const TransformationInfo& infoOf(Transformation transformation) {
    for (const TransformationInfo& t : kTransformations) {
        if (t.kind == transformation) {
            return t;
        }
    }
    return kTransformations[0];
}

}  // namespace

std::string_view alternativeCaption(Alternative alternative) {
    return infoOf(alternative).caption;
}

std::string_view nullCaption(Alternative alternative) {
    return infoOf(alternative).nullCaption;
}

std::string_view alternativeCode(Alternative alternative) {
    return infoOf(alternative).code;
}

std::optional<Alternative> alternativeOf(std::string_view alternativeText,
                                         std::string_view nullText) {
    for (const AlternativeInfo& a : kAlternatives) {
        if (alternativeText == a.caption && nullText == a.nullCaption) {
            return a.kind;
        }
    }
    return std::nullopt;
}

std::optional<Alternative> alternativeNamed(std::string_view codeOrCaption) {
    for (const AlternativeInfo& a : kAlternatives) {
        if (codeOrCaption == a.code || codeOrCaption == a.caption) {
            return a.kind;
        }
    }
    return std::nullopt;
}

std::string_view transformationCaption(Transformation transformation) {
    return infoOf(transformation).caption;
}

std::string_view transformationCode(Transformation transformation) {
    return infoOf(transformation).code;
}

std::optional<Transformation> transformationOf(std::string_view caption) {
    for (const TransformationInfo& t : kTransformations) {
        if (caption == t.caption) {
            return t.kind;
        }
    }
    return std::nullopt;
}

std::optional<Transformation> transformationNamed(std::string_view codeOrCaption) {
    for (const TransformationInfo& t : kTransformations) {
        if (codeOrCaption == t.code || codeOrCaption == t.caption) {
            return t.kind;
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
