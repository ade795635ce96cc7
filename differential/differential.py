#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Byte-for-byte differential check of everything benthix-cli writes.

    differential.py record  --cli PATH [--work DIR] [--keep]
    differential.py check   --cli PATH [--work DIR] [--keep]
    differential.py compare --cli NEW --against OLD [--work DIR] [--keep]

The inputs (surveys, entry lists, option sets) are generated here with a SplitMix64 stream and
integer arithmetic only, so every Python 3.9+ on every machine produces the same bytes. Each
CLI invocation runs in a folder of its own under the work folder, with HOME inside it; every
file it leaves there (results, logs, reports, saved samples) and its stdout, stderr and exit
status are digested. See README.md beside this file.
"""

import argparse
import csv
import hashlib
import io
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
EXPECTED_FILE = os.path.join(HERE, "expected.sha256")

# The text that stands for the work folder in the CLI's text outputs (it echoes the absolute
# paths of the files it was told to write, and the work folder is a fresh temporary one).
WORK_TOKEN = b"<work>"

ALTERNATIVES = ("x1 < x2", "x1 > x2")
ALPHAS = ("0.05", "0.1")
TRANSFORMS = ("No Transformation", "ArcSin", "Sqr Root (x + .375)", "Log10 (x + 1.0)")
# None: power calculations off; otherwise the text given to --power-difference.
POWERS = (None, "5", "-3", "0", "2.75")
OVERRIDES = (None, "yes", "no")
ONE_SAMPLE = (False, True)

WORKERS = 2

MASK64 = (1 << 64) - 1


# --------------------------------------------------------------------------------------------
# Deterministic random numbers


def fnv1a64(text):
    h = 0xCBF29CE484222325
    for b in text.encode("utf-8"):
        h ^= b
        h = (h * 0x100000001B3) & MASK64
    return h


class SplitMix64:
    """SplitMix64; integers only, so the stream is the same on every Python."""

    def __init__(self, seed):
        self.state = seed & MASK64

    def next(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & MASK64
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & MASK64
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & MASK64
        return z ^ (z >> 31)

    def below(self, n):
        return self.next() % n

    def between(self, lo, hi):
        return lo + self.below(hi - lo + 1)

    def pick(self, seq):
        return seq[self.below(len(seq))]

    def chance(self, num, den):
        return self.below(den) < num

    def fork(self, label):
        return SplitMix64(self.next() ^ fnv1a64(label))

    def normal_milli(self):
        """An approximately standard normal deviate in thousandths (Irwin-Hall, 12 terms)."""
        return sum(self.below(1001) for _ in range(12)) - 6000

    def shuffle(self, items):
        for i in range(len(items) - 1, 0, -1):
            j = self.below(i + 1)
            items[i], items[j] = items[j], items[i]


def rng_for(*labels):
    return SplitMix64(fnv1a64("benthix-differential/" + "/".join(str(x) for x in labels)))


# --------------------------------------------------------------------------------------------
# Numbers as text, from integers in units of 10**-decimals


def fixed_text(units, decimals):
    sign = "-" if units < 0 else ""
    a = abs(units)
    if decimals == 0:
        return sign + str(a)
    p = 10 ** decimals
    return "%s%d.%0*d" % (sign, a // p, decimals, a % p)


def exp_text(units, decimals, upper=False):
    sign = "-" if units < 0 else ""
    digits = str(abs(units))
    exponent = len(digits) - 1 - decimals
    mantissa = digits[0] + ("." + digits[1:] if len(digits) > 1 else "")
    return "%s%s%s%d" % (sign, mantissa, "E" if upper else "e", exponent)


class Scale:
    """Where a survey's values lie: mean and spread in units of 10**-decimals."""

    def __init__(self, mean, sd, decimals, floor=None, name=""):
        self.mean = mean
        self.sd = sd
        self.decimals = decimals
        self.floor = floor  # smallest value allowed (in units), None for no limit
        self.name = name

    def unit(self):
        return 10 ** self.decimals

    def clip(self, v):
        if self.floor is not None and v < self.floor:
            return self.floor
        return v


def make_scale(rng, transform):
    """A scale fitting the transformation, with some large, tiny and negative ones."""
    kind = rng.below(10)
    if transform == "ArcSin":
        d = rng.pick((0, 1, 2, 3))
        mean = rng.between(8, 85) * 10 ** d
        sd = rng.between(2, 8) * 10 ** d
        return Scale(mean, sd, d, 0, "percent")
    if kind <= 4:
        d = rng.pick((0, 1, 2, 3))
        mean = rng.between(20, 400) * 10 ** d
        sd = max(1, mean // rng.between(6, 14))
        return Scale(mean, sd, d, 0, "plain")
    if kind == 5:
        d = rng.pick((0, 2))
        mean = rng.between(10 ** 6, 9 * 10 ** 8) * 10 ** d
        sd = max(1, mean // rng.between(8, 20))
        return Scale(mean, sd, d, 0, "large")
    if kind == 6:
        d = rng.pick((6, 7, 8))
        mean = rng.between(100, 900)
        sd = max(1, mean // rng.between(6, 12))
        return Scale(mean, sd, d, 0, "tiny")
    if kind == 7:
        d = rng.pick((6, 8, 10))
        mean = rng.between(1, 30) * 10 ** d + rng.below(10 ** d)
        sd = max(1, mean // rng.between(8, 16))
        return Scale(mean, sd, d, 0, "many-decimals")
    if kind == 8 and transform == "No Transformation":
        d = rng.pick((0, 1, 2))
        mean = -rng.between(5, 300) * 10 ** d
        sd = max(1, -mean // rng.between(5, 12))
        return Scale(mean, sd, d, None, "negative")
    d = 0
    mean = rng.between(10, 60)
    sd = rng.between(2, 6)
    return Scale(mean, sd, d, 0, "integer")


def text_style(rng, scale):
    """How a sample's values are written; mostly plain decimals."""
    r = rng.below(20)
    if r == 0:
        return "exp"
    if r == 1:
        return "EXP"
    if r == 2:
        return "plus"
    if r == 3 and scale.decimals > 0:
        return "trimmed"
    return "fixed"


def value_text(units, scale, style):
    d = scale.decimals
    if style == "exp" or style == "EXP":
        if units == 0:
            return "0"
        return exp_text(units, d, style == "EXP")
    if style == "plus":
        return ("+" if units >= 0 else "") + fixed_text(units, d)
    if style == "trimmed":
        t = fixed_text(units, d)
        if "." in t:
            t = t.rstrip("0").rstrip(".")
        return t or "0"
    return fixed_text(units, d)


# --------------------------------------------------------------------------------------------
# Samples: lists of value texts. The families below aim at the analysis's decision paths
# (normal / non-normal residuals, equal / unequal spread) relative to a normal reference.


def normal_units(rng, scale, n, shift_tenths=0, spread_tenths=10):
    out = []
    base = scale.mean + scale.sd * shift_tenths // 10
    for _ in range(n):
        out.append(scale.clip(base + scale.sd * spread_tenths * rng.normal_milli() // 10000))
    return out


def outlier_units(rng, scale, n, shift_tenths=0, size_tenths=70):
    out = normal_units(rng, scale, n, shift_tenths, 10)
    i = rng.below(n)
    sign = 1 if rng.chance(1, 2) or scale.floor is not None else -1
    out[i] = scale.clip(out[i] + sign * scale.sd * size_tenths // 10)
    return out


def skewed_units(rng, scale, n, shift_tenths=0):
    # Cubes of uniforms: most values low, a few far up.
    base = scale.mean + scale.sd * shift_tenths // 10 - scale.sd
    out = []
    for _ in range(n):
        u = rng.below(1001)
        out.append(scale.clip(base + scale.sd * 4 * u * u * u // 10 ** 9))
    return out


def bimodal_units(rng, scale, n, shift_tenths=0):
    base = scale.mean + scale.sd * shift_tenths // 10
    out = []
    for i in range(n):
        side = 1 if i % 2 == 0 else -1
        out.append(scale.clip(base + side * scale.sd * 15 // 10 + scale.sd * rng.normal_milli() // 20000))
    rng.shuffle(out)
    return out


def constant_units(rng, scale, n):
    v = scale.clip(scale.mean + scale.sd * rng.normal_milli() // 1000)
    return [v] * n


def tied_units(rng, scale, n, shift_tenths=0):
    # A few distinct levels, many ties.
    base = scale.mean + scale.sd * shift_tenths // 10
    levels = [scale.clip(base + k * scale.sd) for k in (-1, 0, 0, 1)]
    return [rng.pick(levels) for _ in range(n)]


def balanced_size(rng, other):
    """A size from 3..10 that keeps 2*min > max with `other`."""
    choices = [n for n in range(3, 11) if 2 * min(n, other) > max(n, other)]
    return rng.pick(choices)


def unbalanced_size(rng, other):
    choices = [n for n in range(3, 11) if 2 * min(n, other) <= max(n, other)]
    if not choices:
        return rng.between(3, 10)
    return rng.pick(choices)


# --------------------------------------------------------------------------------------------
# The option sets


def option_sets():
    sets = []
    for alt in ALTERNATIVES:
        for alpha in ALPHAS:
            for transform in TRANSFORMS:
                for power in POWERS:
                    for override in OVERRIDES:
                        for one in ONE_SAMPLE:
                            sets.append({
                                "alternative": alt, "alpha": alpha, "transform": transform,
                                "power": power, "override": override, "one_sample": one})
    return sets


def option_args(o):
    args = ["--alternative", o["alternative"], "--alpha", o["alpha"], "--transform", o["transform"]]
    if o["power"] is not None:
        args += ["--power-difference", o["power"]]
    if o["override"] is not None:
        args += ["--override", o["override"]]
    if o["one_sample"]:
        args.append("--one-sample")
    return args


def power_for(o, scale):
    """The --power-difference text, scaled to the data for the positive and negative ones."""
    p = o["power"]
    if p is None or p == "0":
        return p
    if p == "5":
        return fixed_text(scale.sd * 2, scale.decimals)
    if p == "-3":
        return "-" + fixed_text(scale.sd * 3 // 2 or 1, scale.decimals)
    # A non-whole number, written with more decimals than the data.
    return fixed_text(scale.sd * 7 + 3, scale.decimals + 1)


# --------------------------------------------------------------------------------------------
# Surveys


class Survey:
    """An ordered list of (sample id, [value texts]) and how the CSV is to be written."""

    def __init__(self):
        self.samples = []
        self.quoted_values = set()  # (id, index) written in double quotes

    def add(self, sid, texts):
        self.samples.append((sid, list(texts)))

    def csv_text(self, rng, layout):
        header, order = layout["header"], layout["order"]
        eol = layout["eol"]
        rows = []
        for sid, texts in self.samples:
            for k, t in enumerate(texts):
                rows.append((sid, k, t))
        if layout["interleave"]:
            # Keep each sample's own order but interleave the samples.
            queues = [[r for r in rows if r[0] == sid] for sid, _ in self.samples]
            rows = []
            while any(queues):
                q = queues[rng.below(len(queues))]
                if q:
                    rows.append(q.pop(0))
                queues = [x for x in queues if x] or []
        lines = [header]
        for sid, k, t in rows:
            value = t
            if (sid, k) in self.quoted_values or "," in t or '"' in t:
                value = '"' + t.replace('"', '""') + '"'
            ident = sid
            if "," in sid or '"' in sid or layout["quote_ids"]:
                ident = '"' + sid.replace('"', '""') + '"'
            fields = {"sample": ident, "value": value, "site": "st%d" % (k % 3), "note": "r%d" % k}
            lines.append(",".join(fields[c] for c in order))
        text = eol.join(lines)
        if layout["final_eol"]:
            text += eol
        return text


def survey_layout(rng):
    r = rng.below(8)
    if r == 0:
        order = ("site", "sample", "value", "note")
        header = "site,Sample,VALUE,note"
    elif r == 1:
        order = ("value", "sample")
        header = " Value , sample "
    else:
        order = ("sample", "value")
        header = "sample,value"
    return {
        "header": header, "order": order,
        "eol": "\r\n" if rng.chance(1, 6) else "\n",
        "interleave": rng.chance(1, 5),
        "quote_ids": rng.chance(1, 10),
        "final_eol": not rng.chance(1, 10),
    }


SPECIAL_TEXTS = ("12abc", "abc", "1,5", "1e999", "-1e999", " 7", "7 ", "0x10", ".5", "5.",
                 "1e5", "-0", "+3", "3e-2", "1.2.3", "inf", "nan")


def texts_of(rng, units, scale):
    style = text_style(rng, scale)
    return [value_text(u, scale, style) for u in units]


# How many test samples of each family the batch surveys hold, by transformation.
FAMILY_COUNTS = {}


def tally(label, transform):
    key = (label, transform)
    FAMILY_COUNTS[key] = FAMILY_COUNTS.get(key, 0) + 1


def test_samples(rng, scale, nref, transform, count):
    """`count` test samples aimed at every path, then the refused and special ones."""
    out = []  # (label, texts)
    plan = []
    core = ["student", "student", "student", "shifted", "approx", "approx", "approx10",
            "mw_outlier", "mw_outlier", "mw_bimodal", "mw_tied", "rankit", "rankit_skew",
            "zero", "ties", "unbalanced", "unbalanced"]
    plan.extend(core)
    extras = ["small", "toomany", "blank", "special", "domain", "arcsin_edge", "sizes",
              "spaces_blank", "student", "approx", "mw_outlier", "rankit"]
    while len(plan) < count:
        plan.append(rng.pick(extras))
    plan = plan[:count]
    rng.shuffle(plan)
    for label in plan:
        n = balanced_size(rng, nref)
        shift = rng.pick((0, 0, 5, -5, 10, -10, 30, -30))
        if label == "student":
            units = normal_units(rng, scale, n, shift)
        elif label == "shifted":
            units = normal_units(rng, scale, n, rng.pick((40, -40, 60, -60)))
        elif label == "approx":
            units = normal_units(rng, scale, n, shift, rng.pick((40, 60, 80)))
        elif label == "approx10":
            units = normal_units(rng, scale, n, shift, 100)
        elif label == "mw_outlier":
            units = outlier_units(rng, scale, n, shift, rng.pick((50, 70, 100)))
        elif label == "mw_bimodal":
            units = bimodal_units(rng, scale, n, shift)
        elif label == "mw_tied":
            units = tied_units(rng, scale, n, shift)
        elif label == "rankit":
            units = outlier_units(rng, scale, n, shift, 300)
            units = [scale.clip(scale.mean + (u - scale.mean) * 5) for u in units]
        elif label == "rankit_skew":
            units = skewed_units(rng, scale, n, shift)
            units = [scale.clip(scale.mean + (u - scale.mean) * 8) for u in units]
        elif label == "zero":
            units = constant_units(rng, scale, n)
        elif label == "ties":
            units = tied_units(rng, scale, n, shift)
        elif label == "unbalanced":
            units = normal_units(rng, scale, unbalanced_size(rng, nref), shift)
        elif label == "sizes":
            units = normal_units(rng, scale, rng.between(1, 10), shift)
        elif label == "small":
            units = normal_units(rng, scale, rng.between(1, 2), shift)
        elif label == "toomany":
            units = normal_units(rng, scale, rng.between(11, 13), shift)
        else:
            units = None
        if units is not None:
            out.append((label, texts_of(rng, units, scale)))
            continue
        base = texts_of(rng, normal_units(rng, scale, n, shift), scale)
        pos = rng.below(len(base))
        if label == "blank":
            base[pos] = ""
        elif label == "spaces_blank":
            base[pos] = "   "
        elif label == "special":
            base[pos] = rng.pick(SPECIAL_TEXTS)
        elif label == "domain":
            base[pos] = rng.pick(("-2", "-1", "-0.375", "-0.4", "-0.99", "-5000"))
        elif label == "arcsin_edge":
            base[pos] = rng.pick(("0", "100", "100.0", "150", "250.5", "0.0"))
            if rng.chance(1, 2):
                base[(pos + 1) % len(base)] = rng.pick(("0", "100"))
        out.append((label, base))
    return out


def sample_id(rng, k):
    r = rng.below(40)
    if r == 0:
        return "Site %d, east" % k
    if r == 1:
        return "Étang-%d" % k
    if r == 2:
        return "S%03d %s" % (k, "x" * rng.between(250, 300))
    if r == 3:
        return 'say "%d"' % k
    return "S%03d" % k


# --------------------------------------------------------------------------------------------
# Tasks: one folder, one or more CLI invocations in order


class Step:
    def __init__(self, name, args, stdin=None):
        self.name = name  # prefix of the captured stdout/stderr/status files
        self.args = args
        self.stdin = stdin  # name of an input file fed to standard input


class Task:
    def __init__(self, name, steps, inputs=None, twin_of=None, kind="batch"):
        self.name = name  # relative folder, e.g. "batch/b0001"
        self.steps = steps
        self.inputs = inputs or {}  # file name -> text
        self.twin_of = twin_of  # a task whose outputs these must equal (--jobs 2)
        self.kind = kind


def batch_step(survey_name, reference, o, idx, extra=(), jobs=None, power_text=None):
    args = ["batch", survey_name, "--reference", reference]
    oo = dict(o)
    if power_text is not None:
        oo["power"] = power_text
    args += option_args(oo)
    args += ["--output", "results.csv", "--summary-log", "s%04d.dbf" % idx,
             "--detailed-log", "d%04d.dbf" % idx]
    if jobs is not None:
        args += ["--jobs", str(jobs)]
    args += list(extra)
    return Step("run", args)


def build_batch_tasks():
    tasks = []
    sets = option_sets()
    idx = 0
    for i, o in enumerate(sets):
        rng = rng_for("batch", i)
        scale = make_scale(rng, o["transform"])
        ptext = power_for(o, scale)

        # Main: a normal reference and test samples for every path.
        nref = 3 + (i * 7) % 8
        survey = Survey()
        ref_units = normal_units(rng, scale, nref)
        survey.add("REF", texts_of(rng, ref_units, scale))
        for k, (label, texts) in enumerate(test_samples(rng, scale, nref, o["transform"], 22)):
            tally(label, o["transform"])
            survey.add(sample_id(rng, k + 1), texts)
        rng.shuffle(survey.samples)
        text = survey.csv_text(rng, survey_layout(rng))
        idx += 1
        # Every other main batch reads values by their leading number, as the window does.
        lenient = ("--lenient",) if i % 2 == 1 else ()
        tasks.append(Task("batch/m%04d" % idx,
                          [batch_step("survey.csv", "REF", o, idx, extra=lenient, power_text=ptext)],
                          {"survey.csv": text}))
        if i % 6 == 0 or i % 6 == 1:
            # The same batch on two threads: its outputs must equal the single-thread ones.
            tasks.append(Task("batch/m%04dj" % idx,
                              [batch_step("survey.csv", "REF", o, idx, extra=lenient, jobs=2,
                                          power_text=ptext)],
                              {"survey.csv": text}, twin_of="batch/m%04d" % idx))

        # One-sample: a reference of equal values; with --one-sample in turn also one value,
        # two equal values and two different ones (which go the two-sample way).
        survey = Survey()
        variant = (i // 2) % 4 if o["one_sample"] else 0
        half_sd = max(1, scale.sd // 2)
        if variant == 1:
            ref_units = constant_units(rng, scale, 1)
        elif variant == 2:
            ref_units = constant_units(rng, scale, 2)
        elif variant == 3:
            ref_units = [scale.mean, scale.mean + 2 * half_sd]
        else:
            ref_units = constant_units(rng, scale, 3 + (i * 5) % 8)
        survey.add("CREF", texts_of(rng, ref_units, scale))
        nplan = ["student", "student", "approx", "zero", "zero", "mw_outlier", "sizes", "small",
                 "mw_small", "tied_small", "mw_three"]
        for k, label in enumerate(nplan):
            n = rng.between(3, 10)
            if label == "zero":
                units = constant_units(rng, scale, n)
            elif label == "approx":
                units = normal_units(rng, scale, n, rng.pick((0, 20, -20)), 60)
            elif label == "mw_outlier":
                units = outlier_units(rng, scale, n, 0, 80)
            elif label == "sizes":
                units = normal_units(rng, scale, rng.between(1, 10), 10)
            elif label == "small":
                units = normal_units(rng, scale, rng.between(1, 2), 0)
            elif label == "mw_small":
                units = outlier_units(rng, scale, rng.between(3, 4), 0, 60)
            elif label == "tied_small":
                units = tied_units(rng, scale, rng.between(3, 4))
            elif label == "mw_three":
                # Against the two-value reference: not normal, equal spread, and three
                # against two, where Mann-Whitney cannot reject at 0.05.
                c = scale.mean + scale.sd * rng.pick((0, 1, -1, 3))
                units = [c, c, c + 3 * half_sd]
            else:
                units = normal_units(rng, scale, n, rng.pick((0, 10, -10, 30, -30)))
            tally(label, o["transform"])
            survey.add(sample_id(rng, 100 + k), texts_of(rng, units, scale))
        text = survey.csv_text(rng, survey_layout(rng))
        idx += 1
        tasks.append(Task("batch/c%04d" % idx, [batch_step("survey.csv", "CREF", o, idx, power_text=ptext)],
                          {"survey.csv": text}))

        # A special reference, in turn.
        special = ("missing", "blank", "toomany", "domain", "partial", "nonfinite", "two",
                   "ties", "unbalanced", "arcsin")[(i // 2) % 10]
        survey = Survey()
        nref2 = rng.between(3, 10)
        ref_texts = texts_of(rng, normal_units(rng, scale, nref2), scale)
        ref_id = "XREF"
        if special == "missing":
            ref_id = "NOPE"
        elif special == "blank":
            ref_texts[rng.below(nref2)] = ""
        elif special == "toomany":
            ref_texts = texts_of(rng, normal_units(rng, scale, 11), scale)
        elif special == "domain":
            ref_texts[rng.below(nref2)] = rng.pick(("-2", "-1", "-0.5"))
        elif special == "partial":
            ref_texts[rng.below(nref2)] = fixed_text(scale.mean, scale.decimals) + "abc"
        elif special == "nonfinite":
            ref_texts[rng.below(nref2)] = "1e999"
        elif special == "two":
            ref_texts = texts_of(rng, normal_units(rng, scale, 2), scale)
        elif special == "ties":
            ref_texts = texts_of(rng, tied_units(rng, scale, nref2), scale)
        elif special == "unbalanced":
            ref_texts = texts_of(rng, normal_units(rng, scale, 10), scale)
        elif special == "arcsin":
            ref_texts = [rng.pick(("0", "100", "50", "99.5", "0.5", "120")) for _ in range(nref2)]
        survey.add("XREF", ref_texts)
        for k, (label, texts) in enumerate(test_samples(rng, scale, len(ref_texts), o["transform"], 5)):
            tally(label, o["transform"])
            survey.add(sample_id(rng, 200 + k), texts)
        text = survey.csv_text(rng, survey_layout(rng))
        idx += 1
        tasks.append(Task("batch/x%04d" % idx, [batch_step("survey.csv", ref_id, o, idx, power_text=ptext)],
                          {"survey.csv": text}))
    tasks.extend(edge_batch_tasks())
    return tasks


def edge_batch_tasks():
    """The batch command's own refusals and its other ways of reading and writing."""
    rng = rng_for("batch-edges")
    scale = Scale(500, 40, 1, 0)
    survey = Survey()
    survey.add("R", texts_of(rng, normal_units(rng, scale, 6), scale))
    for k, (label, texts) in enumerate(test_samples(rng, scale, 6, "No Transformation", 12)):
        survey.add("T%d" % k, texts)
    good = survey.csv_text(rng, {"header": "sample,value", "order": ("sample", "value"),
                                 "eol": "\n", "interleave": False, "quote_ids": False,
                                 "final_eol": True})
    cases = [
        ("stdout", ["batch", "survey.csv", "--reference", "R"], {"survey.csv": good}, None),
        ("stdin", ["batch", "-", "--reference", "R", "--output", "results.csv"],
         {"stdin.txt": good}, "stdin.txt"),
        ("nofile", ["batch", "missing.csv", "--reference", "R"], {}, None),
        ("nohead", ["batch", "survey.csv", "--reference", "R"], {"survey.csv": ""}, None),
        ("nocol", ["batch", "survey.csv", "--reference", "R"],
         {"survey.csv": "sample,amount\nR,1\n"}, None),
        ("novalue", ["batch", "survey.csv", "--reference", "R"],
         {"survey.csv": "value,site\n1,a\n"}, None),
        ("badline", ["batch", "survey.csv", "--reference", "R"],
         {"survey.csv": 'sample,value\nR,1\nR,2,3\nR,"3\nT,4\n,5\nT,x"y\n'}, None),
        ("manybad", ["batch", "survey.csv", "--reference", "R"],
         {"survey.csv": "site,sample,value\n" + "".join("x%d\n" % k for k in range(30))}, None),
        ("sameLog", ["batch", "survey.csv", "--reference", "R", "--summary-log", "same.dbf",
                     "--detailed-log", "same.dbf"], {"survey.csv": good}, None),
        ("badLogDir", ["batch", "survey.csv", "--reference", "R", "--summary-log",
                       "nodir/s.dbf"], {"survey.csv": good}, None),
        ("badOut", ["batch", "survey.csv", "--reference", "R", "--output", "nodir/r.csv"],
         {"survey.csv": good}, None),
        ("onlyref", ["batch", "survey.csv", "--reference", " R "],
         {"survey.csv": "sample,value\nR,1\nR,2\nR,3\n"}, None),
        ("jobs64", ["batch", "survey.csv", "--reference", "R", "--jobs", "64", "--output",
                    "results.csv", "--detailed-log", "d.dbf"], {"survey.csv": good}, None),
        ("jobs0", ["batch", "survey.csv", "--reference", "R", "--jobs", "0"],
         {"survey.csv": good}, None),
        ("badalt", ["batch", "survey.csv", "--reference", "R", "--alternative", "x1 = x2"],
         {"survey.csv": good}, None),
        ("noref", ["batch", "survey.csv"], {"survey.csv": good}, None),
        ("badpower", ["batch", "survey.csv", "--reference", "R", "--power-difference", "5x"],
         {"survey.csv": good}, None),
        ("help", ["batch", "--help"], {}, None),
    ]
    tasks = []
    for name, args, inputs, stdin in cases:
        tasks.append(Task("edge/batch-" + name, [Step("run", args, stdin=stdin)], inputs))
    return tasks


# Analyze runs


def analyze_entries(rng, k, o, scale):
    """(test texts, reference texts, label) for analyze run k: every family in turn."""
    families = ("student", "approx", "mw_outlier", "mw_tied", "rankit", "onesample", "zero",
                "unbalanced", "small", "blank", "special", "domain", "arcsin_edge", "ties",
                "student", "approx10", "mw_bimodal", "rankit_skew", "onesample_small", "sizes",
                "toomany_free")
    label = families[k % len(families)]
    nref = rng.between(3, 10)
    ref = normal_units(rng, scale, nref)
    if label in ("onesample", "zero"):
        ref = constant_units(rng, scale, nref)
    if label == "onesample_small":
        ref = constant_units(rng, scale, rng.between(1, 2))
    if label == "mw_outlier":
        ref = outlier_units(rng, scale, nref, 0, 70)
    ref_texts = texts_of(rng, ref, scale)
    if label in ("onesample", "onesample_small", "student", "sizes"):
        samples = [("x", texts_of(rng, normal_units(rng, scale, rng.between(3, 10) if label != "sizes" else rng.between(1, 10), rng.pick((0, 10, -10, 30))), scale))]
    elif label == "zero":
        samples = [("x", texts_of(rng, constant_units(rng, scale, rng.between(3, 10)), scale))]
    elif label == "toomany_free":
        samples = [("x", texts_of(rng, normal_units(rng, scale, 10), scale))]
    else:
        fam = {"approx10": "approx10", "mw_bimodal": "mw_bimodal"}.get(label, label)
        samples = []
        while not samples:
            cand = test_samples(rng, scale, nref, o["transform"], 30)
            samples = [s for s in cand if s[0] == fam]
            if not samples:
                samples = [cand[0]]
    test_texts = samples[0][1]
    # The command line splits at commas; a value with one is written without it.
    test_texts = [t.replace(",", ".") for t in test_texts][:10]
    ref_texts = [t.replace(",", ".") for t in ref_texts][:10]
    return test_texts, ref_texts, label


def build_analyze_tasks():
    tasks = []
    sets = option_sets()
    for k in range(480):
        o = sets[(k * 37) % len(sets)]
        rng = rng_for("analyze", k)
        scale = make_scale(rng, o["transform"])
        test, ref, label = analyze_entries(rng, k, o, scale)
        args = ["analyze", "--test", ",".join(test), "--reference", ",".join(ref)]
        oo = dict(o)
        oo["power"] = power_for(o, scale)
        args += option_args(oo)
        n = k + 1
        steps = []
        if k % 5 != 4:
            args.append("--json")
        if k % 3 == 1:
            args.append("--lenient")
        if k % 2 == 0:
            args += ["--report", "r%03d.csv" % (n % 1000), "--detailed-log", "d%03d.dbf" % (n % 1000),
                     "--summary-log", "s%03d.dbf" % (n % 1000)]
        if k % 8 == 3:
            # Save, then load into a fresh run with the same options, then save that again.
            args += ["--save", "a%03d.dbf" % (n % 1000)]
            steps.append(Step("run", args))
            load = ["analyze", "--load", "a%03d.dbf" % (n % 1000)] + option_args(oo) + ["--json"]
            steps.append(Step("load", load))
            again = ["analyze", "--load", "a%03d.dbf" % (n % 1000), "--save", "b%03d.dbf" % (n % 1000)]
            steps.append(Step("resave", again))
        else:
            steps.append(Step("run", args))
        tasks.append(Task("analyze/a%04d" % n, steps, kind="analyze"))
    tasks.extend(edge_analyze_tasks())
    return tasks


def edge_analyze_tasks():
    """Usage errors, help texts and the file commands' refusals."""
    t = ["--test", "10,11,12,13", "--reference", "14,15,16"]
    cases = [
        ("help", [["--help"]]),
        ("version", [["--version"]]),
        ("nocommand", [[]]),
        ("analyzehelp", [["analyze", "--help"]]),
        ("empty", [["analyze"]]),
        ("emptyjson", [["analyze", "--json"]]),
        ("eleven", [["analyze", "--test", "1,2,3,4,5,6,7,8,9,10,11", "--reference", "1,2,3"]]),
        ("badalpha", [["analyze", "--alpha", "0.01"] + t]),
        ("badtransform", [["analyze", "--transform", "Log"] + t]),
        ("badpower", [["analyze", "--power-difference", "abc"] + t]),
        ("badoverride", [["analyze", "--override", "maybe"] + t]),
        ("loadtest", [["analyze", "--load", "x.dbf", "--test", "1,2,3"]]),
        ("unknown", [["analyze", "--frobnicate"] + t]),
        ("midblank", [["analyze", "--test", "1,,3,4", "--reference", "5,6,7", "--json"]]),
        ("trailblank", [["analyze", "--test", "1,2,3,", "--reference", "5,6,7,", "--json"]]),
        ("spaces", [["analyze", "--test", " 1, 2 ,3 ", "--reference", "5 , 6,7", "--json"]]),
        ("loadmissing", [["analyze", "--load", "nothere.dbf", "--json"]]),
        ("loadnotdbf", [["analyze", "--load", "text.dbf", "--json"]]),
        # A failed save in a missing folder names the save's temporary file (process id and a
        # random number), which no digest can hold; a folder in the target's place fails at
        # the last step instead, naming only the target.
        ("savebad", [["analyze", "--save", "taken.dbf", "--json"] + t]),
        ("savenoext", [["analyze", "--save", ".dbf", "--json"] + t]),
        ("logsame", [["analyze", "--detailed-log", "l.dbf", "--summary-log", "l.dbf",
                      "--json"] + t]),
        ("lognodir", [["analyze", "--detailed-log", "nodir/l.dbf", "--json"] + t]),
        ("reportnodir", [["analyze", "--report", "nodir/r.csv", "--json"] + t]),
        ("reportnoext", [["analyze", "--report", "plain", "--json"] + t]),
        ("reportrefused", [["analyze", "--test", "1,2", "--reference", "3,4,5", "--report",
                            "r.csv", "--json"]]),
        ("readable-refused", [["analyze", "--test", "1,2", "--reference", "3,4,5"]]),
        ("readable-onesample", [["analyze", "--test", "4,5,6,7", "--reference", "5",
                                 "--one-sample", "--power-difference", "1"]]),
        ("twice", [["analyze", "--save", "t.dbf", "--json"] + t,
                   ["analyze", "--save", "t.dbf", "--json", "--test", "1,2,3", "--reference",
                    "1,2,3"],
                   ["analyze", "--load", "t.dbf", "--report", "t.csv", "--json"]]),
    ]
    tasks = []
    for name, runs in cases:
        steps = [Step("run" if j == 0 else "run%d" % j, args) for j, args in enumerate(runs)]
        inputs = {}
        if name == "loadnotdbf":
            inputs = {"text.dbf": "this is not a table\n"}
        if name == "savebad":
            inputs = {"taken.dbf/": ""}
        tasks.append(Task("edge/analyze-" + name, steps, inputs, kind="analyze"))
    return tasks


def all_tasks():
    return build_batch_tasks() + build_analyze_tasks()


# --------------------------------------------------------------------------------------------
# Running


class ProgramCopy:
    """A private copy of the CLI's program folder (the executable and its tables). The
    program re-creates its report table beside itself; with a copy per worker no two runs
    share it, and whatever a run adds to or changes in the folder is taken into that run's
    outputs (as STEP.program.NAME) and the folder put back as it was."""

    def __init__(self, cli, target):
        self.source = os.path.dirname(os.path.realpath(cli))
        self.folder = target
        os.makedirs(target)
        for name in sorted(os.listdir(self.source)):
            path = os.path.join(self.source, name)
            if os.path.isfile(path) and name.lower() != "reportr.dbf":
                shutil.copy2(path, os.path.join(target, name))
        self.snapshot = self.state()
        self.cli = os.path.join(target, os.path.basename(os.path.realpath(cli)))

    def state(self):
        found = {}
        for name in os.listdir(self.folder):
            st = os.stat(os.path.join(self.folder, name))
            found[name] = (st.st_size, st.st_mtime_ns)
        return found

    def collect(self, task_folder, step_name):
        now = self.state()
        for name in sorted(set(now) | set(self.snapshot)):
            if now.get(name) == self.snapshot.get(name):
                continue
            path = os.path.join(self.folder, name)
            kept = os.path.join(task_folder, "%s.program.%s" % (step_name, name))
            if name not in self.snapshot:
                shutil.move(path, kept)
                continue
            if name not in now:
                with open(kept + ".removed", "wb"):
                    pass
            else:
                shutil.copy2(path, kept)
            shutil.copy2(os.path.join(self.source, name), path)
        self.snapshot = self.state()


def run_task(task, program, root):
    folder = os.path.join(root, task.name)
    os.makedirs(folder)
    for name, text in task.inputs.items():
        if name.endswith("/"):
            os.makedirs(os.path.join(folder, name))
            continue
        with open(os.path.join(folder, name), "wb") as f:
            f.write(text.encode("utf-8"))
    for step in task.steps:
        home = os.path.join(folder, "home")
        os.makedirs(home, exist_ok=True)
        env = dict(os.environ)
        env["HOME"] = home
        env["LC_ALL"] = "C"
        env["TZ"] = "UTC"
        stdin = subprocess.DEVNULL
        if step.stdin:
            stdin = open(os.path.join(folder, step.stdin), "rb")
        try:
            with open(os.path.join(folder, step.name + ".stdout"), "wb") as out, \
                    open(os.path.join(folder, step.name + ".stderr"), "wb") as err:
                try:
                    proc = subprocess.run([program.cli] + step.args, cwd=folder, env=env,
                                          stdin=stdin, stdout=out, stderr=err, timeout=300)
                    status = b"%d\n" % proc.returncode
                except subprocess.TimeoutExpired:
                    status = b"timed out after 300 s\n"
        finally:
            if step.stdin:
                stdin.close()
        with open(os.path.join(folder, step.name + ".status"), "wb") as f:
            f.write(status)
        program.collect(folder, step.name)


# --------------------------------------------------------------------------------------------
# Normalising and digesting


def normalised_dbf(data):
    """A dBASE III table with its last-update date (header bytes 1 to 3) blanked."""
    if len(data) >= 4:
        return data[:1] + b"\0\0\0" + data[4:]
    return data


CORE_DATES = re.compile(rb"(<dcterms:(?:created|modified)[^>]*>)[^<]*(</dcterms:)")


def normalised_xlsx(data):
    """The workbook's members in name order, with the dates of docProps/core.xml blanked;
    the zip container (and its timestamps) is left out."""
    try:
        z = zipfile.ZipFile(io.BytesIO(data))
        parts = []
        for name in sorted(z.namelist()):
            member = z.read(name)
            if name == "docProps/core.xml":
                member = CORE_DATES.sub(rb"\1\2", member)
            parts.append(b"%d:%s\n%d:" % (len(name.encode()), name.encode(), len(member)) + member)
        return b"xlsx-members\n" + b"".join(parts)
    except (zipfile.BadZipFile, KeyError, OSError):
        return data


def normalised(path, data, root):
    lower = path.lower()
    if lower.endswith(".dbf"):
        return normalised_dbf(data)
    if lower.endswith(".xlsx"):
        return normalised_xlsx(data)
    return data.replace(root.encode("utf-8"), WORK_TOKEN)


def output_files(folder, task):
    """The files a task left, as (relative name within the task, absolute path)."""
    found = []
    for dirpath, dirnames, filenames in os.walk(folder):
        dirnames.sort()
        for name in sorted(filenames):
            full = os.path.join(dirpath, name)
            rel = os.path.relpath(full, folder).replace(os.sep, "/")
            if rel in task.inputs:
                continue
            found.append((rel, full))
    found.sort()
    return found


def digest_task(task, root):
    folder = os.path.join(root, task.name)
    digests = {}
    leaks = []
    for rel, full in output_files(folder, task):
        with open(full, "rb") as f:
            data = f.read()
        norm = normalised(rel, data, root)
        if rel.lower().endswith((".dbf", ".xlsx")) and root.encode("utf-8") in data:
            leaks.append(task.name + "/" + rel)
        digests[task.name + "/" + rel] = hashlib.sha256(norm).hexdigest()
    return digests, leaks


# --------------------------------------------------------------------------------------------
# Coverage


def survey_coverage(task, root, counts):
    path = os.path.join(root, task.name, "results.csv")
    if task.twin_of or not os.path.exists(path):
        return
    with open(path, "r", encoding="utf-8", newline="") as f:
        rows = list(csv.reader(f))
    if not rows:
        return
    header = rows[0]
    col = {name: i for i, name in enumerate(header)}
    for row in rows[1:]:
        if len(row) != len(header):
            counts["malformed row"] = counts.get("malformed row", 0) + 1
            continue
        status = row[col["STATUS"]]
        counts["comparisons"] = counts.get("comparisons", 0) + 1
        # Older outputs leave STATUS empty for a comparison that ran; newer ones say "ok" or
        # "warning: ...", and prefix refusals with "refused: ".
        if status and (status.startswith("refused: ") or not status.startswith(("ok", "warning: "))):
            status = status[len("refused: "):] if status.startswith("refused: ") else status
            key = "refused: " + re.sub(r"\d+", "N", re.sub(r'"[^"]*"', '"…"', status))
            counts[key] = counts.get(key, 0) + 1
            continue
        ttype = row[col["T_TYPE"]]
        w = row[col["W_PASSFAIL"]]
        lv = row[col["L_PASSFAIL"]]
        counts["T_TYPE " + ttype] = counts.get("T_TYPE " + ttype, 0) + 1
        sizes = "sizes %s vs %s" % (row[col["SAMP_REPS"]], row[col["REF_REPS"]])
        counts[sizes] = counts.get(sizes, 0) + 1
        if ttype == "1-Sample t-Test":
            path_name = "one-sample t"
            if row[col["SAMP_STD"]] in ("0", "0.0", "0.00", "0.000"):
                path_name = "one-sample t, test of zero spread"
        elif ttype == "Mann-Whitney":
            path_name = "Mann-Whitney (not normal, equal variances)"
        elif w == "N/A":
            path_name = "rankits + %s (not normal, unequal variances)" % ttype
        elif w == "No":
            path_name = "%s after normality override" % ttype
        else:
            path_name = "%s (normal, %s variances)" % (ttype, "equal" if lv == "Yes" else "unequal")
        counts["path " + path_name] = counts.get("path " + path_name, 0) + 1
        if row[col["POWER"]] not in ("", "N/A"):
            counts["power computed"] = counts.get("power computed", 0) + 1
        acc = row[col["PASS_FAIL"]]
        counts["accept null " + acc] = counts.get("accept null " + acc, 0) + 1


def stderr_coverage(task, root, counts):
    for step in task.steps:
        path = os.path.join(root, task.name, step.name + ".stderr")
        if not os.path.exists(path):
            continue
        with open(path, "rb") as f:
            text = f.read().decode("utf-8", "replace")
        for needle, key in (("Rankit transformation will be performed", "message rankit notice"),
                            ("is not wholly a number", "message partial-number warning"),
                            ("no spread; the t statistic is infinite", "message infinite one-sample t"),
                            ("Normality Override", "message override question"),
                            ("Minimum Detectable Difference NOT entered", "message no power difference"),
                            ("Unable to test for Normality", "message normality untestable"),
                            ("Unable to test for Homoscedasticity", "message homoscedasticity untestable"),
                            ("Mann-Whitney cannot reject", "message Mann-Whitney cannot reject"),
                            ("Text too long for field", "message field cut")):
            c = text.count(needle)
            if c:
                counts[key] = counts.get(key, 0) + c


def analyze_coverage(task, root, counts):
    for step in task.steps:
        path = os.path.join(root, task.name, step.name + ".stdout")
        status_path = os.path.join(root, task.name, step.name + ".status")
        with open(status_path) as f:
            status = f.read().strip()
        counts["analyze exit " + status] = counts.get("analyze exit " + status, 0) + 1
        for flag, key in (("--report", "analyze runs with --report"),
                          ("--save", "analyze runs with --save"),
                          ("--load", "analyze runs with --load")):
            if flag in step.args:
                counts[key] = counts.get(key, 0) + 1
        if step.args[:1] == ["analyze"] and "--json" not in step.args:
            counts["analyze runs without --json"] = counts.get("analyze runs without --json", 0) + 1
        with open(path, "rb") as f:
            text = f.read().decode("utf-8", "replace")
        m = re.search(r'"statistic": "([^"]*)"', text) or re.search(r"^  Statistic: *(.*)$", text, re.M)
        stat = m.group(1) if m else ""
        counts["analyze statistic " + (stat or "(none)")] = counts.get("analyze statistic " + (stat or "(none)"), 0) + 1


# Paths every recording must reach, with the least count that shows they are more than luck.
REQUIRED = (
    ("path Student's t (normal, equal variances)", 100),
    ("path Approximate t (normal, unequal variances)", 100),
    ("path Mann-Whitney (not normal, equal variances)", 100),
    ("path rankits + Student's t (not normal, unequal variances)", 100),
    ("path rankits + Approximate t (not normal, unequal variances)", 100),
    ("path Student's t after normality override", 100),
    ("path Approximate t after normality override", 100),
    ("path one-sample t", 100),
    ("path one-sample t, test of zero spread", 100),
    ("power computed", 100),
    ("message no power difference", 100),
    ("message partial-number warning", 50),
    ("message Mann-Whitney cannot reject", 1),
    ("analyze statistic Student's t", 20),
    ("analyze statistic Approximate t", 20),
    ("analyze statistic Mann-Whitney", 20),
    ("analyze statistic 1-Sample t-Test", 20),
)


def print_coverage(counts, out=sys.stdout):
    out.write("Coverage:\n")
    sizes = {}
    for key in sorted(counts):
        if key.startswith("sizes "):
            sizes[key] = counts[key]
            continue
        out.write("  %7d  %s\n" % (counts[key], key))
    out.write("  Completed comparisons by test size (rows) and reference size (columns):\n")
    out.write("        " + "".join("%6d" % b for b in range(1, 11)) + "\n")
    for a in range(1, 11):
        cells = "".join("%6d" % sizes.get("sizes %d vs %d" % (a, b), 0) for b in range(1, 11))
        out.write("    %2d  %s\n" % (a, cells))
    out.write("  Test samples in the batch surveys by family and transformation:\n")
    out.write("    %-14s" % "" + "".join("%10s" % t.split(" ")[0] for t in TRANSFORMS) + "\n")
    for label in sorted({k[0] for k in FAMILY_COUNTS}):
        out.write("    %-14s" % label + "".join(
            "%10d" % FAMILY_COUNTS.get((label, t), 0) for t in TRANSFORMS) + "\n")
    for key, least in REQUIRED:
        if counts.get(key, 0) < least:
            out.write("COVERAGE GAP: %s: %d (want at least %d)\n" % (key, counts.get(key, 0), least))


# --------------------------------------------------------------------------------------------
# The commands


def run_all(clis, tasks, on_done):
    """Runs the tasks on WORKERS threads, worker w taking tasks w, w+WORKERS, ... in order.
    `clis` maps a root folder to the CLI to run there; each worker runs every task under each
    root with its own copy of that CLI's program folder, then calls on_done(task) and goes on."""
    copies = []
    for w in range(WORKERS):
        mine = {}
        for root, cli in clis.items():
            mine[root] = ProgramCopy(cli, os.path.join(root, "program%d" % w))
        copies.append(mine)
    errors = []

    def worker(w):
        try:
            for i in range(w, len(tasks), WORKERS):
                if errors:
                    return
                for root, program in copies[w].items():
                    run_task(tasks[i], program, root)
                on_done(tasks[i])
        except BaseException as e:  # noqa: BLE001 - raised again below
            errors.append(e)

    threads = [threading.Thread(target=worker, args=(w,)) for w in range(WORKERS)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    if errors:
        raise errors[0]


def record_or_check(args, mode):
    cli = os.path.abspath(args.cli)
    if not os.access(cli, os.X_OK):
        sys.exit("differential: %s is not an executable" % cli)
    tasks = all_tasks()
    with WorkFolder(args.work, args.keep) as work:
        root = os.path.join(work.path, "run")
        digests = {}
        leaks = []
        counts = {}
        lock = threading.Lock()

        def done(task):
            d, lk = digest_task(task, root)
            c = {}
            if task.kind == "batch":
                survey_coverage(task, root, c)
            else:
                analyze_coverage(task, root, c)
            stderr_coverage(task, root, c)
            with lock:
                digests.update(d)
                leaks.extend(lk)
                for k, v in c.items():
                    counts[k] = counts.get(k, 0) + v
            if not work.keep_files:
                shutil.rmtree(os.path.join(root, task.name))

        start = time.time()
        run_all({root: cli}, tasks, done)
        elapsed = time.time() - start

    problems = twin_problems(tasks, digests)
    counts["batch invocations"] = sum(1 for t in tasks if t.kind == "batch")
    counts["analyze invocations"] = sum(len(t.steps) for t in tasks if t.kind == "analyze")
    print_coverage(counts)
    print("Ran %d tasks, %d output files, in %.1f s" % (len(tasks), len(digests), elapsed))
    for leak in leaks:
        print("WARNING: the work folder's path is written inside %s" % leak)
    for p in problems:
        print("WARNING: " + p)

    if mode == "record":
        with open(EXPECTED_FILE, "w", encoding="utf-8", newline="\n") as f:
            for name in sorted(digests):
                f.write("%s  %s\n" % (digests[name], name))
        print("Wrote %s (%d lines)" % (EXPECTED_FILE, len(digests)))
        return 0

    expected = read_expected()
    differing = sorted(n for n in digests if n in expected and expected[n] != digests[n])
    missing = sorted(n for n in expected if n not in digests)
    extra = sorted(n for n in digests if n not in expected)
    for n in differing:
        print("DIFFERS  " + n)
    for n in missing:
        print("MISSING  " + n)
    for n in extra:
        print("EXTRA    " + n)
    if differing or missing or extra or problems:
        print("check: %d differing, %d missing, %d extra file(s)%s" % (
            len(differing), len(missing), len(extra),
            ", %d --jobs 2 mismatch(es)" % len(problems) if problems else ""))
        return 1
    print("check: all %d files identical" % len(digests))
    return 0


def twin_problems(tasks, digests):
    """--jobs 2 batches whose outputs differ from their single-thread twins."""
    problems = []
    for t in tasks:
        if not t.twin_of:
            continue
        for name in sorted(digests):
            if not name.startswith(t.twin_of + "/"):
                continue
            rel = name[len(t.twin_of) + 1:]
            if rel.endswith(".stderr"):
                continue  # names the task's own folder
            other = t.name + "/" + rel
            if digests.get(other) != digests[name]:
                problems.append("%s differs from %s with --jobs 2" % (other, name))
    return problems


def read_expected():
    expected = {}
    if not os.path.exists(EXPECTED_FILE):
        sys.exit("differential: %s is missing; run record first" % EXPECTED_FILE)
    with open(EXPECTED_FILE, "r", encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line:
                continue
            digest, name = line.split("  ", 1)
            expected[name] = digest
    return expected


class WorkFolder:
    """The work folder: the given one, or a fresh temporary one (in /dev/shm where there is
    one: the logs are fsynced after every record) removed afterwards unless kept."""

    def __init__(self, work, keep):
        self.given = work
        self.keep = keep
        self.path = None

    def __enter__(self):
        if self.given:
            os.makedirs(self.given, exist_ok=True)
            if os.listdir(self.given):
                sys.exit("differential: the work folder %s is not empty" % self.given)
            self.path = os.path.realpath(self.given)
        else:
            base = "/dev/shm" if os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK) else None
            self.path = os.path.realpath(tempfile.mkdtemp(prefix="benthix-differential-", dir=base))
        return self

    @property
    def keep_files(self):
        return bool(self.keep or self.given)

    def __exit__(self, *exc):
        if self.keep or self.given:
            print("Work folder kept: %s" % self.path)
        else:
            shutil.rmtree(self.path, ignore_errors=True)
        return False


# --------------------------------------------------------------------------------------------
# compare: both programs on the same inputs, the first difference of each file


def read_dbf(data):
    """(fields, records) of a dBASE III table: fields as (name, type, length), records as
    (deleted flag, [field texts])."""
    if len(data) < 32:
        raise ValueError("shorter than a header")
    count, header_len, record_len = struct.unpack("<IHH", data[4:12])
    fields = []
    pos = 32
    while pos + 32 <= len(data) and data[pos] != 0x0D:
        raw = data[pos:pos + 32]
        name = raw[:11].split(b"\0", 1)[0].decode("latin-1")
        fields.append((name, chr(raw[11]), raw[16]))
        pos += 32
    records = []
    for r in range(count):
        start = header_len + r * record_len
        rec = data[start:start + record_len]
        if len(rec) < record_len:
            break
        values = []
        off = 1
        for name, _type, length in fields:
            values.append(rec[off:off + length].decode("latin-1"))
            off += length
        records.append((rec[:1].decode("latin-1"), values))
    return fields, records, data[:32]


def first_dbf_difference(a, b):
    try:
        fa, ra, ha = read_dbf(a)
        fb, rb, hb = read_dbf(b)
    except (ValueError, struct.error) as e:
        return "not a readable table (%s)" % e
    if fa != fb:
        for i in range(max(len(fa), len(fb))):
            x = fa[i] if i < len(fa) else None
            y = fb[i] if i < len(fb) else None
            if x != y:
                return "field %d: new %s, old %s" % (i + 1, x, y)
    if len(ra) != len(rb):
        msg = "record count: new %d, old %d" % (len(ra), len(rb))
    else:
        msg = None
    for i in range(min(len(ra), len(rb))):
        if ra[i] != rb[i]:
            if ra[i][0] != rb[i][0]:
                return "record %d: deletion flag new %r, old %r" % (i + 1, ra[i][0], rb[i][0])
            names = [f[0] for f in fa]
            where = ""
            if "SAMPID" in names:
                where = " (SAMPID %r)" % ra[i][1][names.index("SAMPID")].rstrip()
            for j, (x, y) in enumerate(zip(ra[i][1], rb[i][1])):
                if x != y:
                    return "record %d%s, field %s:\n    new: %r\n    old: %r" % (
                        i + 1, where, fa[j][0], x.rstrip(), y.rstrip())
    if msg:
        return msg
    na = normalised_dbf(a)
    nb = normalised_dbf(b)
    for i in range(min(len(na), len(nb))):
        if na[i] != nb[i]:
            return "byte %d (outside the records): new %02x, old %02x" % (i, na[i], nb[i])
    return "length: new %d, old %d bytes" % (len(na), len(nb))


def first_text_difference(a, b):
    la = a.split(b"\n")
    lb = b.split(b"\n")
    for i in range(max(len(la), len(lb))):
        x = la[i] if i < len(la) else None
        y = lb[i] if i < len(lb) else None
        if x != y:
            show = lambda v: "(no line)" if v is None else v.decode("utf-8", "replace")  # noqa: E731
            return "line %d:\n    new: %s\n    old: %s" % (i + 1, show(x), show(y))
    return "same lines, different bytes"


def first_xlsx_difference(a, b):
    try:
        za = zipfile.ZipFile(io.BytesIO(a))
        zb = zipfile.ZipFile(io.BytesIO(b))
    except zipfile.BadZipFile as e:
        return "not a workbook (%s)" % e
    na, nb = sorted(za.namelist()), sorted(zb.namelist())
    if na != nb:
        return "members: new %s, old %s" % (na, nb)
    for name in na:
        x, y = za.read(name), zb.read(name)
        if name == "docProps/core.xml":
            x, y = CORE_DATES.sub(rb"\1\2", x), CORE_DATES.sub(rb"\1\2", y)
        if x != y:
            for i in range(min(len(x), len(y))):
                if x[i] != y[i]:
                    break
            else:
                i = min(len(x), len(y))
            lo = max(0, i - 60)
            return "member %s at byte %d:\n    new: %s\n    old: %s" % (
                name, i, x[lo:i + 60].decode("utf-8", "replace"),
                y[lo:i + 60].decode("utf-8", "replace"))
    return "same members"


def csv_difference(new, old):
    """The changes of a CSV table by column: columns added and removed, and for each column
    whose values changed the first few changes (old -> new); None when either side is not a
    table with a header."""
    try:
        rn = list(csv.reader(io.StringIO(new.decode("utf-8"))))
        ro = list(csv.reader(io.StringIO(old.decode("utf-8"))))
    except (UnicodeDecodeError, csv.Error):
        return None
    if not rn or not ro:
        return None
    hn, ho = rn[0], ro[0]
    parts = []
    added = [c for c in hn if c not in ho]
    removed = [c for c in ho if c not in hn]
    if added:
        parts.append("columns added: " + ", ".join(added))
    if removed:
        parts.append("columns removed: " + ", ".join(removed))
    common = [c for c in ho if c in hn]
    if [c for c in hn if c in ho] != common:
        parts.append("columns in another order")
    if len(rn) != len(ro):
        parts.append("rows: new %d, old %d" % (len(rn) - 1, len(ro) - 1))
    changes = {}
    for a, b in zip(rn[1:], ro[1:]):
        for c in common:
            i, j = hn.index(c), ho.index(c)
            x = a[i] if i < len(a) else None
            y = b[j] if j < len(b) else None
            if x != y:
                pairs = changes.setdefault(c, [])
                if (y, x) not in pairs and len(pairs) < 3:
                    pairs.append((y, x))
    for c, pairs in changes.items():
        parts.append("column %s changed: %s" % (
            c, "; ".join("%r -> %r" % (y, x) for y, x in pairs)))
    return "\n  ".join(parts) if parts else "same table, different bytes"


def describe_difference(name, new, old, new_root, old_root):
    lower = name.lower()
    if lower.endswith(".dbf"):
        return first_dbf_difference(new, old)
    if lower.endswith(".xlsx"):
        return first_xlsx_difference(new, old)
    a, b = normalised(name, new, new_root), normalised(name, old, old_root)
    if lower.endswith(".csv") or (lower.endswith(".stdout") and a.startswith(b"SAMPID,")):
        table = csv_difference(a, b)
        if table is not None:
            return table
    return first_text_difference(a, b)


def shape_of(name, description):
    """What a difference is like, for grouping: the kind of file and the description with
    numbers, ids and quoted texts blurred."""
    kind = re.sub(r"^.*/", "", name)
    kind = re.sub(r"^[a-z]?\d+[a-z]?\.", "", kind)
    text = re.sub(r"'[^']*'", "'…'", description)
    text = re.sub(r"\d+(\.\d+)?(e[-+]?\d+)?", "#", text)
    text = re.sub(r"\bS\d+|\bS#", "S#", text)
    return kind + ": " + text


def compare(args):
    new_cli = os.path.abspath(args.cli)
    old_cli = os.path.abspath(args.against)
    for c in (new_cli, old_cli):
        if not os.access(c, os.X_OK):
            sys.exit("differential: %s is not an executable" % c)
    tasks = all_tasks()
    reports = {}
    totals = {"files": 0, "differing": 0}
    lock = threading.Lock()
    with WorkFolder(args.work, args.keep) as work:
        new_root = os.path.join(work.path, "new")
        old_root = os.path.join(work.path, "old")

        def done(task):
            lines, files, differing = compare_task(task, new_root, old_root)
            with lock:
                reports[task.name] = lines
                totals["files"] += files
                totals["differing"] += differing
            if not work.keep_files:
                shutil.rmtree(os.path.join(new_root, task.name))
                shutil.rmtree(os.path.join(old_root, task.name))

        start = time.time()
        run_all({new_root: new_cli, old_root: old_cli}, tasks, done)
        elapsed = time.time() - start
    if args.summary:
        # One group per kind of change: how many files, and one of them in full.
        groups = {}
        for task in tasks:
            for entry in reports.get(task.name, []):
                first, _, rest = entry.partition("\n")
                name = first.split()[1] if len(first.split()) > 1 else first
                key = shape_of(name, rest.split("\n  command:")[0]) if rest else first.split()[0]
                group = groups.setdefault(key, [0, entry])
                group[0] += 1
        for key, (count, example) in sorted(groups.items(), key=lambda g: -g[1][0]):
            print("%6d files like:\n%s\n" % (count, example))
    else:
        for task in tasks:
            for line in reports.get(task.name, []):
                print(line)
    print("compare: %d of %d files differ (both programs ran in %.1f s)" % (
        totals["differing"], totals["files"], elapsed))
    return 1 if totals["differing"] else 0


def compare_task(task, new_root, old_root):
    dn, _ = digest_task(task, new_root)
    do, _ = digest_task(task, old_root)
    lines = []
    differing = 0
    names = sorted(set(dn) | set(do))
    for name in names:
        rel = name[len(task.name) + 1:]
        if name not in do:
            differing += 1
            lines.append("EXTRA    %s (written by the new program only)" % name)
            continue
        if name not in dn:
            differing += 1
            lines.append("MISSING  %s (written by the old program only)" % name)
            continue
        if dn[name] == do[name]:
            continue
        differing += 1
        with open(os.path.join(new_root, task.name, rel), "rb") as f:
            new = f.read()
        with open(os.path.join(old_root, task.name, rel), "rb") as f:
            old = f.read()
        step = next((s for s in task.steps if rel.startswith(s.name + ".")), task.steps[0])
        lines.append("DIFFERS  %s\n  %s\n  command: benthix-cli %s" % (
            name, describe_difference(name, new, old, new_root, old_root),
            " ".join(quote(a) for a in step.args)))
    return lines, len(names), differing


def quote(arg):
    if arg and re.fullmatch(r"[A-Za-z0-9_./=:+-]+", arg):
        return arg
    return "'" + arg.replace("'", "'\\''") + "'"


def main(argv=None):
    parser = argparse.ArgumentParser(description="Byte-for-byte differential check of benthix-cli.")
    sub = parser.add_subparsers(dest="command", required=True)
    for name, text in (("record", "run the CLI and write expected.sha256"),
                       ("check", "run the CLI and compare with expected.sha256")):
        p = sub.add_parser(name, help=text)
        p.add_argument("--cli", required=True, help="the benthix-cli executable")
        p.add_argument("--work", help="an empty folder to run in (kept)")
        p.add_argument("--keep", action="store_true", help="keep the temporary work folder")
    p = sub.add_parser("compare", help="run two CLIs and show the first difference of each file")
    p.add_argument("--cli", required=True, help="the new benthix-cli")
    p.add_argument("--against", required=True, help="the old benthix-cli")
    p.add_argument("--summary", action="store_true",
                   help="group the differences by kind: a count and one example of each")
    p.add_argument("--work", help="an empty folder to run in (kept)")
    p.add_argument("--keep", action="store_true", help="keep the temporary work folder")
    args = parser.parse_args(argv)
    if args.command == "compare":
        return compare(args)
    return record_or_check(args, args.command)


if __name__ == "__main__":
    sys.exit(main())
