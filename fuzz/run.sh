#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets (preset "fuzz", clang) and fuzzes each reader for a bounded time:
# the table reader (the program's own tables as seed corpus) for about a minute, the survey
# readers (delimited text, .xlsx workbooks; small surveys made here as seeds) for about half a
# minute each.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${BX_FUZZ_SECONDS:-60}"
survey_seconds="${BX_FUZZ_SURVEY_SECONDS:-30}"

cmake --preset fuzz
cmake --build --preset fuzz -j"$(nproc)" --target table_fuzzer survey_fuzzer workbook_fuzzer

build=build/fuzz
corpus="$build/fuzz/table-corpus"
mkdir -p "$corpus" "$build/fuzz/artifacts"
cp "$build"/bin/*.dbf "$corpus"/

# Seeds of the survey readers: the first byte of a CSV seed picks the reading options.
csv_corpus="$build/fuzz/survey-corpus"
xlsx_corpus="$build/fuzz/workbook-corpus"
mkdir -p "$csv_corpus" "$xlsx_corpus"
printf '\000sample,value\nREF,10\nREF,11\nS1,"9,5"\nS1,NA\n' >"$csv_corpus/long.csv"
printf '\012sample;endpoint;value;note\nREF;growth;1,5;a\nS;growth;2,5;b\n' >"$csv_corpus/groups.csv"
printf '\020station,survival,growth\nREF,10,1.5\nS,=1+1,2\n' >"$csv_corpus/wide.csv"
python3 - "$xlsx_corpus/survey.xlsx" <<'PY'
import sys, zipfile
parts = {
    "[Content_Types].xml": '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
    "xl/workbook.xml": '<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Survey" sheetId="1" r:id="rId1"/></sheets></workbook>',
    "xl/_rels/workbook.xml.rels": '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>',
    "xl/sharedStrings.xml": '<?xml version="1.0"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>sample</t></si><si><t>value</t></si><si><t>REF</t></si><si><t>S1</t></si></sst>',
    "xl/worksheets/sheet1.xml": '<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row><row r="2"><c r="A2" t="s"><v>2</v></c><c r="B2"><v>10.5</v></c></row><row r="3"><c r="A3" t="s"><v>3</v></c><c r="B3"><v>9</v></c></row><row r="4"><c r="A4" t="inlineStr"><is><t>S2</t></is></c><c r="B4"><v>12</v></c></row></sheetData></worksheet>',
}
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for name, text in parts.items():
        z.writestr(name, text)
PY

# The fuzzer writes each input as a file: keep those in a scratch folder of its own, in memory
# where possible.
base=/tmp
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    base=/dev/shm
fi
TMPDIR="$(mktemp -d "$base/benthix-fuzz.XXXXXX")"
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

common=(-timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$build/fuzz/artifacts/")
"$build/fuzz/table_fuzzer" -max_total_time="$seconds" -max_len=8192 "${common[@]}" "$corpus"
"$build/fuzz/survey_fuzzer" -max_total_time="$survey_seconds" -max_len=16384 "${common[@]}" \
    "$csv_corpus"
"$build/fuzz/workbook_fuzzer" -max_total_time="$survey_seconds" -max_len=65536 "${common[@]}" \
    "$xlsx_corpus"
