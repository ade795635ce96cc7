#!/usr/bin/env python3
"""The survey report of a known survey, end to end: benthix-cli batch writes it as HTML and as PDF
(A4 and US Letter); headless Chromium opens the HTML with no console message and no request
beyond the page, and prints it; the text of every PDF (pdftotext) holds each station, endpoint,
p-value and verdict.

    survey_report_check.py BENTHIX_CLI SCRATCH_DIR
"""
import json
import os
import re
import shutil
import subprocess
import sys

SURVEY = """station,endpoint,rep,value
REF,growth,1,14
REF,growth,2,15
REF,growth,3,16
ST01,growth,1,10
ST01,growth,2,11
ST01,growth,3,12
ST02,growth,1,14
ST02,growth,2,16
ST02,growth,3,15
ST03,growth,1,abc
ST03,growth,2,11
REF,survival,1,19
REF,survival,2,18
REF,survival,3,7
REF,survival,4,17
ST01,survival,1,14
ST01,survival,2,2
ST01,survival,3,16
ST01,survival,4,12
ST02,survival,1,8
ST02,survival,2,9
ST02,survival,3,10
"""

# By hand (the guide's worked examples): growth ST01 Student's t = 4.899, df 4, p 0.0040;
# ST02 equals the reference, t = 0, p 0.5; survival ST01 Mann-Whitney U = 13 of 16, p 0.1;
# ST02 U = 9 of 12, P(U >= 9) = 7/35 = 0.2. Holm within each endpoint: 0.0040 * 2 = 0.0080.
EXPECTED = ["ST01", "ST02", "ST03", "growth", "survival", "0.0040", "0.5000", "0.1000", "0.2000",
            "0.0080", "Lower than reference", "No significant difference", "Refused",
            'row 11: "abc" is not a number']

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def text_of(pdf):
    out = subprocess.run(["pdftotext", pdf, "-"], capture_output=True, text=True, check=True)
    return " ".join(out.stdout.split())


def page_size(pdf):
    out = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, check=True).stdout
    return re.search(r"Page size:\s+([\d.]+) x ([\d.]+) pts", out).groups()


def main():
    cli, scratch = sys.argv[1], sys.argv[2]
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    survey = os.path.join(scratch, "survey.csv")
    with open(survey, "w") as f:
        f.write(SURVEY)
    base = [cli, "batch", survey, "--sample-column", "station", "--group", "endpoint",
            "--ignore-column", "rep", "--reference", "REF", "--p-adjust", "holm", "--quiet",
            "--project", "River <survey> & co", "--output", os.devnull, "--force"]
    files = {"html": "report.html", "a4": "report-a4.pdf", "letter": "report-letter.pdf"}
    for kind, name in files.items():
        args = base + ["--report", os.path.join(scratch, name)]
        if kind != "html":
            args += ["--paper", kind]
        # ST03 is refused: exit 1, and the report is written all the same.
        run = subprocess.run(args, capture_output=True, text=True)
        check(run.returncode == 1, f"{name}: exit {run.returncode}: {run.stderr}")
    html_path = os.path.join(scratch, files["html"])
    html = open(html_path, encoding="utf-8").read()
    check("River &lt;survey&gt; &amp; co" in html, "the project's name is not escaped")
    for banned in ("<script", " src=", " href=", "url(", "@import"):
        check(banned not in html, f"the HTML holds {banned!r}")

    again = subprocess.run(base[:-1] + ["--report", html_path], capture_output=True, text=True)
    check(again.returncode == 2, "an existing report was replaced without --force")

    # Chromium: every request the page makes is logged; its own background services are not
    # the page's (their isolation key is not the file's).
    printed = os.path.join(scratch, "printed.pdf")
    netlog = os.path.join(scratch, "net.json")
    browser = subprocess.run(
        ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--enable-logging=stderr",
         "--v=0", "--disable-background-networking", "--disable-component-update", "--no-first-run",
         "--disable-extensions", f"--user-data-dir={scratch}/profile", f"--log-net-log={netlog}",
         "--no-pdf-header-footer", f"--print-to-pdf={printed}", "file://" + html_path],
        capture_output=True, text=True, timeout=120)
    console = [line for line in browser.stderr.splitlines() if "CONSOLE" in line]
    check(not console, f"console messages: {console}")
    events = json.load(open(netlog))["events"]
    page_requests = {e["params"]["url"] for e in events
                     if "url" in e.get("params", {})
                     and "file://" in e["params"].get("network_isolation_key", "")}
    check(not page_requests, f"the page made requests: {page_requests}")

    for name in (files["a4"], files["letter"], "printed.pdf"):
        text = text_of(os.path.join(scratch, name))
        for word in EXPECTED:
            check(word in text, f"{name}: {word!r} missing")
    check(page_size(os.path.join(scratch, files["a4"])) == ("595.28", "841.89"), "A4 size")
    check(page_size(os.path.join(scratch, files["letter"])) == ("612", "792"), "Letter size")

    for f in failures:
        print("FAIL:", f)
    print("survey report:", "failed" if failures else "HTML, printed HTML, A4 and Letter PDF hold every result")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
