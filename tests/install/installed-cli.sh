#!/usr/bin/env bash
# Installs the built tree (prefix: cmake --install; deb: cpack -G DEB, then
# dpkg-deb -x), checks the layout and the run paths, then packs a generated
# month with the installed pelsok-cli from an unrelated folder, with nothing
# of the build folder in the search, and makes a self-extracting program with
# the installed UNLHA32.DLL.
#   installed-cli.sh prefix|deb BUILD_DIR
set -euo pipefail
how=${1:?usage: installed-cli.sh prefix|deb BUILD_DIR}
build=$(realpath "${2:?}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "installed-cli: $*" >&2; exit 1; }

case $how in
  prefix)
    cmake --install "$build" --prefix "$work/root/usr" >/dev/null
    ;;
  deb)
    (cd "$work" && cpack -G DEB -B "$work/pkg" --config "$build/CPackConfig.cmake" >/dev/null) ||
      fail "cpack -G DEB failed"
    deb=$(ls "$work"/pkg/pelsok_*.deb)
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    need=(libc6)
    [ -e "$build/bin/Pelsok" ] && need+=(fonts-ipafont-gothic libqt6gui6 libqt6widgets6)
    for n in "${need[@]}"; do
      [[ ", $depends" == *", $n"* ]] || fail "the package does not depend on $n"
    done
    dpkg-deb -x "$deb" "$work/root"
    ;;
  *) fail "unknown way to install: $how" ;;
esac
rm -rf "$work/pkg"
prefix=$work/root/usr

expect=(bin/pelsok-cli lib/pelsok/UNLHA32.DLL lib/pelsok/UNARJ32J.DLL lib/pelsok/lzhsfx lib/pelsok/libpelsok_platform.so
  lib/pelsok/tar32.dll lib/pelsok/kmtarsef.exe lib/pelsok/UNZIP32.DLL lib/pelsok/ZIP32J.DLL
  lib/pelsok/CAB32.DLL lib/pelsok/cabsfx share/doc/pelsok/LICENSE)
if [ -e "$build/bin/Pelsok" ]; then
  expect+=(bin/Pelsok share/pelsok/help/Pelsok1/contents.html share/pelsok/help/WinHelp/contents.html
    share/applications/pelsok.desktop share/icons/hicolor/scalable/apps/pelsok.svg)
fi
for f in "${expect[@]}"; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done

# Run paths name only folders relative to the file itself, installed and in
# the build tree; an empty entry would mean the current folder.
while IFS= read -r -d '' f; do
  head -c 4 "$f" | grep -q ELF || continue
  while read -r path; do
    [[ $path =~ ^\$ORIGIN[^:]*(:\$ORIGIN[^:]*)*$ ]] || fail "$f has the run path '$path'"
  done < <(readelf -d "$f" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]/\2/p')
done < <(find "$prefix" "$build/bin" -maxdepth 3 -type f -print0)

# The month, from a folder unrelated to the build and the prefix.
mkdir "$work/logs" "$work/elsewhere"
"$build/bin/pelsok-loggen" --out "$work/logs" --kind DR --year 2026 --month 11 --seed 1 >/dev/null
cd "$work/elsewhere"
run() { env -u LD_LIBRARY_PATH -u LD_PRELOAD PELSOK_HIVE="$work/hive.reg" "$@"; }
run "$prefix/bin/pelsok-cli" --kind DR --year 26 --month 11 --folder "$work/logs" >"$work/out.txt" ||
  { cat "$work/out.txt"; fail "pelsok-cli failed"; }
grep -q "^archive .*DR2611.LZH result 0000" "$work/out.txt" || { cat "$work/out.txt"; fail "no archive"; }
[ "$(grep -c '^packed ' "$work/out.txt")" = 30 ] || { cat "$work/out.txt"; fail "not 30 logs packed"; }
# The installed program's manifest checks the archive beside it.
(cd "$work/logs" && sha256sum -c --ignore-missing --quiet DR2611.LZH.sha256) ||
  fail "the manifest does not check"
if command -v lhasa >/dev/null; then
  lhasa t "$work/logs/DR2611.LZH" >/dev/null || fail "lhasa finds the archive damaged"
fi

# Command s finds the installed stub beside the installed library.
run python3 - "$prefix/lib/pelsok/UNLHA32.DLL" "$work/logs/DR2611.LZH" <<'PY' || fail "command s failed"
import ctypes, sys
lib = ctypes.CDLL(sys.argv[1])
out = ctypes.create_string_buffer(4096)
code = lib.Unlha(None, b's "' + sys.argv[2].encode() + b'"', out, len(out))
sys.exit(0 if code == 0 else 1)
PY
mkdir "$work/unpacked"
(cd "$work/unpacked" && run "$work/logs/DR2611.EXE" >/dev/null) || fail "the self-extracting program failed"
[ "$(find "$work/unpacked" -type f | wc -l)" = 30 ] || fail "the self-extracting program did not give 30 logs"
# The units, the examples and the monthly run they start.
units_prefix=$prefix
[ "$how" = deb ] && units_prefix=/usr
BUILD_BIN=$build/bin bash "$(dirname "$0")/installed-units.sh" "$prefix" "$units_prefix" "$work"
echo "installed-cli ($how): ok"
