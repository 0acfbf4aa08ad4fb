#!/usr/bin/env bash
# Measures jobtypefilter against cat and against a floor program (bench/floor.cpp: links libcups
# and parses the options, nothing else), all in this one run, and prints the ratios:
#   - throughput on a large job (paired alternating rounds, filter then cat), with and without
#     the prolog token, job file in -> pipe out to a reader, and job file in -> /dev/null;
#   - peak RSS on 1 MiB and 1 GiB jobs, against the floor program's;
#   - start-up on a 2 KiB job, against the floor program's.
#
#   bench/throughput.sh [path/to/jobtypefilter] [size-MiB] [rounds]
# Targets: with token through a pipe >= 1.05x cat; no token >= 0.9x cat; peak RSS within
# 1.5 MiB of the floor and flat from 1 MiB to 1 GiB; start-up within 2 ms of the floor.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
filter=${1:-$here/build/Filter/jobtypefilter}
size_mib=${2:-256}
rounds=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

c++ -O2 -o "$work/floor" "$here/bench/floor.cpp" -lcups

# A job of size MiB: a header, the prolog token near the top (or not), then page lines.
make_job() { # file size-MiB with-token
  python3 - "$1" "$2" "$3" <<'PY'
import os, sys
path, mib, with_token = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1"
line = b"72 720 moveto (The quick brown fox jumps over the lazy dog 0123456789) show\n"
chunk = (line * ((1 << 20) // len(line) + 1))[: 1 << 20]
with open(path, "wb") as f:
    f.write(b"%!PS-Adobe-3.0\n%%Title: bench\n%%EndComments\n")
    f.write(b"%%BeginProlog\n/F { findfont exch scalefont setfont } bind def\n%%EndProlog\n"
            if with_token else b"%%NoProlog here\n")
    for _ in range(mib):
        f.write(chunk)
    f.write(b"showpage\n%%EOF\n")
    # On the disk before any timing: writing back a fresh job's pages would slow the rounds.
    f.flush()
    os.fsync(f.fileno())
PY
}

make_job "$work/token.ps" "$size_mib" 1
make_job "$work/notoken.ps" "$size_mib" 0
make_job "$work/small.ps" 1 1
make_job "$work/large.ps" 1024 1
head -c 2048 "$work/small.ps" > "$work/tiny.ps"

python3 - "$filter" "$work" "$rounds" "$size_mib" <<'PY'
import os, subprocess, sys, time
filter_path, work, rounds, size_mib = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
options = ('com.varlo.printsettings.JobType="Locked Print" com.varlo.printsettings.UserID=bench '
           'com.varlo.printsettings.Password=1234')
floor = os.path.join(work, "floor")
devnull = os.open(os.devnull, os.O_WRONLY)

def filter_argv(job):
    return [filter_path, "1", "bench", "bench", "1", options, job]

def timed(argv, sink):
    """Seconds for one run, the job file in, the output to /dev/null or to a reading cat."""
    start = time.perf_counter()
    if sink == "pipe":
        writer = subprocess.Popen(argv, stdout=subprocess.PIPE)
        reader = subprocess.Popen(["cat"], stdin=writer.stdout, stdout=devnull)
        writer.stdout.close()
        codes = (writer.wait(), reader.wait())
    else:
        codes = (subprocess.run(argv, stdout=devnull).returncode,)
    elapsed = time.perf_counter() - start
    if any(codes):
        sys.exit(f"bench: {argv[0]} failed: {codes}")
    return elapsed

def throughput(label, job):
    size = os.path.getsize(job)
    subprocess.run(["cat", job], stdout=devnull)  # the page cache holds the job
    for sink in ("pipe", "devnull"):
        tf = tc = 0.0
        for _ in range(rounds):
            tf += timed(filter_argv(job), sink)
            tc += timed(["cat", job], sink)
        mib = size * rounds / (1 << 20)
        print(f"{label:<11} file->{sink:<8} filter {mib / tf:8.1f} MiB/s   cat {mib / tc:8.1f} MiB/s"
              f"   ratio {tc / tf:.3f}")

def peak_rss_kib(argv):
    # GNU time forks from a small process: a child of this Python would start its high-water
    # mark at the Python's own size.
    result = subprocess.run(["/usr/bin/time", "-f", "%M", *argv], stdout=devnull,
                            stderr=subprocess.PIPE, check=True)
    return int(result.stderr.split()[-1])

def startup_ms(argv, runs=200):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(argv, stdout=devnull)
        times.append(time.perf_counter() - start)
    times.sort()
    return 1000 * times[len(times) // 2]  # the median, steady against a busy machine

print(f"jobs of {size_mib} MiB, {rounds} paired rounds each (filter, then cat)")
throughput("with token", os.path.join(work, "token.ps"))
throughput("no token", os.path.join(work, "notoken.ps"))

small, large = os.path.join(work, "small.ps"), os.path.join(work, "large.ps")
rss_floor = peak_rss_kib([floor, "1", "bench", "bench", "1", options, small])
rss_small = peak_rss_kib(filter_argv(small))
rss_large = peak_rss_kib(filter_argv(large))
print(f"peak RSS: floor {rss_floor} KiB; filter 1 MiB job {rss_small} KiB "
      f"(+{(rss_small - rss_floor) / 1024:.2f} MiB), 1 GiB job {rss_large} KiB "
      f"(+{(rss_large - rss_floor) / 1024:.2f} MiB); 1 GiB / 1 MiB ratio {rss_large / rss_small:.3f}")

tiny = os.path.join(work, "tiny.ps")
floor_argv = [floor, "1", "bench", "bench", "1", options, tiny]
# Alternating halves, so that both see the same machine.
f1, s1 = startup_ms(floor_argv, 100), startup_ms(filter_argv(tiny), 100)
f2, s2 = startup_ms(floor_argv, 100), startup_ms(filter_argv(tiny), 100)
floor_ms, filter_ms = (f1 + f2) / 2, (s1 + s2) / 2
print(f"start-up on a 2 KiB job: filter {filter_ms:.2f} ms, floor {floor_ms:.2f} ms, "
      f"difference {filter_ms - floor_ms:+.2f} ms, ratio {filter_ms / floor_ms:.3f}")
PY
