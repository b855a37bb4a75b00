#!/usr/bin/env python3
"""Prints each benchmark figure beside its baseline from the same run.

Reads the JSON that bench_library and bench_editor write with
--benchmark_format=json. With repetitions the median is used, and the cv column shows the larger
coefficient of variation of the two figures compared.
"""

import json
import sys

# (label, measure, baseline, target ratio or None, absolute limit in seconds or None)
# The load target is set for the largest library only.
LOAD_TARGET_SIZE = 100000
ROWS = [
    ("load + numbering", "BM_LoadAndNumber/{n}", "BM_BareParse/{n}", 2.0, None),
    ("  load alone", "BM_LoadOnly/{n}", "BM_BareParse/{n}", None, None),
    ("Serialize()", "BM_Serialize/{n}", "BM_BareSerialize/{n}", 2.0, None),
    ("  same engine call", "BM_Serialize/{n}", "BM_BareSaveTree/{n}", None, None),
    ("SaveTo(path)", "BM_SaveTo/{n}", "BM_BareWrite/{n}", None, None),
    ("tree rebuild", "BM_TreeRebuild/{n}", "BM_BareTree/{n}", 1.5, None),
    ("  one-pass sketch", "BM_RebuildSketch/{n}", "BM_BareTree/{n}", None, None),
]
SIZES = [1000, 10000, 100000]
SINGLE = [
    ("id lookup, 100k", "BM_FindByItemId", "BM_VectorIndex", None, 1e-6),
    ("  XPath lookup, 100k", "BM_XPathLookup", "BM_FindByItemId", None, None),
    ("keystroke, 100k", "BM_Keystroke", "BM_BareKeystroke", None, 1e-3),
]
# Shares: a part measured alone, against the whole it belongs to.
SHARES = [
    ("status texts/rebuild", "BM_RebuildStatusTexts", "BM_TreeRebuild/1000", 1000),
]
UNIT = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def load(paths):
    times, spread, context, errors = {}, {}, {}, []
    for path in paths:
        try:
            with open(path, encoding="utf-8") as f:
                data = json.load(f)
        except (OSError, ValueError) as e:
            print(f"cannot read {path}: {e}", file=sys.stderr)
            continue
        context.update(data.get("context", {}))
        for b in data.get("benchmarks", []):
            name = b.get("run_name", b["name"]).replace("/real_time", "")
            if b.get("error_occurred"):
                errors.append(f"{name}: {b.get('error_message')}")
                continue
            aggregate = b.get("aggregate_name") if b.get("run_type") == "aggregate" else None
            if aggregate == "cv":
                spread[name] = b["real_time"]
            elif aggregate in (None, "median"):
                times[name] = b["real_time"] * UNIT[b.get("time_unit", "ns")]
    return times, spread, context, errors


def fmt(seconds):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("us", 1e-6), ("ns", 1e-9)):
        if seconds >= scale:
            return f"{seconds / scale:8.2f} {unit:2}"
    return f"{seconds / 1e-9:8.2f} ns"


def main():
    times, spread, context, errors = load(sys.argv[1:])
    for key in sorted(context):
        if key in ("scratch_dir", "num_cpus", "load_avg") or key.startswith("file_"):
            print(f"{key}: {context[key]}")
    print()
    header = (
        f"{'measure':22} {'items':>7} {'time':>11} {'baseline':>11} {'ratio':>7} {'cv':>4}  target"
    )
    print(header)
    print("-" * len(header))

    def row(label, n, measure, baseline, target, limit):
        if measure not in times or baseline not in times:
            return
        t, b = times[measure], times[baseline]
        ratio = t / b if b else float("inf")
        note = ""
        if target is not None:
            note = f"<= {target}x " + ("met" if ratio <= target else "MISSED")
        elif limit is not None:
            note = f"< {fmt(limit).strip()} " + ("met" if t < limit else "MISSED")
        # The larger run-to-run spread of the two, when there were repetitions.
        cv = max(spread.get(measure, 0.0), spread.get(baseline, 0.0))
        cv_text = f"{100 * cv:3.0f}%" if cv else "   -"
        print(f"{label:22} {n:>7} {fmt(t)} {fmt(b)} {ratio:7.2f} {cv_text}  {note}")

    for label, measure, baseline, target, limit in ROWS:
        for n in SIZES:
            if measure.startswith("BM_LoadAndNumber") and n != LOAD_TARGET_SIZE:
                goal = None
            else:
                goal = target
            row(label, n, measure.format(n=n), baseline.format(n=n), goal, limit)
    for label, measure, baseline, target, limit in SINGLE:
        row(label, 100000, measure, baseline, target, limit)
    for label, part, whole, n in SHARES:
        row(label, n, part, whole, None, None)
    if errors:
        print("\nfailed:")
        for e in errors:
            print("  " + e)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
