#!/usr/bin/env bash
# Installs the build into a staging root and checks that the filter lands where CUPS runs
# filters from, with the mode CUPS insists on, and the PPD where CUPS finds driver PPDs.
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" >/dev/null

filter="$stage$(cups-config --serverbin)/filter/jobtypefilter"
ppd="$stage/usr/share/ppd/kordavine/kordavine-office.ppd"
fail=0
[ -x "$filter" ] || { echo "no executable filter at $filter"; fail=1; }
mode=$(stat -c %a "$filter" 2>/dev/null || echo none)
[ "$mode" = 755 ] || { echo "filter mode is $mode, want 755"; fail=1; }
[ -f "$ppd" ] || { echo "no PPD at $ppd"; fail=1; }
ppd_mode=$(stat -c %a "$ppd" 2>/dev/null || echo none)
[ "$ppd_mode" = 644 ] || { echo "PPD mode is $ppd_mode, want 644"; fail=1; }
if [ "$(id -u)" -eq 0 ]; then
  owner=$(stat -c %U "$filter")
  [ "$owner" = root ] || { echo "filter owned by $owner, want root"; fail=1; }
fi
cupstestppd -W filters "$ppd" >/dev/null || { echo "cupstestppd refuses the installed PPD"; fail=1; }
[ $fail -eq 0 ] && echo "installed filter and PPD as CUPS expects"
exit $fail
