#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Validates what benthix-cli prints as JSON against docs/result.schema.json: every golden
file, analyze --json of each test path (with --explain and a refusal), and every line of
batch --format jsonl (with --p-adjust). Usage: json_schema_check.py CLI SOURCE_DIR WORK_DIR"""

import json
import pathlib
import subprocess
import sys

import jsonschema


def main():
    cli, source, work = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    work.mkdir(parents=True, exist_ok=True)
    schema = json.loads((source / "docs" / "result.schema.json").read_text())
    jsonschema.Draft202012Validator.check_schema(schema)
    whole = jsonschema.Draft202012Validator(schema)
    result = jsonschema.Draft202012Validator(
        {"$schema": schema["$schema"], "$defs": schema["$defs"], "$ref": "#/$defs/result"})
    failures = 0

    def check(validator, document, name):
        nonlocal failures
        for error in validator.iter_errors(document):
            failures += 1
            print(f"{name}: {error.json_path}: {error.message}")

    for golden in sorted((source / "tests" / "cli" / "golden").glob("*.json")):
        check(whole, json.loads(golden.read_text()), golden.name)

    runs = [
        ["--test", "10,11,12", "--reference", "14,15,16", "--power-difference", "2", "--explain"],
        ["--test", "7,18,18,8", "--reference", "13,17,12,19"],
        ["--test", "14,2,16,12", "--reference", "19,18,7,17", "--override", "no"],
        ["--test", "3,3,5,2", "--reference", "1,13,13,14", "--transform", "Log10 (x + 1.0)"],
        ["--test", "8,8,8", "--reference", "12,12,12", "--alternative", "x1 > x2"],
        ["--test", "6,7,8,9,10,11", "--reference", "5,9,7"],
        ["--test", "1,2", "--reference", "3,4,5"],
        ["--test", "1,2abc,3", "--reference", "3,4,5,1e999"],
    ]
    env = {"HOME": str(work), "PATH": "/usr/bin:/bin"}
    for i, args in enumerate(runs):
        out = subprocess.run([cli, "analyze", *args, "--json"], capture_output=True, text=True,
                             env=env, cwd=work).stdout
        check(whole, json.loads(out), f"analyze run {i}")

    survey = work / "survey.csv"
    lines = ["sample,value"] + [f"REF,{v}" for v in (14.2, 15.1, 15.8, 14.6)]
    for sample, values in {"A": "10 11 12", "B": "12abc 14 16 15", "C": "1", "D": "3 3 5 2",
                           "E": "14 2 16 12", "F": " ".join(["1"] * 11)}.items():
        lines += [f"{sample},{v}" for v in values.split()]
    survey.write_text("\n".join(lines) + "\n")
    out = subprocess.run([cli, "batch", str(survey), "--reference", "REF", "--format", "jsonl",
                          "--p-adjust", "holm"], capture_output=True, text=True, env=env,
                         cwd=work).stdout
    records = [json.loads(line) for line in out.splitlines()]
    if len(records) != 6:
        failures += 1
        print(f"batch: {len(records)} lines, 6 expected")
    for record in records:
        check(result, record, f"batch {record.get('sample')}")
    # Groups and a missing value.
    grouped = work / "grouped.csv"
    grouped.write_text("sample,endpoint,value\n" + "".join(
        f"{s},{e},{v}\n" for e in ("growth", "survival")
        for s, values in (("REF", "14 15 16"), ("A", "10 11 NA 12")) for v in values.split()))
    out = subprocess.run([cli, "batch", str(grouped), "--reference", "REF", "--format", "jsonl",
                          "--group", "endpoint"], capture_output=True, text=True, env=env,
                         cwd=work).stdout
    records = [json.loads(line) for line in out.splitlines()]
    if [r.get("group") for r in records] != [{"endpoint": "growth"}, {"endpoint": "survival"}]:
        failures += 1
        print(f"batch --group: {out}")
    for record in records:
        check(result, record, f"batch --group {record.get('sample')}")
    print(f"{failures} schema violations")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
