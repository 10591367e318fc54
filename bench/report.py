#!/usr/bin/env python3
"""Turns the benchmark's name=value lines into one table (median, min,
max of the runs) with the ratios, each median of pair ratios with its 95 %
interval, and the same as JSON.
usage: report.py RESULTS.txt RESULTS.json WINE_VERSION"""
import json
import platform
import random
import statistics
import sys


def interval(each, draws=10000):
    """A 95 % interval of the median of EACH by the bootstrap: EACH resampled
    with replacement DRAWS times, and the 2.5th and 97.5th percentiles of the
    resampled medians. The seed is fixed, so the same results print the same
    interval."""
    if not each:
        return float("nan"), float("nan")
    draw = random.Random(1)
    cuts = statistics.quantiles([statistics.median(draw.choices(each, k=len(each))) for _ in range(draws)], n=40)
    return cuts[0], cuts[-1]


def main(results_path, json_path, wine):
    values = {}
    with open(results_path) as results:
        for line in results:
            name, _, value = line.strip().partition("=")
            if value:
                values.setdefault(name, []).append(float(value))
    table = {name: {"median": statistics.median(v), "min": min(v), "max": max(v), "runs": len(v)}
             for name, v in values.items()}
    median = lambda name: table[name]["median"] if name in table else float("nan")
    # Clipwell and the hidden floor ran in alternating pairs: each pair's
    # ratio is a side-by-side measure, and their median sums them up; its
    # interval tells how far that median could move with other pairs.
    def pairs(suffix):
        return [c / f for c, f in zip(values.get("clipwell" + suffix, []), values.get("floor_hidden" + suffix, []))]

    two, one = pairs("_seconds"), pairs("_one_cpu_seconds")
    median_of = lambda each: statistics.median(each) if each else float("nan")
    intervals = {"clipwell/floor_hidden, median of the pairs": interval(two),
                 "clipwell/floor_hidden, one processor, median of the pairs": interval(one)}

    ratios = {
        "clipwell/floor": median("clipwell_seconds") / median("floor_seconds"),
        "clipwell/floor_hidden, median of the pairs": median_of(two),
        "clipwell/floor_hidden, one processor, median of the pairs": median_of(one),
        "clipwell/curl": median("clipwell_seconds") / median("curl_seconds"),
        "floor/floor_hidden": median("floor_seconds") / median("floor_hidden_seconds"),
        "native page 16/1 MiB": median("native_page_16mib_seconds") / median("native_page_1mib_seconds"),
        "wine page 16/1 MiB": median("wine_page_16mib_seconds") / median("wine_page_1mib_seconds"),
        "peak 32 MiB - 1 MiB (MiB)": median("peak_working_set_32mib") - median("peak_working_set_1mib"),
        "32-bit exe/64-bit exe, 8 MiB": median("win32_grab_seconds") / median("win64_grab_seconds"),
    }
    print("Absolute times are Wine's on this machine; only ratios within one run mean anything.")
    print("machine: %s, %s; %s" % (platform.machine(), platform.platform(), wine))
    print("%-34s %12s %12s %12s %5s" % ("measure", "median", "min", "max", "runs"))
    for name in sorted(table):
        row = table[name]
        print("%-34s %12.4f %12.4f %12.4f %5d" % (name, row["median"], row["min"], row["max"], row["runs"]))
    print()
    for name, ratio in ratios.items():
        print("%-58s %8.3f" % (name, ratio)
              + ("   95 %% interval %.3f to %.3f" % intervals[name] if name in intervals else ""))
    if median("win32_emulated") == 1:
        print("The 32-bit exe ran under qemu-user: its ratio measures the emulation, not the program.")
    goals = {
        "Clipwell within 1.02 x the floor with hidden controls (one processor)":
        ratios["clipwell/floor_hidden, one processor, median of the pairs"] <= 1.02,
        "Clipwell within 1.02 x the floor with hidden controls (two processors)":
        ratios["clipwell/floor_hidden, median of the pairs"] <= 1.02,
        "every chunk of the 8 MiB grab 1024 bytes (8192 chunks)": median("clipwell_chunks") == 8192
        and median("clipwell_short_chunks") == 0,
        "99th percentile round trip under 100 ms": median("round_trip_p99_ms") < 100,
        "the window shows a transfer as it runs (bar within 15 points of its position, status drawn)":
        bool(values.get("painted_bar_lag_points")) and max(map(abs, values["painted_bar_lag_points"])) <= 15
        and min(values.get("painted_status", [0])) == 1,
        "page analysis linear (16 MiB <= 20 x 1 MiB)": ratios["native page 16/1 MiB"] <= 20
        and ratios["wine page 16/1 MiB"] <= 20,
        "memory flat (32 MiB grab within 1 MiB of 1 MiB grab)": ratios["peak 32 MiB - 1 MiB (MiB)"] <= 1,
        "soak: no leak (at the end within 16 handles, 2 threads, 4 windows, GDI and USER objects, 2 MiB of the 10th)":
        median("soak_bad_files") == 0
        and median("soak_at_end_handles") - median("soak_after_10_handles") <= 16
        and median("soak_at_end_threads") - median("soak_after_10_threads") <= 2
        and median("soak_at_end_windows") - median("soak_after_10_windows") <= 4
        and median("soak_at_end_gdi_objects") - median("soak_after_10_gdi_objects") <= 4
        and median("soak_at_end_user_objects") - median("soak_after_10_user_objects") <= 4
        and median("soak_at_end_working_set_mib") - median("soak_after_10_working_set_mib") <= 2,
    }
    print()
    for goal, held in goals.items():
        print("%-60s %s" % (goal, "holds" if held else "MISSED"))
    with open(json_path, "w") as out:
        json.dump({"machine": platform.platform(), "wine": wine, "measures": table, "ratios": ratios,
                   "intervals": {name: {"low": low, "high": high} for name, (low, high) in intervals.items()},
                   "goals": goals}, out, indent=2)


if __name__ == "__main__":
    main(*sys.argv[1:4])
