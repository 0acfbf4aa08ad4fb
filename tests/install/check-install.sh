#!/usr/bin/env bash
# Installs the build with `cmake --install` under a temporary root (a prefix, DESTDIR, or both)
# and checks, for each way:
#  - the filter lands in <prefix>/lib/cups/filter (mode 0755, root's when run as root), every
#    PPD of the family in <prefix>/share/ppd/kordavine (0644, accepted by cupstestppd and
#    nothing else there), the man pages, the bundle
#    and the platform library under <libdir>/kordavine, and joblog-dialog in <prefix>/bin;
#  - joblog-print's desktop entry in <prefix>/share/applications, valid for desktop-file-utils;
#  - the installed joblog-dialog runs from there and loads the installed bundle;
#  - the uninstall target removes every installed file and every directory the install made,
#    and keeps a directory that was there before.
# The build's own install manifest is put back afterwards.
#   check-install.sh <build-dir>
set -uo pipefail
build=$1
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
models=$(cd "$source/ppd" && ls -- *.ppd | sort)
panel=$( [ -x "$build/panel/driver/joblog-dialog" ] && echo yes || echo no)
work=$(mktemp -d)
saved=$work/saved
mkdir "$saved"
for kept in install_manifest.txt install_directories.txt; do
  [ -e "$build/$kept" ] && cp -p "$build/$kept" "$saved/"
done
restore() {
  rm -f "$build/install_manifest.txt" "$build/install_directories.txt"
  cp -p "$saved"/* "$build/" 2>/dev/null
  rm -rf "$work"
}
trap restore EXIT

passed=0 failed=0
check() {  # check <case> <description> <command...>
  local name=$1 what=$2
  shift 2
  if "$@" >/dev/null 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL [$name] $what"
  fi
}
mode_is() { [ "$(stat -c %a "$1" 2>/dev/null)" = "$2" ]; }
owned_by_root() { [ "$(id -u)" -ne 0 ] || [ "$(stat -c %U "$1")" = root ]; }
listing() { (cd "$1" && find . -mindepth 1 | sort); }

# case | --prefix given to cmake --install (empty: the configured one) | DESTDIR (empty: none)
cases=(
  "prefix|$work/p|"
  "destdir|/usr|$work/d"
  "destdir-and-prefix|/opt/kordavine|$work/dp"
)
for row in "${cases[@]}"; do
  IFS='|' read -r name prefix destdir <<< "$row"
  root=$destdir$prefix
  # A directory that was there before the install must stay after uninstall.
  mkdir -p "$root/share/ppd"
  base=${destdir:-$prefix}
  before=$(listing "$base")
  install_args=(--install "$build" --prefix "$prefix")
  if [ -n "$destdir" ]; then
    check "$name" "cmake --install with DESTDIR" env DESTDIR="$destdir" cmake "${install_args[@]}"
  else
    check "$name" "cmake --install --prefix" cmake "${install_args[@]}"
  fi

  filter=$root/lib/cups/filter/jobtypefilter
  ppds=$root/share/ppd/kordavine
  ppd=$ppds/kordavine-office.ppd
  check "$name" "filter installed executable at $filter" test -x "$filter"
  check "$name" "filter mode 0755" mode_is "$filter" 755
  check "$name" "filter owned by root" owned_by_root "$filter"
  check "$name" "the PPDs installed are the family's: $models" \
    test "$(cd "$ppds" 2>/dev/null && ls -- *.ppd | sort)" = "$models"
  for model in $models; do
    check "$name" "PPD $model mode 0644" mode_is "$ppds/$model" 644
    check "$name" "cupstestppd accepts the installed $model" cupstestppd -W filters "$ppds/$model"
  done
  check "$name" "jobtypefilter(8) installed" test -f "$root/share/man/man8/jobtypefilter.8"
  # The manifest names the files without DESTDIR: each lies under the prefix and is in the stage.
  check "$name" "nothing installed outside the root" \
    bash -c "! grep -v '^$prefix/' '$build/install_manifest.txt' &&
             while read -r f; do test -e '$destdir'\"\$f\" || exit 1; done < '$build/install_manifest.txt'"
  if [ "$panel" = yes ]; then
    dialog=$root/bin/joblog-dialog
    bundle=$root/$libdir/kordavine/JobLog.plugin
    script='[{"do":"create"},{"do":"view"},{"do":"show"}]'
    check "$name" "joblog-dialog(1) installed" test -f "$root/share/man/man1/joblog-dialog.1"
    check "$name" "platform library private to the panel" test -f "$root/$libdir/kordavine/libkordavine-platform.so"
    check "$name" "bundle module installed" test -f "$bundle/Contents/MacOS/jobtypepanel.so"
    check "$name" "installed joblog-dialog runs" \
      "$dialog" --ppd "$ppd" --script-json "$script"
    # With its installed bundle broken, the installed program must fail: it does not fall back
    # to the build tree's bundle.
    cp "$bundle/Contents/Info.plist" "$work/Info.plist"
    echo broken > "$bundle/Contents/Info.plist"
    check "$name" "installed joblog-dialog loads the installed bundle" \
      bash -c "! '$dialog' --ppd '$ppd' --script-json '$script'"
    cp "$work/Info.plist" "$bundle/Contents/Info.plist"
    if [ -x "$build/panel/printtool/joblog-print" ]; then
      desktop=$root/share/applications/joblog-print.desktop
      check "$name" "joblog-print's desktop entry installed" test -f "$desktop"
      if command -v desktop-file-validate >/dev/null; then
        check "$name" "desktop-file-validate accepts the installed entry" desktop-file-validate "$desktop"
      fi
    fi
  fi

  check "$name" "uninstall target" env DESTDIR="$destdir" cmake --build "$build" --target uninstall
  check "$name" "uninstall leaves exactly what was there before" \
    test "$(listing "$base")" = "$before"
done
echo "$passed passed, $failed failed"
((failed == 0))
