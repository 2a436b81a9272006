#!/usr/bin/env python3
"""The benchmark's measurements on the Linux side and its table.
  measure.py idle WORK SECONDS      CPU time of setloom.exe and floor.exe over the same SECONDS,
                                    read from /proc of their Wine processes
  measure.py table WORK EXE RUNS    the Markdown table from WORK's result files"""
import datetime
import os
import platform
import statistics
import struct
import subprocess
import sys
import time

TICK_MS = 1000.0 / os.sysconf("SC_CLK_TCK")


def wine_process(work, name):
    """The Linux process of the Windows program NAME started from the folder WORK."""
    tag = os.path.basename(work)
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            argv = open(f"/proc/{pid}/cmdline", "rb").read().split(b"\0")
        except OSError:
            continue
        first = argv[0].decode("utf-8", "replace")
        if tag in first and first.replace("\\", "/").endswith("/" + name):
            return pid
    sys.exit(f"measure: no Wine process for {name}")


def cpu_ms(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * TICK_MS  # utime + stime


def idle(work, seconds):
    pids = {name: wine_process(work, name + ".exe") for name in ("setloom", "floor")}
    before = {name: cpu_ms(pid) for name, pid in pids.items()}
    time.sleep(float(seconds))
    for name, pid in pids.items():
        after = cpu_ms(pid)
        print(f"idle {name} {after - before[name]:.0f}")
        print(f"total {name} {after:.0f}")  # since its start: shows the right process was read


def read_lines(path):
    values = {}
    if os.path.exists(path):
        for line in open(path):
            kind, name, value = line.split()
            values.setdefault((kind, name), []).append(float(value))
    return values


def resource_sizes(exe, rsrc_offset, rsrc_rva):
    """Bytes of resource data by resource type, walking the .rsrc directory tree."""
    names = {2: "bitmaps", 3: "icons", 14: "icon groups", 5: "dialogs", 16: "version",
             24: "manifest", 6: "strings"}
    sizes = {}

    def walk(directory, kind):
        named, ids = struct.unpack_from("<HH", exe, rsrc_offset + directory + 12)
        for i in range(named + ids):
            entry, target = struct.unpack_from("<II", exe, rsrc_offset + directory + 16 + 8 * i)
            this = kind if kind is not None else names.get(entry, f"type {entry}")
            if target & 0x80000000:
                walk(target & 0x7FFFFFFF, this)
            else:
                size = struct.unpack_from("<I", exe, rsrc_offset + target + 4)[0]
                sizes[this] = sizes.get(this, 0) + size

    walk(0, None)
    return sizes


def size_row(path):
    exe = open(path, "rb").read()
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    sections = struct.unpack_from("<H", exe, pe + 6)[0]
    optional = struct.unpack_from("<H", exe, pe + 20)[0]
    parts, rsrc = {}, 0
    for i in range(sections):
        at = pe + 24 + optional + 40 * i
        name = exe[at:at + 8].rstrip(b"\0").decode()
        rva, raw_size, raw_offset = struct.unpack_from("<I", exe, at + 12)[0], *struct.unpack_from(
            "<II", exe, at + 16)
        parts[name] = raw_size
        if name == ".rsrc":
            rsrc = raw_size
            kinds = resource_sizes(exe, raw_offset, rva)
    rest = len(exe) - rsrc
    by_kind = ", ".join(f"{k} {v / 1024:.1f} KiB" for k, v in
                        sorted(kinds.items(), key=lambda kv: -kv[1]) if v >= 512)
    by_section = ", ".join(f"{k} {v / 1024:.1f} KiB" for k, v in
                           sorted(parts.items(), key=lambda kv: -kv[1]) if k != ".rsrc" and
                           v >= 512)
    return (f"| Size of setloom.exe | {len(exe)} bytes | resources {rsrc} bytes ({by_kind}); "
            f"the rest {rest} bytes ({by_section}, headers) |  |  |")


def table(work, exe, runs):
    startup = read_lines(f"{work}/startup.txt")
    idle_cpu = read_lines(f"{work}/idle_cpu.txt")
    capture = read_lines(f"{work}/capture.txt")
    median = lambda kind, name: statistics.median(startup[(kind, name)])
    start_s, start_f = median("startup", "setloom"), median("startup", "floor")
    close_s, close_f = median("close", "setloom"), median("close", "floor")
    idle_s, idle_f = idle_cpu[("idle", "setloom")][0], idle_cpu[("idle", "floor")][0]
    cpu = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo") if
                l.startswith("model name")), platform.machine())
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    when = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    ok = lambda good: "met" if good else "NOT met"
    print(f"Benchmark {when}: {cpu}, {os.cpu_count()} cores, {wine}, Xvfb 1024x768 + openbox\n")
    print("| Figure | setloom | floor | setloom / floor | target |")
    print("|---|---|---|---|---|")
    print(f"| Start-up to a visible, answering main dialog, median of {runs} alternating pairs "
          f"| {start_s:.0f} ms | {start_f:.0f} ms | {start_s / start_f:.2f}x "
          f"| within 1.15x: {ok(start_s <= 1.15 * start_f)} |")
    total_s, total_f = idle_cpu[("total", "setloom")][0], idle_cpu[("total", "floor")][0]
    print(f"| Idle CPU, dialog open, same 5 s (/proc; 10 ms ticks) | {idle_s:.0f} ms "
          f"(of {total_s:.0f} ms since its start) | {idle_f:.0f} ms (of {total_f:.0f} ms) "
          f"| {idle_s - idle_f:+.0f} ms | no more than the floor: {ok(idle_s <= idle_f)} |")
    if capture:
        tick = capture.get(("tick", "setloom"), [float("nan")])[0]
        held = capture.get(("capture", "setloom"), [float("nan")])[0]
        print(f"| Capture CPU, the 10 ms capture tick with no key down | {tick:.2f} % of a core "
              f"|  |  |  |")
        print(f"| Capture CPU, key held during a wait for release | {held:.2f} % of a core "
              f"|  |  | well under 2 %: {ok(held < 2)} |")
    else:
        print("| Capture CPU | not measured (bench/hold_key.sh failed) |  |  | under 2 % |")
    print(f"| Close, \"OK\" to the process's end, median | {close_s:.0f} ms | {close_f:.0f} ms "
          f"(WM_CLOSE) |  |  |")
    print(size_row(exe))


if __name__ == "__main__":
    if sys.argv[1] == "idle":
        idle(sys.argv[2], sys.argv[3])
    else:
        table(sys.argv[2], sys.argv[3], sys.argv[4])
