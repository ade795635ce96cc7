#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end check of the Debian package. Builds it (scripts/package.sh, reusing build/release),
# then checks
#   - its control fields: name, version, section, and a Depends that names the package of every
#     shared library the programs are linked with, all installable (apt-get --simulate);
#   - its contents: programs, tables, templates, pictures, desktop entry, metainfo, icons,
#     manual pages, completion and documents where a desktop looks for them, and nothing else
#     in share/benthix (no report table);
#   - lintian (no error, no warning), the copyright file in the machine-readable format, and
#     that every relative link of the installed README and guide resolves;
#   - desktop-file-validate, appstreamcli validate --no-net, and the manual pages under man -l
#     (one exit-status section, the version in the footer);
#   - the programs unpacked into a temporary root (dpkg-deb -x) with share/benthix read-only,
#     run as an unprivileged user when this runs as root: benthix-cli analyze (text, JSON and
#     report), batch, validate with its PDF and HTML reports, the window's --version and --help
#     and a start of the window offscreen; their outputs, where they wrote (nothing in the home
#     folder that was not asked for), and that the unpacked tree is left as it was;
#   - the bash completion of benthix-cli.
# Prints what it checks; exits 1 on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
started=$SECONDS

fail() {
    echo "check-package: FAILED: $*" >&2
    exit 1
}
step() { echo "check-package: $*"; }

deb=$(scripts/package.sh | tail -n 1)
deb=$(realpath "$deb")
step "package $deb ($(du -k "$deb" | cut -f1) KiB)"

version=$(sed -nE 's/^project\(Benthix VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
release_date=$(sed -nE 's/^set\(BX_RELEASE_DATE ([0-9-]+)\)/\1/p' CMakeLists.txt)
desktop_id=$(sed -nE 's/^set\(BX_DESKTOP_ID "([^"]+)".*/\1/p' cmake/Version.cmake)
[ -n "$version" ] && [ -n "$release_date" ] && [ -n "$desktop_id" ] ||
    fail "version, release date or desktop id not found in the CMake files"

# --- Control fields ------------------------------------------------------------------------
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = benthix ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version-1" ] || fail "Version is '$(field Version)', not $version-1"
[ "$(field Section)" = science ] || fail "Section is '$(field Section)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture"
[[ "$(field Maintainer)" == *"<"*"@"*">" ]] || fail "Maintainer '$(field Maintainer)'"
description=$(field Description)
[[ "$description" == "compare a test treatment with a reference treatment in bioassays"* ]] ||
    fail "Description: $description"
[ "$(printf '%s\n' "$description" | wc -l)" -ge 5 ] || fail "Description has no long text"
printf '%s\n' "$description" | awk 'length > 80 { exit 1 }' ||
    fail "Description has lines longer than 80 characters"
depends=$(field Depends)
step "Depends: $depends"
# The package names in Depends, without versions, one a line.
depends_names=$(printf '%s\n' "$depends" | tr ',|' '\n\n' | sed -E 's/^ +//; s/[ (].*//')

tmp=$(mktemp -d)
cleanup() {
    chmod -R u+w "$tmp" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
chmod 755 "$tmp"
root=$tmp/root
dpkg-deb -x "$deb" "$root"

# Every library the programs link with is provided by a package named in Depends.
for exe in "$root"/usr/bin/benthix "$root"/usr/bin/benthix-cli; do
    [ -x "$exe" ] || fail "${exe#"$root"} missing"
    for soname in $(objdump -p "$exe" | awk '$1 == "NEEDED" {print $2}'); do
        owners=$(dpkg -S "*/$soname" 2>/dev/null | cut -d: -f1 | sort -u) ||
            fail "no installed package holds $soname"
        found=""
        for owner in $owners; do
            if grep -qxF "$owner" <<<"$depends_names"; then
                found=$owner
            fi
        done
        [ -n "$found" ] || fail "$soname (package $owners) is not in Depends: $depends"
    done
done
apt-get install --simulate --no-install-recommends "$deb" >"$tmp/apt.log" 2>&1 ||
    { cat "$tmp/apt.log" >&2; fail "apt-get cannot install the package"; }

# --- Contents ------------------------------------------------------------------------------
tables=(Crit_t.dbf CRIT_U.dbf crit_w.dbf CRIT_W1.dbf RANKIT.dbf POWERT.dbf
        stat.dbf sslog.dbf result.dbf sslogsum.dbf tables.manifest)
pictures=(ok.bmp fail.bmp question.bmp bart1.ico)
expected=(usr/bin/benthix usr/bin/benthix-cli
          "usr/share/applications/$desktop_id.desktop"
          "usr/share/metainfo/$desktop_id.metainfo.xml"
          "usr/share/icons/hicolor/scalable/apps/$desktop_id.svg"
          usr/share/man/man1/benthix.1.gz usr/share/man/man1/benthix-cli.1.gz
          usr/share/bash-completion/completions/benthix-cli
          usr/share/lintian/overrides/benthix
          usr/share/doc/benthix/README.md usr/share/doc/benthix/copyright
          usr/share/doc/benthix/changelog.gz usr/share/doc/benthix/changelog.Debian.gz
          usr/share/doc/benthix/docs/guide.md usr/share/doc/benthix/docs/result.schema.json
          usr/share/doc/benthix/docs/decision-tree.svg usr/share/doc/benthix/docs/screenshot.png)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$desktop_id.png")
done
for name in "${tables[@]}" "${pictures[@]}"; do
    expected+=("usr/share/benthix/$name")
done
for path in "${expected[@]}"; do
    [ -f "$root/$path" ] || fail "/$path is not in the package"
done
# share/benthix holds what the programs read, and at most a checksum manifest besides.
while IFS= read -r path; do
    name=$(basename "$path")
    case " ${tables[*]} ${pictures[*]} " in
        *" $name "*) continue ;;
    esac
    case "$name" in
        *.sha256 | *.sha256sum | SHA256SUMS | *manifest* | *MANIFEST* | *Manifest*) continue ;;
    esac
    fail "unexpected file /usr/share/benthix/$name in the package"
done < <(find "$root/usr/share/benthix" -mindepth 1)
# Nothing outside /usr, nothing the build leaves beside the programs.
outside=$(find "$root" -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$outside" ] || fail "files outside /usr: $outside"
[ -z "$(find "$root/usr/bin" -mindepth 1 ! -name benthix ! -name benthix-cli)" ] ||
    fail "other programs in /usr/bin: $(ls "$root/usr/bin")"
for size in 16 22 24 32 48 64 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/$desktop_id.png" |
        grep -q "PNG image data, $size x $size" || fail "the ${size}x${size} icon is not that size"
done
step "contents: $(dpkg-deb --contents "$deb" | grep -vc '/$') files where they belong"

# --- lintian, copyright, links ---------------------------------------------------------------
lintian_args=(--fail-on error,warning --display-info)
[ "$(id -u)" -eq 0 ] && lintian_args+=(--allow-root)
lintian "${lintian_args[@]}" "$deb" >"$tmp/lintian.txt" 2>&1 ||
    { cat "$tmp/lintian.txt" >&2; fail "lintian"; }
step "lintian: $( [ -s "$tmp/lintian.txt" ] && tr '\n' ' ' <"$tmp/lintian.txt" || echo clean)"

python3 - "$root/usr/share/doc/benthix/copyright" <<'EOF_PY' || fail "the copyright file is not in the machine-readable format 1.0"
import os, re, sys
text = open(sys.argv[1], encoding="utf-8").read()
paragraphs = [p for p in re.split(r"\n\s*\n(?=\S)", text.strip()) if p.strip()]
def fields(p):
    out, name = {}, None
    for line in p.split("\n"):
        if line[:1] in (" ", "\t"):
            assert name, "continuation line without a field: " + line
            out[name] += "\n" + line
        else:
            name, _, value = line.partition(":")
            assert _ and re.fullmatch(r"[A-Za-z][A-Za-z0-9-]*", name), "not a field: " + line
            out[name] = value.strip()
    return out
parsed = [fields(p) for p in paragraphs]
head = parsed[0]
assert head.get("Format") == "https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/", head
texts = {p["License"].split("\n")[0].strip() for p in parsed[1:] if "Files" not in p}
files = [p for p in parsed[1:] if "Files" in p]
assert files and files[0]["Files"] == "*", "the first Files paragraph is not Files: *"
for p in files:
    assert p.get("Copyright") and p.get("License"), p
    first, _, body = p["License"].partition("\n")
    for name in re.split(r"\s+(?:and|or)\s+", first.strip()):
        assert body.strip() or name in texts or os.path.exists("/usr/share/common-licenses/" + name), \
            "no text for the licence " + name
EOF_PY
step "copyright: machine-readable format 1.0, every licence with its text"

# Every relative link of the installed README and guide leads to an installed file.
python3 - "$root/usr/share/doc/benthix" <<'EOF_PY' || fail "a link of the installed documents does not resolve"
import os, re, sys
doc = sys.argv[1]
for name in ("README.md", "docs/guide.md"):
    path = os.path.join(doc, name)
    for target in re.findall(r"\]\(([^)\s]+)\)", open(path, encoding="utf-8").read()):
        if re.match(r"[a-z]+:", target) or target.startswith("#"):
            continue
        file = os.path.normpath(os.path.join(os.path.dirname(path), target.split("#")[0]))
        if not os.path.isfile(file):
            sys.exit(f"{name}: the link {target} leads nowhere")
EOF_PY
step "the installed README's and guide's links resolve"

# --- Desktop entry, metainfo, manual pages -------------------------------------------------
desktop-file-validate "$root/usr/share/applications/$desktop_id.desktop" ||
    fail "desktop-file-validate"
grep -qx "Icon=$desktop_id" "$root/usr/share/applications/$desktop_id.desktop" ||
    fail "the desktop entry does not name the icon $desktop_id"
appstreamcli validate --no-net "$root/usr/share/metainfo/$desktop_id.metainfo.xml" ||
    fail "appstreamcli validate"
grep -q "<release version=\"$version\" date=\"$release_date\"" \
    "$root/usr/share/metainfo/$desktop_id.metainfo.xml" ||
    fail "the metainfo does not list release $version of $release_date"
for page in benthix benthix-cli; do
    if ! MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" \
        >"$tmp/$page.txt" 2>"$tmp/$page.err" || [ -s "$tmp/$page.err" ]; then
        cat "$tmp/$page.err" >&2
        fail "man -l $page.1.gz"
    fi
    grep -q "^NAME" "$tmp/$page.txt" && grep -Eq "^ +$page +- +compare +a +test" "$tmp/$page.txt" ||
        fail "the manual page $page(1) has no NAME line"
done
grep -q -- "--reference" "$tmp/benthix-cli.txt" || fail "benthix-cli(1) lacks the options"
[ "$(grep -c '^EXIT STATUS' "$tmp/benthix-cli.txt")" -eq 1 ] &&
    ! grep -q "Exit statuses" "$tmp/benthix-cli.txt" ||
    fail "benthix-cli(1) does not list the exit statuses once"
tail -n 1 "$tmp/benthix-cli.txt" | grep -q "Benthix $version" ||
    fail "the footer of benthix-cli(1) lacks the version: $(tail -n 1 "$tmp/benthix-cli.txt")"
grep -q -- "--delimiter TEXT:{comma,semicolon,tab}" "$tmp/benthix-cli.txt" ||
    fail "benthix-cli(1) does not show the values of --delimiter"
step "desktop-file-validate, appstreamcli validate and man -l: clean"

# --- The programs, run from the unpacked tree ----------------------------------------------
chmod -R a-w "$root/usr/share/benthix"
snapshot() { (cd "$root" && find . -printf '%p %m %s\n' | sort && find . -type f -exec sha256sum {} + | sort); }
snapshot >"$tmp/before"

home=$tmp/home
work=$tmp/work
runtime=$tmp/runtime
mkdir -p "$home" "$work" "$runtime" "$tmp/xdg-data"
chmod 700 "$runtime"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    # root may write anywhere: run as nobody so that a write into share/benthix fails.
    chown 65534:65534 "$home" "$work" "$runtime" "$tmp/xdg-data"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
# run [VARIABLE=value...]: $program with $args in $work, in an environment of its own (no XDG
# variables unless given).
run() {
    (cd "$work" && env -i PATH=/usr/bin:/bin HOME="$home" LC_ALL=C.UTF-8 \
        XDG_RUNTIME_DIR="$runtime" "$@" "${as_user[@]}" "$root/usr/bin/$program" "${args[@]}")
}

program=benthix-cli
args=(--version)
[ "$(run)" = "benthix-cli $version" ] || fail "benthix-cli --version: $(run)"
args=(-V)
[ "$(run)" = "benthix-cli $version" ] || fail "benthix-cli -V: $(run 2>&1)"

args=(analyze --test 10,11,12 --reference 14,15,16 --json)
run >"$tmp/analyze.json" 2>"$tmp/analyze.err" || fail "analyze --json: $(cat "$tmp/analyze.err")"
[ ! -s "$tmp/analyze.err" ] || fail "analyze --json wrote on stderr: $(cat "$tmp/analyze.err")"
python3 - "$tmp/analyze.json" <<'EOF' || fail "analyze --json printed other results"
import json, sys
r = json.load(open(sys.argv[1]))
# Student's t of 10, 11, 12 against 14, 15, 16 with the critical values of the tables.
assert r["normality"]["w"] == "0.8532" and r["normality"]["critical"] == "<= 0.826", r["normality"]
assert r["homoscedasticity"]["critical"] == ">= 2.132", r["homoscedasticity"]
h = r["hypothesis"]
assert (h["statistic"], h["value"], h["critical"], h["df"], h["accept_null"]) == \
    ("Student's t", "4.8990", ">= 2.132", "4", "No"), h
assert r["status"][-1] == "*** Stats complete.", r["status"]
# A table that cannot be read shows as a warning in the status lines only.
assert not [s for s in r["status"] if "WARNING" in s], r["status"]
EOF
step "benthix-cli analyze --json: Student's t 4.8990 against 2.132 from the installed tables"

# The report: its table in the per-user data folder, never in share/benthix.
args=(analyze --test 10,11,12 --reference 14,15,16 --report "$work/site.csv")
run >"$tmp/report.out" 2>"$tmp/report.err" || fail "analyze --report: $(cat "$tmp/report.err")"
[ -s "$work/site.csv" ] && [ -s "$work/site.xlsx" ] || fail "the report files are missing"
[ -f "$home/.local/share/benthix/reportr.dbf" ] ||
    fail "the report table is not in ~/.local/share/benthix: $(find "$home" -name 'reportr.dbf')"
[ ! -e "$home/Benthix" ] || fail "analyze made ~/Benthix, which it wrote nothing into"
args=(analyze --test 10,11,12 --reference 14,15,16 --report "$work/other.csv")
run XDG_DATA_HOME="$tmp/xdg-data" >/dev/null 2>"$tmp/xdg.err" ||
    fail "XDG_DATA_HOME run: $(cat "$tmp/xdg.err")"
[ -f "$tmp/xdg-data/benthix/reportr.dbf" ] || fail "XDG_DATA_HOME does not hold the report table"
step "report table in ~/.local/share/benthix (and in \$XDG_DATA_HOME/benthix when set)"

printf 'sample,value\nREF,14\nREF,15\nREF,16\nA,10\nA,11\nA,12\nB,14\nB,15\nB,17\n' >"$work/survey.csv"
args=(batch survey.csv --reference REF --output results.csv --summary-log summary.dbf --jobs 2)
run >"$tmp/batch.out" 2>"$tmp/batch.err" || fail "batch: $(cat "$tmp/batch.err")"
cat >"$tmp/batch.expected" <<'EOF'
SAMPID,SAMP_ALIAS,SAMP_REPS,SAMP_STD,SAMP_MN,SAMP_T_STD,SAMP_T_MN,REFID,REF_ALIAS,REF_REPS,REF_STD,REF_MN,REF_T_STD,REF_T_MN,PASS_FAIL,W_PASSFAIL,L_PASSFAIL,T_TYPE,POWER,POWER_DIFF,STATUS,TEST,STATISTIC,CRITICAL,DF,ALPHA,ALTERNATIVE,TRANSFORMATION,P_VALUE,REJECT_NULL,DIFFERENCE,PERCENT_OF_REF,MSD,PMSD,POWER_FRACTION,TEST_N,TEST_MEAN,TEST_SD,TEST_SE,TEST_CV,TEST_T_MEAN,TEST_T_SD,REF_N,REF_MEAN,REF_SD,REF_SE,REF_CV,REF_T_MEAN,REF_T_SD
A,,3,1,11,1,11,REF,,3,1,15,1,15,No,Yes,Yes,Student's t,,,ok,student_t,4.898979485566356,2.132,4,0.05,less,none,0.0040249465504188595,TRUE,-4,73.33333333333333,1.740770710537912,11.605138070252746,,3,11,1,0.5773502691896258,9.090909090909092,11,1,3,15,1,0.5773502691896258,6.666666666666667,15,1
B,,3,1.528,15.333,1.528,15.333,REF,,3,1,15,1,15,Yes,Yes,Yes,Student's t,,,ok,student_t,-0.3162277660168385,2.132,4,0.05,less,none,0.6161780423805486,FALSE,0.3333333333333339,102.22222222222223,2.2473253238263284,14.982168825508857,,3,15.333333333333334,1.5275252316519468,0.881917103688197,9.962121075990957,15.333333333333334,1.5275252316519468,3,15,1,0.5773502691896258,6.666666666666667,15,1
EOF
tr -d '\r' <"$work/results.csv" | diff "$tmp/batch.expected" - || fail "batch results differ"
[ -s "$work/summary.dbf" ] || fail "batch wrote no summary log"
step "benthix-cli batch: two comparisons and their summary log"

# The validation of the unpacked copy, with both reports.
args=(validate --report "$work/validation.pdf")
run >"$tmp/validate.out" 2>"$tmp/validate.err" ||
    { cat "$tmp/validate.out" "$tmp/validate.err" >&2; fail "benthix-cli validate"; }
summary=$(sed -n 's/^Summary: //p' "$tmp/validate.out")
grep -qx "VALIDATION PASSED" "$tmp/validate.out" && [ -n "$summary" ] ||
    fail "validate printed no passing summary"
grep -q "Tables from: *$root/usr/share/benthix" "$tmp/validate.out" ||
    fail "validate did not check the installed tables"
[ "$(head -c 5 "$work/validation.pdf")" = "%PDF-" ] || fail "validate --report wrote no PDF"
args=(validate --report "$work/validation.html")
run >/dev/null 2>&1 || fail "validate --report validation.html"
grep -q "VALIDATION PASSED" "$work/validation.html" || fail "the HTML report does not pass"
! grep -Eq '(src|href)="(https?:)?//' "$work/validation.html" ||
    fail "the HTML report is not self-contained"
step "benthix-cli validate: $summary (PDF and HTML reports)"

# --version and --help answer without a display.
program=benthix
args=(--version)
[ "$(run)" = "Benthix $version" ] || fail "benthix --version: $(run 2>&1)"
args=(--help)
run | grep -q -- "--version" || fail "benthix --help does not list --version"
# The window itself, offscreen, for eight seconds: still running then, with its start-up done.
args=()
rm -rf "$home/Benthix"
set +e
run QT_QPA_PLATFORM=offscreen timeout 8 >"$tmp/window.out" 2>"$tmp/window.err"
status=$?
set -e
[ "$status" -eq 124 ] || { cat "$tmp/window.err" >&2; fail "the window ended with $status before 8 s"; }
[ ! -e "$home/Benthix" ] || fail "the window made ~/Benthix, which it wrote nothing into"
step "benthix --version, --help, and 8 s of the window offscreen"

snapshot >"$tmp/after"
diff "$tmp/before" "$tmp/after" || fail "running the programs changed the installed tree"
step "the installed tree is as unpacked"

# --- Bash completion -----------------------------------------------------------------------
completion=$root/usr/share/bash-completion/completions/benthix-cli
# complete_line LINE [library]: the candidates for the end of LINE, with bash-completion's
# library loaded when there is one (and "library" is not "none").
complete_line() {
    bash --norc --noprofile -c '
        [ "$3" != none ] && [ -f /usr/share/bash-completion/bash_completion ] &&
            . /usr/share/bash-completion/bash_completion
        . "$1"
        COMP_LINE=$2
        COMP_POINT=${#COMP_LINE}
        read -r -a COMP_WORDS <<<"$COMP_LINE"
        [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        _benthix_cli benthix-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$1" "${2:-}" | sort | paste -sd'|'
}
check_completion() {
    local got
    got=$(cd "$work" && complete_line "$1" "${3:-}")
    [ "$got" = "$2" ] || fail "completing '$1' gives '$got', not '$2'"
}
check_completion "benthix-cli " "analyze|batch|validate"
check_completion "benthix-cli b" "batch"
check_completion "benthix-cli --v" "--version"
check_completion "benthix-cli analyze --al" "--alpha|--alternative"
check_completion "benthix-cli analyze --alpha " "0.05|0.1"
check_completion "benthix-cli batch --transform S" "Sqr Root (x + .375)"
check_completion "benthix-cli analyze --override=y" "--override=yes"
check_completion "benthix-cli batch survey.csv --o" "--one-sample|--output|--override"
check_completion "benthix-cli batch sur" "survey.csv"
check_completion "benthix-cli analyze --load " "summary.dbf"
check_completion "benthix-cli batch survey.csv --format " "csv|jsonl"
check_completion "benthix-cli batch survey.csv --p-adjust=" "--p-adjust=bonferroni|--p-adjust=holm"
check_completion "benthix-cli batch --delimiter s" "semicolon"
check_completion "benthix-cli validate --report val" "validation.html|validation.pdf"
check_completion "benthix-cli batch --reference REF -- -" "-"
check_completion "benthix-cli batch --quiet sur" "survey.csv"
# Without bash-completion's library the same answers come from bash alone.
check_completion "benthix-cli analyze --alpha " "0.05|0.1" none
check_completion "benthix-cli batch sur" "survey.csv" none
check_completion "benthix-cli analyze --save " "summary.dbf" none
step "bash completion of commands, options, choices and files"

step "passed in $((SECONDS - started)) s"
