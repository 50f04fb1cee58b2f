#!/usr/bin/env python3
"""Download benchmark: one collection from the simulated media server with
CommandLogFetch, and the same bytes with curl from a plain HTTP server, both
over loopback. Prints throughput, client CPU seconds per GiB and peak RSS of
each, the ratios, and checks the downloaded file's sha256 against the source.

    bench/download-benchmark.py --build BUILD_FOLDER [--size-mib 4096] [--work FOLDER]

Targets: peak RSS growth of the command under 16 MiB whatever the size, CPU
per GiB at most 1.5 times curl's, equal sha256. The exit status is 0 only
when all three hold. Run it inside tools/in-test-netns.sh to keep it off the
machine's interfaces; it only ever uses 127.0.0.1.
"""
import argparse
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

GIB = 1024 ** 3
RSS_GROWTH_LIMIT_KIB = 16 * 1024
CPU_RATIO_LIMIT = 1.5


def make_source(path, size):
    """Writes size pseudo-random bytes (fast: a random 1 MiB block, varied per block)."""
    block = os.urandom(1024 * 1024)
    with open(path, "wb") as out:
        written = 0
        counter = 0
        while written < size:
            piece = counter.to_bytes(8, "little") + block[8:]
            piece = piece[: size - written]
            out.write(piece)
            written += len(piece)
            counter += 1


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as data:
        for chunk in iter(lambda: data.read(4 * 1024 * 1024), b""):
            digest.update(chunk)
    return digest.hexdigest()


def run_measured(command):
    """Runs a client to its end under /usr/bin/time (a small parent, so the
    peak RSS is the client's own): wall, user and system seconds, peak RSS in
    KiB, and the client's stdout."""
    with tempfile.NamedTemporaryFile("r", suffix=".time") as figures:
        start = time.monotonic()
        result = subprocess.run(["/usr/bin/time", "-o", figures.name, "-f", "%U %S %M"] + command,
                                capture_output=True, text=True)
        wall = time.monotonic() - start
        if result.returncode != 0:
            sys.exit(f"{command[0]} failed ({result.returncode}): {result.stdout} {result.stderr}")
        user, system, peak = figures.read().split()[-3:]
    return wall, float(user), float(system), int(peak), result.stdout


def start_server(command, prefix):
    process = subprocess.Popen(command, stdout=subprocess.PIPE, text=True)
    line = process.stdout.readline().strip()
    if not line.startswith(prefix):
        process.kill()
        sys.exit(f"{command[0]} did not start: {line}")
    return process, line[len(prefix):]


def drop_cache_of(path):
    """Asks the kernel to forget a file's pages, so runs start alike."""
    try:
        fd = os.open(path, os.O_RDONLY)
        os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
        os.close(fd)
    except OSError:
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True, help="build folder with bin/tandril-simserver and the bench tools")
    parser.add_argument("--size-mib", type=int, default=4096)
    parser.add_argument("--work", help="folder for the files (default: a new temporary folder)")
    arguments = parser.parse_args()

    binaries = os.path.join(os.path.abspath(arguments.build), "bin")
    work = arguments.work or tempfile.mkdtemp(prefix="tandril-bench-")
    server_folder = os.path.join(work, "server")
    download_folder = os.path.join(work, "downloads")
    os.makedirs(server_folder, exist_ok=True)
    os.makedirs(download_folder, exist_ok=True)
    size = arguments.size_mib * 1024 * 1024
    name = "collection.bin"
    source = os.path.join(server_folder, name)
    servers = []
    try:
        print(f"writing {size / GIB:.2f} GiB source ...", flush=True)
        make_source(source, size)
        source_sha = sha256(source)

        simserver, url = start_server(
            [os.path.join(binaries, "tandril-simserver"), "--folder", server_folder], "listening on ")
        servers.append(simserver)
        plain, port = start_server([os.path.join(binaries, "bench-plainhttp"), source], "port ")
        servers.append(plain)

        drop_cache_of(source)
        wall, user, system, peak, output = run_measured(
            [os.path.join(binaries, "bench-logfetch"), url, download_folder, name])
        report = json.loads(output)
        downloaded = os.path.join(download_folder, name)
        ours = {"wall": wall, "user": user, "system": system, "cpu": user + system, "peak_kib": peak,
                "growth_kib": report["rss_peak_kib"] - report["rss_before_kib"]}
        ours_sha = sha256(downloaded)
        os.remove(downloaded)

        drop_cache_of(source)
        curl_target = os.path.join(download_folder, "curl.bin")
        wall, user, system, peak, _ = run_measured(
            ["curl", "--silent", "--show-error", "--fail", "-o", curl_target, f"http://127.0.0.1:{port}/{name}"])
        theirs = {"wall": wall, "user": user, "system": system, "cpu": user + system, "peak_kib": peak}
        curl_sha = sha256(curl_target)
        os.remove(curl_target)
    finally:
        for process in servers:
            process.terminate()
            process.wait(timeout=10)
        if not arguments.work:
            shutil.rmtree(work, ignore_errors=True)

    gib = size / GIB
    print(f"size: {gib:.2f} GiB")
    for label, figures in (("CommandLogFetch", ours), ("curl", theirs)):
        print(f"{label:16} {size / figures['wall'] / 1e6:8.1f} MB/s  {figures['cpu'] / gib:6.3f} CPU s/GiB "
              f"(user {figures['user']:.2f} s, system {figures['system']:.2f} s)  "
              f"peak RSS {figures['peak_kib'] / 1024:7.1f} MiB")
    cpu_ratio = (ours["cpu"] / gib) / (theirs["cpu"] / gib) if theirs["cpu"] > 0 else float("inf")
    print(f"ratios (command / curl): throughput {theirs['wall'] / ours['wall']:.2f}, CPU per GiB {cpu_ratio:.2f}, "
          f"peak RSS {ours['peak_kib'] / theirs['peak_kib']:.2f}")
    print(f"peak RSS growth during the download: {ours['growth_kib'] / 1024:.1f} MiB")
    checks = {
        "RSS growth under 16 MiB": ours["growth_kib"] < RSS_GROWTH_LIMIT_KIB,
        "CPU per GiB at most 1.5 x curl": cpu_ratio <= CPU_RATIO_LIMIT,
        "sha256 equal to the source": ours_sha == source_sha and curl_sha == source_sha,
    }
    for label, ok in checks.items():
        print(f"{'PASS' if ok else 'FAIL'}  {label}")
    return 0 if all(checks.values()) else 1


if __name__ == "__main__":
    sys.exit(main())
