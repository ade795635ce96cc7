// SPDX-License-Identifier: MIT
#include "survey/result_json.h"

#include <cmath>

#include "base/version.h"
#include "statistics/decision_trail.h"
#include "statistics/sample_summary.h"

namespace bx {
namespace {

using Json = nlohmann::ordered_json;

// A number, or null when it is absent or not finite (JSON has no infinity).
Json number(std::optional<double> value) {
    if (!value || !std::isfinite(*value)) {
        return nullptr;
    }
    return *value;
}

// A pre-test's verdict: null when it could not be made at its level.
Json verdict(bool testable, bool passed) {
    if (!testable) {
        return nullptr;
    }
    return passed;
}

const char* overrideCode(NormalityOverride o) {
    switch (o) {
        case NormalityOverride::Invoked:
            return "invoked";
        case NormalityOverride::NotInvoked:
            return "not_invoked";
        case NormalityOverride::NotApplicable:
            break;
    }
    return "not_applicable";
}

Json steps(const Comparison& c) {
    Json list = Json::array();
    for (const DecisionStep& s : decisionSteps(c)) {
        Json step;
        step["step"] = stepName(s, c);
        step["statistic"] = number(s.statistic);
        step["critical_value"] = number(s.criticalValue);
        step["outcome"] = outcomeName(s.outcome);
        list.push_back(std::move(step));
    }
    return list;
}

Json summary(const SampleSummary& s) {
    Json j = Json::object();
    for (const SummaryField& f : kSummaryFields) {
        const std::optional<double> v = f.value(s);
        if (f.whole && v) {
            j[std::string(f.key)] = static_cast<long long>(*v);
        } else {
            j[std::string(f.key)] = number(v);
        }
    }
    return j;
}

Json warnings(const EntryCheck& entries, const Comparison* c) {
    Json list = Json::array();
    for (const std::string& w : entries.warnings) {
        list.push_back({{"code", "partial_number"}, {"text", w}});
    }
    if (c != nullptr) {
        for (const Note& n : c->notes) {
            if (isWarning(n.code)) {
                list.push_back({{"code", noteCodeName(n.code)}, {"text", n.text}});
            }
        }
    }
    return list;
}

}  // namespace

const std::array<SummaryField, 7> kSummaryFields{{
    {"n", "N", true, [](const SampleSummary& s) -> std::optional<double> { return s.n; }},
    {"mean", "MEAN", false, [](const SampleSummary& s) -> std::optional<double> { return s.mean; }},
    {"sd", "SD", false, [](const SampleSummary& s) -> std::optional<double> { return s.sd; }},
    {"se", "SE", false, [](const SampleSummary& s) { return s.se; }},
    {"cv", "CV", false, [](const SampleSummary& s) { return s.cv; }},
    {"transformed_mean", "T_MEAN", false,
     [](const SampleSummary& s) -> std::optional<double> { return s.transformedMean; }},
    {"transformed_sd", "T_SD", false,
     [](const SampleSummary& s) -> std::optional<double> { return s.transformedSd; }},
}};

Json resultObject(const EntryCheck& entries, const Comparison* result) {
    const Comparison* c =
        !entries.refusal && result != nullptr && result->completed() ? result : nullptr;
    const AnalysisOptions& o = entries.options;
    Json j;
    j["test"] = c != nullptr ? Json(testCode(*c)) : Json(nullptr);
    j["alternative"] = alternativeCode(o.alternative);
    j["alpha"] = o.alpha;
    j["transformation"] = transformationCode(o.transformation);
    j["statistic"] = c != nullptr ? number(c->statistic()) : nullptr;
    j["critical_value"] = c != nullptr ? number(c->criticalValue()) : nullptr;
    j["df"] = c != nullptr && c->degreesOfFreedom() ? Json(*c->degreesOfFreedom()) : Json(nullptr);
    j["reject_null"] = c != nullptr ? Json(!c->acceptNull()) : Json(nullptr);
    j["p_value"] = c != nullptr ? number(c->pValue()) : nullptr;

    Json normality = nullptr;
    if (c != nullptr && c->normality) {
        const ShapiroWilkResult& w = *c->normality;
        normality = Json{{"w", number(w.w)},
                         {"critical_value", number(w.critical)},
                         {"normal", verdict(w.testable, w.normal)},
                         {"override", overrideCode(c->normalityOverride)}};
    }
    j["normality"] = std::move(normality);
    Json homoscedasticity = nullptr;
    if (c != nullptr && c->levene) {
        const LeveneResult& l = *c->levene;
        homoscedasticity = Json{{"statistic", number(l.absT)},
                                {"critical_value", number(l.critical)},
                                {"df", l.df},
                                {"equal_variances", verdict(l.testable, l.homoscedastic)}};
    }
    j["homoscedasticity"] = std::move(homoscedasticity);

    j["power"] = c != nullptr && c->power ? number(c->power->percent / 100.0) : nullptr;
    j["minimum_difference"] =
        c != nullptr && c->power ? number(o.minimumDifference) : Json(nullptr);
    j["test_mean"] = c != nullptr ? number(c->testSample.mean) : nullptr;
    j["reference_mean"] = c != nullptr ? number(c->referenceSample.mean) : nullptr;
    j["difference"] = c != nullptr ? number(c->difference()) : nullptr;
    j["percent_of_reference"] = c != nullptr ? number(c->percentOfReference()) : nullptr;
    const std::optional<double> msd =
        c != nullptr ? c->minimumSignificantDifference() : std::nullopt;
    j["msd"] = number(msd);
    const bool sameScale = o.transformation == Transformation::None && c != nullptr &&
                           !c->rankitsUsed() && c->referenceSample.mean != 0.0;
    j["pmsd"] = msd && sameScale ? number(100.0 * *msd / c->referenceSample.mean) : nullptr;
    j["steps"] = c != nullptr ? steps(*c) : Json::array();
    j["warnings"] = warnings(entries, entries.refusal ? nullptr : result);
    Json refused = nullptr;
    if (entries.refusal) {
        refused = Json{{"code", entryRefusalName(entries.refusalCode)}, {"text", *entries.refusal}};
    } else if (result != nullptr && !result->completed() && result->refusal) {
        refused =
            Json{{"code", noteCodeName(result->refusal->code)}, {"text", result->refusal->text}};
    }
    j["refused"] = std::move(refused);
    j["program"] = Json{{"name", "benthix"}, {"version", kVersion}};
    return j;
}

void addSampleSummaries(Json& result, const EntryCheck& entries, const Comparison* comparison) {
    const bool ran = !entries.refusal && comparison != nullptr && comparison->completed();
    result["test_summary"] = ran ? summary(sampleSummary(*comparison, true)) : Json(nullptr);
    result["reference_summary"] = ran ? summary(sampleSummary(*comparison, false)) : Json(nullptr);
}

}  // namespace bx
