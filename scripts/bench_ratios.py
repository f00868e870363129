#!/usr/bin/env python3
"""Prints each benchmark beside its baselines from Google Benchmark JSON files.

A baseline is named after its subject with a "_Baseline" suffix (optionally followed by a word:
"_BaselineMap"), before any "/args": BM_Send/8 is compared with BM_Send_Baseline/8.
"""
import json
import re
import sys

BASELINE = re.compile(r"^(?P<subject>[^/]*?)_Baseline(?P<kind>[A-Za-z0-9]*)(?P<args>/.*)?$")


def load(paths):
    times = {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            for b in json.load(f).get("benchmarks", []):
                if b.get("run_type", "iteration") != "iteration":
                    continue
                times[b["name"]] = (b["real_time"], b["time_unit"])
    return times


def main(paths):
    if not paths:
        print("usage: bench_ratios.py RESULT.json...", file=sys.stderr)
        return 2
    times = load(paths)
    rows = []
    for name, (base_time, unit) in sorted(times.items()):
        m = BASELINE.match(name)
        if not m:
            continue
        subject = m["subject"] + (m["args"] or "")
        if subject not in times:
            continue
        subj_time, subj_unit = times[subject]
        if subj_unit != unit:
            continue
        rows.append((subject, m["kind"] or "baseline", subj_time, base_time, unit))
    if not rows:
        print("no benchmark/baseline pairs found")
        return 1
    width = max(len(r[0]) for r in rows)
    print(f"{'benchmark':<{width}}  {'against':<10} {'time':>12} {'baseline':>12}  ratio")
    for subject, kind, t, b, unit in rows:
        print(f"{subject:<{width}}  {kind:<10} {t:>10.1f}{unit:>2} {b:>10.1f}{unit:>2}  {t / b:6.2f}x")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
