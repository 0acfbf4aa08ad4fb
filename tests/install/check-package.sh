#!/usr/bin/env bash
# Builds the Debian packages from this tree, installs them with dpkg, checks that lpinfo -m lists
# every model's PPD and cupstestppd passes it, prints a job through the system's scheduler on a
# queue made with lpadmin -m from lpinfo -m's listing, purges them and checks that nothing they
# installed is left. Run as root on a machine where no other cupsd runs.
# Ends with "N passed, N failed"; exits 1 when a check failed.
#   tests/install/check-package.sh [WORK_DIR]
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=${1:-$(mktemp -d /tmp/kordavine-package.XXXXXX)}
mkdir -p "$work"
passed=0 failed=0
check() {  # check NAME COMMAND...
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $name"; else failed=$((failed + 1)); echo "FAIL: $name"; fi
}
finish() {
  echo "package: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}
[ "$(id -u)" -eq 0 ] || { echo "check-package.sh must run as root" >&2; exit 2; }
if pgrep -x cupsd >/dev/null; then echo "a cupsd is already running; stop it first" >&2; exit 2; fi

# Build in a copy of the tree (tracked and new files), so the source tree stays clean.
src=$work/kordavine-joblog
rm -rf "$src" && mkdir -p "$src"
(cd "$here" && git ls-files -z --cached --others --exclude-standard |
   while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
   tar --null -T - -cf -) | tar -C "$src" -xf -
echo "building the packages in $src (log: $work/build.log)"
if ! (cd "$src" && dpkg-buildpackage -us -uc -b >"$work/build.log" 2>&1); then
  tail -40 "$work/build.log"
  check "dpkg-buildpackage -us -uc -b" false
  finish
fi
check "dpkg-buildpackage -us -uc -b" true
debs=("$work"/printer-driver-kordavine_*.deb "$work"/kordavine-joblog_*.deb)
check "both binary packages built" test -f "${debs[0]}" -a -f "${debs[1]}"
lintian --no-tag-display-limit "$work"/kordavine-joblog_*.changes >"$work/lintian.log" 2>&1
cat "$work/lintian.log"
check "lintian reports no errors" bash -c "! grep -q '^E:' '$work/lintian.log'"

# What is on the machine before (the scheduler's own state under /etc/cups and /var is left out).
snapshot() {
  find /usr /etc /opt -xdev -path /etc/cups -prune -o -print 2>/dev/null | sort
  find /etc/cups -maxdepth 1 -name 'cupsd.conf' -exec sha256sum {} +
}
snapshot >"$work/before.txt"

DEBIAN_FRONTEND=noninteractive dpkg -i "${debs[@]}" >"$work/dpkg-install.log" 2>&1
check "dpkg -i installs both packages" test $? -eq 0
filter=/usr/lib/cups/filter/jobtypefilter
check "the filter is root's, mode 0755" test "$(stat -c '%U %a' "$filter" 2>/dev/null)" = "root 755"
check "the filter answers --version" bash -c "'$filter' --version 2>&1 | grep -q '^jobtypefilter (Kordavine Job Log) '"
check "man page jobtypefilter(8)" test -f /usr/share/man/man8/jobtypefilter.8.gz
check "joblog-print's desktop entry is installed and valid" \
  desktop-file-validate /usr/share/applications/joblog-print.desktop
check "the installed joblog-dialog loads the installed bundle" bash -c \
  "joblog-dialog --script-json '[{\"do\":\"create\"},{\"do\":\"name\"}]' 2>&1 | grep -q 'Job Log'"
if command -v kordavine-cupsd-policy >/dev/null; then
  check "the job-secrecy policy is in force" kordavine-cupsd-policy status
fi

# Every model's PPD, where cups-driverd finds it, passes cupstestppd with the filter in place.
for ppd in "$here"/ppd/*.ppd; do
  installed=/usr/share/ppd/kordavine/$(basename "$ppd")
  check "cupstestppd passes the installed $(basename "$ppd")" cupstestppd "$installed"
done

# The system's scheduler, a listener standing in for the printer, and a queue from lpinfo -m.
/usr/sbin/cupsd
for _ in $(seq 50); do lpstat -r >/dev/null 2>&1 && break; sleep 0.2; done
lpinfo -m >"$work/lpinfo.txt" 2>&1
for ppd in "$here"/ppd/*.ppd; do
  check "lpinfo -m lists lsb/usr/kordavine/$(basename "$ppd")" \
    grep -q "^lsb/usr/kordavine/$(basename "$ppd") " "$work/lpinfo.txt"
done
model=$(awk '/kordavine-office\.ppd/ { print $1; exit }' "$work/lpinfo.txt")
check "lpinfo -m lists the office PPD ($model)" test -n "$model"
captured=$work/captured.ps
port_file=$work/port
rm -f "$captured" "$port_file"
python3 - "$captured" "$port_file" <<'EOF' &
import socket, sys
server = socket.create_server(("127.0.0.1", 0))
server.settimeout(120)
open(sys.argv[2], "w").write(str(server.getsockname()[1]))
connection, _ = server.accept()
with open(sys.argv[1] + ".part", "wb") as out:
    while chunk := connection.recv(65536):
        out.write(chunk)
import os
os.rename(sys.argv[1] + ".part", sys.argv[1])
EOF
listener=$!
for _ in $(seq 50); do [ -s "$port_file" ] && break; sleep 0.1; done
lpadmin -p kordavine-package -E -v "socket://127.0.0.1:$(cat "$port_file")" -m "$model" 2>"$work/lpadmin.log"
check "lpadmin -m takes the listed model" test $? -eq 0
lp -d kordavine-package -o 'com.varlo.printsettings.JobType="Locked Print"' \
   -o com.varlo.printsettings.UserID=alice42 -o com.varlo.printsettings.Password=4711 \
   -o com.varlo.printsettings.TimeZone=UTC0 "$here/samples/sample-job.ps" >"$work/lp.log" 2>&1
check "lp accepts the job" test $? -eq 0
for _ in $(seq 300); do [ -f "$captured" ] && break; sleep 0.2; done
# The Locked Print block, with the user ID and password, stands in front of the prolog.
check "the printer gets the Locked Print block before the prolog" python3 - "$captured" <<'EOF'
import re, sys
data = open(sys.argv[1], "rb").read()
prolog = data.find(b"\n%%BeginProlog")
block = re.search(rb"\(alice42\) \(\d{12}\) \(4711\) \{secureprint\} stopped", data)
sys.exit(0 if block and 0 <= block.start() < prolog else 1)
EOF
kill "$listener" 2>/dev/null; wait "$listener" 2>/dev/null
lpadmin -x kordavine-package
kill "$(pgrep -x cupsd)" 2>/dev/null
for _ in $(seq 50); do pgrep -x cupsd >/dev/null || break; sleep 0.2; done

DEBIAN_FRONTEND=noninteractive dpkg --purge kordavine-joblog printer-driver-kordavine >"$work/dpkg-purge.log" 2>&1
check "dpkg --purge removes both packages" test $? -eq 0
snapshot >"$work/after.txt"
check "nothing the packages installed is left, cupsd.conf as it was" diff -u "$work/before.txt" "$work/after.txt"
check "no queue or PPD of ours left in /etc/cups" bash -c "! grep -rqs kordavine /etc/cups"
finish
