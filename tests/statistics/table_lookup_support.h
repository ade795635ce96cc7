// SPDX-License-Identifier: MIT
#pragma once
// The build's generated tables, read once, with a lookup whose warnings are collected: for
// testing the statistical procedures on their own.

#include <memory>

#include "statistics/table_lookup.h"
#include "support/test_support.h"
#include "tables/stat_tables.h"

namespace bx::test {

struct TableLookupFixture {
    Notes notes;
    TableLookup lookup{generatedTables(), notes};
};

}  // namespace bx::test
