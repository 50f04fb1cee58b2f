#!/usr/bin/env python3
"""Download benchmark: one collection from the simulated media server with
CommandLogFetch, against curl posting the same request bytes to the same
server and saving the raw reply, both over loopback and writing to disk.
curl fetching the same bytes from a plain HTTP server (sendfile, no DIME) is
a second reference line. Three runs of each client, in alternating order,
with the previous run's dirty pages written back (sync) before each; prints
each run, the medians of throughput, client CPU seconds per GiB and peak RSS,
the ratios against curl on the same server, and checks every download's
sha256 against the source (for the raw DIME reply: the attachment in it).

    bench/download-benchmark.py --build BUILD_FOLDER [--size-mib 4096] [--runs 3] [--work FOLDER]

The tools are built in BUILD_FOLDER first (tools/build-targets.sh).

Targets: median throughput at least 1.0 times curl's on the same server and
bytes, CPU per GiB at most 1.0 times curl's, peak RSS growth of the command
under 16 MiB, equal sha256. The exit status is 0 only when all hold. Run it
inside tools/in-test-netns.sh to keep it off the machine's interfaces; it
only ever uses 127.0.0.1.
"""
import argparse
import hashlib
import json
import os
import shutil
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time

GIB = 1024 ** 3
RSS_GROWTH_LIMIT_KIB = 16 * 1024
THROUGHPUT_RATIO_TARGET = 1.0
CPU_RATIO_TARGET = 1.0
COMMAND = "CommandLogFetch"
CURL_SAME = "curl, same server"
CURL_PLAIN = "curl, plain server"


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


def padded(length):
    return (length + 3) & ~3


def dime_attachment_sha256(path):
    """The sha256 of the attachment in a raw DIME reply: the data of the
    records after the first (the SOAP envelope), chunk records joined."""
    digest = hashlib.sha256()
    with open(path, "rb") as data:
        index = 0
        while True:
            header = data.read(12)
            if len(header) < 12:
                break
            flags = header[0]
            options, ident, kind = struct.unpack(">HHH", header[2:8])
            length = struct.unpack(">I", header[8:12])[0]
            data.seek(padded(options) + padded(ident) + padded(kind), os.SEEK_CUR)
            left = length
            while left > 0:
                piece = data.read(min(left, 4 * 1024 * 1024))
                if not piece:
                    return "truncated"
                if index > 0:
                    digest.update(piece)
                left -= len(piece)
            data.seek(padded(length) - length, os.SEEK_CUR)
            if index == 0 or not flags & 0x01:
                index += 1
            if flags & 0x02:
                break
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


def decode_chunked(body):
    decoded = b""
    while True:
        line, _, body = body.partition(b"\r\n")
        size = int(line.split(b";")[0], 16)
        if size == 0:
            return decoded
        decoded += body[:size]
        body = body[size + 2:]


def record_request(fetch, download_folder, name):
    """The request CommandLogFetch sends, recorded by a listener that never
    answers: its header lines and its (de-chunked) body."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    received = []

    def take():
        connection, _ = listener.accept()
        data = b""
        while not data.endswith(b"\r\n0\r\n\r\n") and not data.endswith(b"\r\n\r\n0\r\n\r\n"):
            piece = connection.recv(65536)
            if not piece:
                break
            data += piece
        received.append(data)
        connection.close()

    taker = threading.Thread(target=take)
    taker.start()
    subprocess.run([fetch, f"http://127.0.0.1:{listener.getsockname()[1]}", download_folder, name],
                   capture_output=True)
    taker.join()
    listener.close()
    head, _, body = received[0].partition(b"\r\n\r\n")
    headers = head.decode("latin-1").split("\r\n")[1:]
    if any(h.lower() == "transfer-encoding: chunked" for h in headers):
        body = decode_chunked(body)
    kept = [h for h in headers if h.split(":")[0].lower() in ("content-type", "soapaction", "user-agent")]
    return kept, body


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True,
                        help="build folder for bin/tandril-simserver and the bench tools (built when missing)")
    parser.add_argument("--size-mib", type=int, default=4096)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--work", help="folder for the files (default: a new temporary folder)")
    arguments = parser.parse_args()

    subprocess.run(["bash", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "build-targets.sh"),
                    arguments.build, "tandril-simserver", "bench-logfetch", "bench-plainhttp"], check=True)
    binaries = os.path.join(os.path.abspath(arguments.build), "bin")
    fetch = os.path.join(binaries, "bench-logfetch")
    work = os.path.abspath(arguments.work or tempfile.mkdtemp(prefix="tandril-bench-"))
    server_folder = os.path.join(work, "server")
    download_folder = os.path.join(work, "downloads")
    os.makedirs(server_folder, exist_ok=True)
    os.makedirs(download_folder, exist_ok=True)
    size = arguments.size_mib * 1024 * 1024
    name = "collection.bin"
    source = os.path.join(server_folder, name)
    servers = []
    results = {COMMAND: [], CURL_SAME: [], CURL_PLAIN: []}
    try:
        print(f"writing {size / GIB:.2f} GiB source ...", flush=True)
        make_source(source, size)
        source_sha = sha256(source)

        simserver, url = start_server(
            [os.path.join(binaries, "tandril-simserver"), "--folder", server_folder], "listening on ")
        servers.append(simserver)
        plain, port = start_server([os.path.join(binaries, "bench-plainhttp"), source], "port ")
        servers.append(plain)
        headers, body = record_request(fetch, download_folder, name)
        request = os.path.join(work, "request.xml")
        with open(request, "wb") as out:
            out.write(body)

        downloaded = os.path.join(download_folder, name)
        raw_reply = os.path.join(download_folder, "reply.dime")
        plain_copy = os.path.join(download_folder, "plain.bin")

        def run_command():
            wall, user, system, peak, output = run_measured([fetch, url, download_folder, name])
            report = json.loads(output)
            growth = report["rss_peak_kib"] - report["rss_before_kib"]
            return wall, user, system, peak, growth, sha256(downloaded), downloaded

        def run_curl_same():
            command = ["curl", "--silent", "--show-error", "--fail", "--http1.1", "-o", raw_reply,
                       "--data-binary", "@" + request]
            for header in headers:
                command += ["-H", header]
            wall, user, system, peak, _ = run_measured(command + [url + "/"])
            return wall, user, system, peak, None, dime_attachment_sha256(raw_reply), raw_reply

        def run_curl_plain():
            wall, user, system, peak, _ = run_measured(
                ["curl", "--silent", "--show-error", "--fail", "-o", plain_copy, f"http://127.0.0.1:{port}/{name}"])
            return wall, user, system, peak, None, sha256(plain_copy), plain_copy

        clients = [(COMMAND, run_command), (CURL_SAME, run_curl_same), (CURL_PLAIN, run_curl_plain)]
        for run in range(arguments.runs):
            shift = run % len(clients)
            for label, client in clients[shift:] + clients[:shift]:
                subprocess.run(["sync"], check=True)
                wall, user, system, peak, growth, digest, output = client()
                os.remove(output)
                figures = {"wall": wall, "user": user, "system": system, "peak_kib": peak, "growth_kib": growth,
                           "sha_ok": digest == source_sha}
                results[label].append(figures)
                print(f"run {run + 1} {label:20} {size / wall / 1e6:8.1f} MB/s  "
                      f"{(user + system) * GIB / size:6.3f} CPU s/GiB (user {user:.2f} s, system {system:.2f} s)  "
                      f"peak RSS {peak / 1024:6.1f} MiB  sha256 {'ok' if digest == source_sha else 'WRONG'}",
                      flush=True)
    finally:
        for process in servers:
            process.terminate()
            process.wait(timeout=10)
        if not arguments.work:
            shutil.rmtree(work, ignore_errors=True)

    def medians(label):
        runs = results[label]
        return {"mbps": statistics.median(size / r["wall"] / 1e6 for r in runs),
                "cpu": statistics.median((r["user"] + r["system"]) * GIB / size for r in runs),
                "peak_kib": statistics.median(r["peak_kib"] for r in runs)}

    table = {label: medians(label) for label in results}
    print(f"\nsize {size / GIB:.2f} GiB, medians of {arguments.runs} runs")
    print(f"{'client':22} {'MB/s':>8} {'CPU s/GiB':>10} {'peak RSS MiB':>13}")
    for label, figures in table.items():
        print(f"{label:22} {figures['mbps']:8.1f} {figures['cpu']:10.3f} {figures['peak_kib'] / 1024:13.1f}")
    ours, same, plain_line = table[COMMAND], table[CURL_SAME], table[CURL_PLAIN]
    throughput_ratio = ours["mbps"] / same["mbps"]
    cpu_ratio = ours["cpu"] / same["cpu"] if same["cpu"] > 0 else float("inf")
    print(f"ratios {COMMAND} / {CURL_SAME}: throughput {throughput_ratio:.2f}, CPU per GiB {cpu_ratio:.2f}")
    print(f"ratios {COMMAND} / {CURL_PLAIN}: throughput {ours['mbps'] / plain_line['mbps']:.2f}, "
          f"CPU per GiB {ours['cpu'] / plain_line['cpu'] if plain_line['cpu'] > 0 else float('inf'):.2f}")
    growth = max(r["growth_kib"] for r in results[COMMAND])
    print(f"largest peak RSS growth of {COMMAND} during a download: {growth / 1024:.1f} MiB")
    checks = {
        f"median throughput at least {THROUGHPUT_RATIO_TARGET:.1f} x curl on the same server":
            throughput_ratio >= THROUGHPUT_RATIO_TARGET,
        f"median CPU per GiB at most {CPU_RATIO_TARGET:.1f} x curl on the same server": cpu_ratio <= CPU_RATIO_TARGET,
        "RSS growth under 16 MiB": growth < RSS_GROWTH_LIMIT_KIB,
        "sha256 equal to the source": all(r["sha_ok"] for runs in results.values() for r in runs),
    }
    for label, ok in checks.items():
        print(f"{'PASS' if ok else 'FAIL'}  {label}")
    return 0 if all(checks.values()) else 1


if __name__ == "__main__":
    sys.exit(main())
