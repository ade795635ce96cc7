#include "entry/entry_check.h"

#include <cmath>

#include "base/text_format.h"
#include "statistics/transformations.h"

namespace bx {
namespace {

const char* sampleName(int sample) {
    return sample == 1 ? "Test sample (x1)" : "Reference sample (x2)";
}

const char* domainRule(Transformation method) {
    return method == Transformation::Log10 ? "values must be above -1"
                                           : "values must be at least -0.375";
}

// Values that no statistic may be computed from: not finite, or outside the domain of the
// chosen transformation. Returns the refusal for the first such value.
std::optional<std::string> unusableValue(const ValueArray& values, int sample,
                                         Transformation method) {
    const int n = CountValues(values);
    for (int row = 1; row <= n; ++row) {
        const std::string text = slotText(values[row]);
        const double x = slotValue(values[row]);
        const std::string where = std::string(sampleName(sample)) + ", row " + std::to_string(row);
        if (!std::isfinite(x)) {
            return where + ": \"" + text + "\" is not a finite number. Data NOT analysed.";
        }
        if (!inTransformDomain(method, x)) {
            return where + ": " + text + " cannot be transformed by \"" +
                   std::string(transformationCaption(method)) + "\" (" + domainRule(method) +
                   "). Data NOT analysed.";
        }
    }
    return std::nullopt;
}

// A replicate whose text is not wholly a number is read by its leading number; say so.
void warnAboutPartialNumbers(EntryCheck& check, const ValueArray& values, int sample) {
    const int n = CountValues(values);
    for (int row = 1; row <= n; ++row) {
        const std::string text = slotText(values[row]);
        const LeadingNumber parsed = parseLeadingNumber(text);
        if (!parsed.wholeText) {
            check.warnings.push_back("     Warning: " + std::string(sampleName(sample)) +
                                     ", row " + std::to_string(row) + ": \"" + text +
                                     "\" is not wholly a number; it is read as " +
                                     numberToText(parsed.value) + ".");
        }
    }
}

}  // namespace

EntryCheck checkEntries(const EntryTexts& entries) {
    EntryCheck check;
    const int n1 = CountValues(entries.test);
    const int n2 = CountValues(entries.reference);
    if (n1 < 3) {
        check.refusal = "Sample Data entry incomplete.";
        return check;
    }
    check.transformationDefaulted = entries.transformation.empty();
    const std::string_view method =
        check.transformationDefaulted ? transformationCaption(Transformation::None)
                                      : entries.transformation;
    if (n2 < 3 && !(entries.oneSampleOption && n2 >= 1)) {
        check.refusal = "Reference Data entry incomplete.";
        check.referenceIncomplete = true;
        return check;
    }
    const std::optional<Transformation> transformation = transformationOf(method);
    if (!transformation) {
        check.refusal = "No Transformation Method Selected!";
        return check;
    }
    const std::optional<double> alpha = alphaOf(entries.alpha);
    if (!alpha) {
        check.refusal = "Invalid Alpha Level Selected!";
        return check;
    }
    const std::optional<Alternative> alternative =
        alternativeOf(entries.alternative, entries.nullHypothesis);
    if (!alternative) {
        check.refusal = "Invalid Experimental Hypothesis Selected!";
        return check;
    }
    check.refusal = unusableValue(entries.test, 1, *transformation);
    if (!check.refusal) {
        check.refusal = unusableValue(entries.reference, 2, *transformation);
    }
    if (check.refusal) {
        return check;
    }
    warnAboutPartialNumbers(check, entries.test, 1);
    warnAboutPartialNumbers(check, entries.reference, 2);

    check.testCount = valuesOf(entries.test, check.test);
    check.referenceCount = valuesOf(entries.reference, check.reference);
    check.options.alternative = *alternative;
    check.options.alpha = *alpha;
    check.options.transformation = *transformation;
    check.options.oneSampleForFewReferences = entries.oneSampleOption;
    return check;
}

}  // namespace bx
