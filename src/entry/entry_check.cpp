// SPDX-License-Identifier: MIT
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

// Reads a sample's counted values as numbers, in one pass over their texts. Values that no
// statistic may be computed from (not finite, or outside the transformation's domain) refuse
// the entries at the first such value; texts that are not wholly a number are read by their
// leading number and warned about.
bool readValues(EntryCheck& check, const ValueArray& values, int sample, Transformation method,
                bool strict, std::array<double, kMaxReplicates>& out, int& count) {
    count = CountValues(values);
    for (int row = 1; row <= count; ++row) {
        const Slot& slot = values[row];
        const std::string* text = std::get_if<std::string>(&slot);
        const LeadingNumber parsed = text != nullptr ? parseLeadingNumber(*text)
                                                     : LeadingNumber{slotValue(slot), true, true};
        const double x = parsed.value;
        const auto where = [&] {
            check.refusedSample = sample;
            check.refusedRow = row;
            return std::string(sampleName(sample)) + ", row " + std::to_string(row);
        };
        if (strict && !parsed.wholeText) {
            check.refusalCode = EntryRefusal::NotANumber;
            check.refusal = where() + ": " + quotedText(slotText(slot)) +
                            " is not a number. Data NOT analysed.";
            return false;
        }
        if (!std::isfinite(x)) {
            check.refusalCode = EntryRefusal::NotFinite;
            check.refusal = where() + ": " + quotedText(slotText(slot)) +
                            " is not a finite number. Data NOT analysed.";
            return false;
        }
        if (!inTransformDomain(method, x)) {
            check.refusalCode = EntryRefusal::OutsideDomain;
            check.refusal = where() + ": " + shortenedText(slotText(slot)) +
                            " cannot be transformed by \"" +
                            std::string(transformationCaption(method)) + "\" (" +
                            domainRule(method) + "). Data NOT analysed.";
            return false;
        }
        if (!parsed.wholeText) {
            check.warnings.push_back(
                "     Warning: " + where() + ": " + quotedText(slotText(slot)) +
                " is not wholly a number; it is read as " + numberToText(x) + ".");
        }
        out[static_cast<std::size_t>(row - 1)] = x;
    }
    return true;
}

}  // namespace

const char* entryRefusalName(EntryRefusal refusal) {
    switch (refusal) {
        case EntryRefusal::TooFewTestValues:
            return "too_few_test_values";
        case EntryRefusal::TooFewReferenceValues:
            return "too_few_reference_values";
        case EntryRefusal::NoTransformation:
            return "no_transformation";
        case EntryRefusal::InvalidAlpha:
            return "invalid_alpha";
        case EntryRefusal::InvalidHypothesis:
            return "invalid_hypothesis";
        case EntryRefusal::NotFinite:
            return "not_finite";
        case EntryRefusal::OutsideDomain:
            return "outside_domain";
        case EntryRefusal::NotANumber:
            return "not_a_number";
    }
    return "";
}

EntryCheck checkEntries(const EntryTexts& entries) {
    EntryCheck check;
    const int n1 = CountValues(entries.test);
    const int n2 = CountValues(entries.reference);
    if (n1 < 3) {
        check.refusalCode = EntryRefusal::TooFewTestValues;
        check.refusal = "Sample Data entry incomplete.";
        return check;
    }
    check.transformationDefaulted = entries.transformation.empty();
    const std::string_view method = check.transformationDefaulted
                                        ? transformationCaption(Transformation::None)
                                        : entries.transformation;
    if (n2 < 3 && !(entries.oneSampleOption && n2 >= 1)) {
        check.refusalCode = EntryRefusal::TooFewReferenceValues;
        check.refusal = "Reference Data entry incomplete.";
        check.referenceIncomplete = true;
        return check;
    }
    const std::optional<Transformation> transformation = transformationOf(method);
    if (!transformation) {
        check.refusalCode = EntryRefusal::NoTransformation;
        check.refusal = "No Transformation Method Selected!";
        return check;
    }
    const std::optional<double> alpha = alphaOf(entries.alpha);
    if (!alpha) {
        check.refusalCode = EntryRefusal::InvalidAlpha;
        check.refusal = "Invalid Alpha Level Selected!";
        return check;
    }
    const std::optional<Alternative> alternative =
        alternativeOf(entries.alternative, entries.nullHypothesis);
    if (!alternative) {
        check.refusalCode = EntryRefusal::InvalidHypothesis;
        check.refusal = "Invalid Experimental Hypothesis Selected!";
        return check;
    }
    // Every value of both samples is checked before any warning is given.
    const bool strict = entries.strictNumbers;
    if (!readValues(check, entries.test, 1, *transformation, strict, check.test, check.testCount) ||
        !readValues(check, entries.reference, 2, *transformation, strict, check.reference,
                    check.referenceCount)) {
        check.warnings.clear();
        return check;
    }
    check.options.alternative = *alternative;
    check.options.alpha = *alpha;
    check.options.transformation = *transformation;
    check.options.oneSampleForFewReferences = entries.oneSampleOption;
    return check;
}

}  // namespace bx
