#!/usr/bin/env python3
"""Prints the fast-path goals from the benchmark results of one run.

Reads the JSON files that scripts/bench writes (one per benchmark program)
and prints, for every goal, the figure, the anchor measured in the same run
and their ratio. With repetitions the medians are used. Usage:
    scripts/bench_goals.py RESULTS_FOLDER
"""
import json
import pathlib
import sys

UNIT = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}

# (path, benchmark, figure, anchor benchmark or None, goal text, goal test)
# figure is "real" (wall time), "cpu" (CPU time of the measuring thread) or
# "rate" (items per second of CPU time; the ratio is figure / anchor, higher
# is better). CPU time is used wherever the work stays in the measuring
# thread, as it moves far less than wall time on a shared machine; wall time
# where the work waits for storage (the write) or runs in other processes
# (the hand-off).
GOALS = [
    ("configuration read, 99 profiles (CPU)", "BM_ReadConfiguration", "cpu", None, "<= 0.5 ms",
     lambda v, r: v <= 0.5e-3),
    ("configuration write, 99 profiles", "BM_WriteConfiguration", "real", None, "<= 1 ms",
     lambda v, r: v <= 1e-3),
    ("full re-evaluation, 99 profiles (CPU)", "BM_FullReevaluation99Profiles", "cpu", None, "<= 100 us",
     lambda v, r: v <= 100e-6),
    ("registry DWORD read (CPU)", "BM_RegReadDword", "cpu", "BM_SqliteBarePreparedRead", "<= 1.5 x anchor",
     lambda v, r: r <= 1.5),
    ("hand-off to the running engine", "BM_HandOff", "real", "BM_TrivialProcessStart", "<= 2 x anchor",
     lambda v, r: r <= 2.0),
    ("DrawImage, full screen with alpha", "BM_DrawImageFullScreen", "rate", "BM_PixmanOverImage",
     ">= 1.0 x anchor", lambda v, r: r >= 1.0),
    ("  (the same against memcpy)", "BM_DrawImageFullScreen", "rate", "BM_MemcpyArea", "-", None),
    ("Today item full paint, VGA, every add-on", "BM_TodayFullPaintVga", "real", None, "<= 2 ms",
     lambda v, r: v <= 2e-3),
    ("filling an area with alpha", "BM_FillAreaWithAlpha", "rate", "BM_PixmanOverSolid", ">= 1.0 x anchor",
     lambda v, r: r >= 1.0),
]


def load(folder):
    """Benchmark name -> its record (the median when repeated)."""
    runs, medians = {}, {}
    for path in sorted(pathlib.Path(folder).glob("*.json")):
        try:
            data = json.loads(path.read_text())
        except (OSError, ValueError) as error:
            print(f"{path}: unreadable ({error})", file=sys.stderr)
            continue
        for b in data.get("benchmarks", []):
            if b.get("error_occurred"):
                continue
            # "BM_HandOff/iterations:20" counts as "BM_HandOff".
            name = b.get("run_name", b["name"]).split("/")[0]
            if b.get("run_type") == "aggregate":
                if b.get("aggregate_name") == "median":
                    medians[name] = b
            else:
                runs.setdefault(name, b)
    runs.update(medians)
    return runs


def figure(record, kind):
    if kind == "rate":
        return record.get("items_per_second")
    key = "cpu_time" if kind == "cpu" else "real_time"
    return record[key] * UNIT[record.get("time_unit", "ns")]


def show(value, kind):
    if value is None:
        return "-"
    if kind == "rate":
        return f"{value / 1e6:.0f} Mpx/s"
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("us", 1e-6)):
        if value >= scale:
            return f"{value / scale:.3g} {unit}"
    return f"{value / 1e-9:.3g} ns"


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    results = load(sys.argv[1])
    rows = [("path", "figure", "anchor", "ratio", "goal", "met")]
    for label, name, kind, anchor, goal, test in GOALS:
        if name not in results:
            continue
        value = figure(results[name], kind)
        base = figure(results[anchor], kind) if anchor and anchor in results else None
        ratio = None
        if value is not None and base:
            ratio = value / base
        met = "-"
        if test is not None and value is not None and (anchor is None or ratio is not None):
            met = "yes" if test(value, ratio) else "NO"
        rows.append((label, show(value, kind), show(base, kind) if anchor else "-",
                     f"{ratio:.2f}" if ratio is not None else "-", goal, met))
    if len(rows) == 1:
        print("no results for the goals in", sys.argv[1])
        return 0
    widths = [max(len(r[i]) for r in rows) for i in range(len(rows[0]))]
    for r in rows:
        print("  ".join(cell.ljust(w) for cell, w in zip(r, widths)).rstrip())
    return 0


if __name__ == "__main__":
    sys.exit(main())
