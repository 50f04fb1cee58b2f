#!/usr/bin/env python3
"""Driver of bench/servers-list-load.sh; runs inside the private network
namespace that the script makes. Starts Xvfb, the real tandril (with the
row-count probe preloaded, under temporary HOME and PROGRAMDATA folders),
the X ping probe, and then wsddtarget announcing the distinct services."""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time


def peak_rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def group_socket_drops(pid):
    """Datagrams that the process's sockets on port 3702 dropped (full receive buffer)."""
    inodes = set()
    for descriptor in os.listdir(f"/proc/{pid}/fd"):
        try:
            link = os.readlink(f"/proc/{pid}/fd/{descriptor}")
        except OSError:
            continue
        if link.startswith("socket:["):
            inodes.add(link[8:-1])
    drops = 0
    with open("/proc/net/udp") as table:
        next(table)
        for line in table:
            fields = line.split()
            if fields[1].endswith(":0E76") and fields[9] in inodes:
                drops += int(fields[-1])
    return drops


def read_rows(path):
    rows = {}
    if os.path.exists(path):
        with open(path) as lines:
            for line in lines:
                parts = line.split()
                if len(parts) == 4 and parts[0] == "rows":
                    rows[int(parts[1])] = (int(parts[2]), int(parts[3]))
    return rows


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/release")
    parser.add_argument("--services", type=int, default=10000)
    parser.add_argument("--burst", type=int, default=1, help="Hellos back to back every millisecond")
    parser.add_argument("--display", default=":93")
    options = parser.parse_args()
    if os.environ.get("TANDRIL_PRIVATE_NETNS") != "1":
        sys.exit("refusing to run outside the private network namespace (use bench/servers-list-load.sh)")
    binaries = os.path.abspath(os.path.join(options.build, "bin"))
    work = tempfile.mkdtemp(prefix="servers-list-")
    rows_file = os.path.join(work, "rows")
    # The target's own Hello at start is one more distinct service.
    expected = options.services + 1
    processes = []
    try:
        xvfb = subprocess.Popen(["Xvfb", options.display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        processes.append(xvfb)
        time.sleep(1.0)
        environment = dict(os.environ, DISPLAY=options.display, QT_QPA_PLATFORM="xcb", HOME=work,
                           PROGRAMDATA=os.path.join(work, "programdata"), XDG_CONFIG_HOME=os.path.join(work, "config"),
                           XDG_RUNTIME_DIR=work, TANDRIL_BENCH_ROWS=rows_file,
                           LD_PRELOAD=os.path.join(binaries, "libbench-rowsprobe.so"))
        os.makedirs(environment["PROGRAMDATA"])
        tandril = subprocess.Popen([os.path.join(binaries, "tandril")], env=environment,
                                   stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "tandril.err"), "w"))
        processes.append(tandril)
        probe = subprocess.Popen([os.path.join(binaries, "bench-xping"), "--pid", str(tandril.pid)],
                                 env=dict(os.environ, DISPLAY=options.display), stdout=subprocess.PIPE, text=True)
        processes.append(probe)
        if not probe.stdout.readline().startswith("WINDOW"):
            sys.exit("tandril showed no window")
        time.sleep(2.0)
        start_ns = time.monotonic_ns()
        target = subprocess.Popen([os.path.join(binaries, "wsddtarget"), "--types",
                                   "tds:Device service_name__MAINTENANCE service_version__1.0 status_name__free",
                                   "--xaddrs", "http://127.0.0.1:8080/maintenance/%n", "--hello-interval-ms", "1",
                                   "--hello-count", str(options.services), "--hello-burst", str(options.burst),
                                   "--distinct",
                                   "--duration-ms", str(options.services + 120000)],
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        processes.append(target)
        last_hello_ns = None
        for line in target.stdout:
            if line.startswith("SENT"):
                last_hello_ns = int(line.split()[2])
                break
        deadline = time.monotonic() + 30
        while expected not in read_rows(rows_file) and time.monotonic() < deadline:
            time.sleep(0.05)
        time.sleep(1.0)
        probe.send_signal(signal.SIGTERM)
        freeze_line = probe.stdout.read().strip()
        probe.wait()
        rss = peak_rss_kib(tandril.pid)
        drops = group_socket_drops(tandril.pid)
        rows = read_rows(rows_file)
        listed = max(rows) if rows else 0
        print(f"services {options.services} (+1 start Hello), listed {listed}, lost {expected - listed} "
              f"(dropped by tandril's group socket: {drops})")
        if expected in rows and last_hello_ns is not None:
            done_ns = rows[expected][0]
            print(f"all listed {(done_ns - start_ns) / 1e6:.0f} ms after the target started, "
                  f"{max(0, done_ns - last_hello_ns) / 1e6:.0f} ms after the last Hello was sent (target <= 2000)")
        print(f"GUI (X ping every 5 ms): {freeze_line} (target: none over 100 ms)")
        top = (listed // 1000) * 1000
        if 1 in rows and 1000 in rows and top >= 2000 and top in rows and top - 1000 in rows:
            first = (rows[1000][1] - rows[1][1]) / 999 / 1e3
            last = (rows[top][1] - rows[top - 1000][1]) / 1000 / 1e3
            print(f"GUI thread CPU per service: rows 1-1000 {first:.0f} us, rows {top - 999}-{top} {last:.0f} us, "
                  f"ratio {last / first:.2f} (target <= 1.5)")
        else:
            print(f"GUI thread CPU per service: not measured (rows recorded: {sorted(rows)[:3]} ... {sorted(rows)[-3:]})")
        print(f"peak RSS {rss} KiB")
    finally:
        for process in reversed(processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
