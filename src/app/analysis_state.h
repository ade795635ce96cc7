// SPDX-License-Identifier: MIT
#pragma once
// The analysis state the window keeps: the four value arrays of the current entries, the
// entries as last checked, and the last completed run with its choices. One instance per
// window; every run overwrites it.

#include <optional>

#include "entry/entry_check.h"
#include "entry/value_array.h"
#include "statistics/comparison.h"

namespace bx {

struct AnalysisState {
    ValueArray SampRaw = ValueArray::zeros();  // the Data columns as texts
    ValueArray RefRaw = ValueArray::zeros();
    ValueArray SampTrans = ValueArray::zeros();  // transformed, then ranks or rankits
    ValueArray RefTrans = ValueArray::zeros();
    bool RankitUsed = false;

    EntryCheck checked;                // the entries as the last check read them
    std::optional<Comparison> result;  // the last run that tested the hypothesis
    AnalysisOptions options;           // ...and the choices it ran with
};

}  // namespace bx
