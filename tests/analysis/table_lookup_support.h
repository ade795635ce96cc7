#pragma once
// A table lookup on the build's generated tables whose warnings are collected, for testing the
// statistical kernels without a window.

#include "support/test_support.h"
#include "tables/lookup.h"
#include "tables/stat_tables.h"

namespace bx::test {

struct TableLookup {
    CollectingSink sink;
    Lookup lookup{StatTables::load(programFolder()), sink};
};

}  // namespace bx::test
