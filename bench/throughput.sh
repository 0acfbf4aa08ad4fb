#!/usr/bin/env bash
# Streams large PostScript jobs through jobtypefilter and through cat in the same run, in
# alternating rounds, from a file and through a pipe, and prints the throughputs, the ratio
# filter/cat and the filter's peak RSS for small and large jobs.
#
#   bench/throughput.sh [path/to/jobtypefilter] [size-MiB] [rounds]
# Targets: >= 0.95x cat with the token, >= 0.8x without; peak RSS flat from 1 MiB to 1 GiB.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
filter=${1:-$here/build/Filter/jobtypefilter}
size_mib=${2:-256}
rounds=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
options='com.varlo.printsettings.JobType="Locked Print" com.varlo.printsettings.UserID=bench com.varlo.printsettings.Password=1234'

# A job of roughly size MiB: a header, the prolog token near the top (or not), then page lines.
make_job() { # file size-MiB with-token
  python3 - "$1" "$2" "$3" <<'PY'
import sys
path, mib, with_token = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1"
line = b"72 720 moveto (The quick brown fox jumps over the lazy dog 0123456789) show\n"
chunk = line * ((1 << 20) // len(line) + 1)
chunk = chunk[: (1 << 20) - (1 << 20) % len(line)]
with open(path, "wb") as f:
    f.write(b"%!PS-Adobe-3.0\n%%Title: bench\n%%EndComments\n")
    f.write(b"%%BeginProlog\n/F { findfont exch scalefont setfont } bind def\n%%EndProlog\n"
            if with_token else b"%%NoProlog here\n")
    for _ in range(mib):
        f.write(chunk)
    f.write(b"showpage\n%%EOF\n")
PY
}

# Seconds (wall) for one command reading $2 from a file or a pipe, output to /dev/null.
time_run() { # mode file cmd...
  local mode=$1 file=$2; shift 2
  local start end
  start=$(date +%s.%N)
  if [ "$mode" = file ]; then "$@" < "$file" > /dev/null; else cat "$file" | "$@" | cat > /dev/null; fi
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

report() { # label file
  local label=$1 file=$2 bytes mode
  bytes=$(stat -c %s "$file")
  cat "$file" > /dev/null  # warm the page cache
  for mode in file pipe; do
    local tf=0 tc=0 r
    for ((r = 0; r < rounds; r++)); do
      tf=$(echo "$tf + $(time_run "$mode" "$file" "$filter" 1 bench bench 1 "$options")" | bc -l)
      tc=$(echo "$tc + $(time_run "$mode" "$file" cat)" | bc -l)
    done
    printf '%-12s %-5s filter %8.1f MiB/s   cat %8.1f MiB/s   ratio %.3f\n' "$label" "$mode" \
      "$(echo "$bytes * $rounds / 1048576 / $tf" | bc -l)" \
      "$(echo "$bytes * $rounds / 1048576 / $tc" | bc -l)" \
      "$(echo "$tc / $tf" | bc -l)"
  done
}

peak_rss_kib() { # file
  /usr/bin/time -v "$filter" 1 bench bench 1 "$options" "$1" 2>&1 >/dev/null \
    | awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}'
}

# Process start-up (libcups and its libraries) is paid once per job: show it apart.
printf 'x\n' > "$work/tiny.ps"
startup() { # cmd...
  local start end
  start=$(date +%s%N)
  for _ in $(seq 50); do "$@" < "$work/tiny.ps" > /dev/null; done
  end=$(date +%s%N)
  echo "($end - $start) / 50 / 1000000" | bc -l
}
printf 'start-up per job: filter %.1f ms, cat %.1f ms\n' \
  "$(startup "$filter" 1 bench bench 1 "$options")" "$(startup cat)"

make_job "$work/token.ps" "$size_mib" 1
make_job "$work/notoken.ps" "$size_mib" 0
echo "jobs of $size_mib MiB, $rounds alternating rounds each"
report "with token" "$work/token.ps"
report "no token" "$work/notoken.ps"

rm -f "$work/notoken.ps"
make_job "$work/small.ps" 1 1
make_job "$work/large.ps" 1024 1
small=$(peak_rss_kib "$work/small.ps")
large=$(peak_rss_kib "$work/large.ps")
printf 'peak RSS: 1 MiB job %s KiB, 1 GiB job %s KiB, ratio %.3f\n' "$small" "$large" \
  "$(echo "$large / $small" | bc -l)"
