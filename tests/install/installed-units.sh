#!/usr/bin/env bash
# The monthly run as installed: the units and the examples are where the
# package says, systemd-analyze accepts the units, and each service's
# ExecStart line, read from its unit file, runs the installed pelsok-cli
# against a temporary jobs file (so the unit and the program cannot drift
# apart).
#   installed-units.sh ROOT PREFIX WORK
# ROOT: where the files are (the temporary prefix, or the unpacked package's
# usr); PREFIX: the prefix the units name (ROOT, or /usr for the package).
set -euo pipefail
root=${1:?usage: installed-units.sh ROOT PREFIX WORK}
prefix=${2:?}
work=${3:?}
fail() { echo "installed-units: $*" >&2; exit 1; }

for f in lib/systemd/system/pelsok.service lib/systemd/system/pelsok.timer \
  lib/systemd/user/pelsok.service lib/systemd/user/pelsok.timer \
  share/doc/pelsok/examples/jobs.conf share/doc/pelsok/examples/cron.d-pelsok; do
  [ -f "$root/$f" ] || fail "$f is not installed"
done

# The commented example is a valid jobs file with no job.
env -u LD_LIBRARY_PATH "$root/bin/pelsok-cli" --jobs "$root/share/doc/pelsok/examples/jobs.conf" \
  --catch-up >"$work/example.txt" 2>&1 || { cat "$work/example.txt"; fail "the example jobs file"; }

if command -v systemd-analyze >/dev/null; then
  for kind in system user; do
    # The package's units name /usr/bin/pelsok-cli, which is not on this
    # machine: they are checked as copies that name the unpacked program.
    mkdir -p "$work/verify-$kind"
    for u in pelsok.service pelsok.timer; do
      sed "s|^ExecStart=$prefix/bin/|ExecStart=$root/bin/|" "$root/lib/systemd/$kind/$u" \
        >"$work/verify-$kind/$u"
    done
    flags=(--man=no)
    [ "$kind" = user ] && flags+=(--user)
    mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
    out=$(XDG_RUNTIME_DIR=$work/runtime SYSTEMD_LOG_LEVEL=warning systemd-analyze "${flags[@]}" verify \
      "$work/verify-$kind/pelsok.service" "$work/verify-$kind/pelsok.timer" 2>&1) ||
      { echo "$out"; fail "systemd-analyze verify ($kind units) failed"; }
    # Our own units must draw no complaint; the host's may.
    if grep -i "pelsok" <<<"$out"; then fail "systemd-analyze complains about the $kind units"; fi
  done
else
  echo "installed-units: systemd-analyze missing, units not verified (tools/install-deps.sh installs it)"
fi

# A month that is over, whatever today is, and its logs in a temporary folder.
month=$(date -d "$(date +%Y-%m-01) -1 month" +%m)
year=$(date -d "$(date +%Y-%m-01) -1 month" +%Y)
for kind in system user; do
  unit=$root/lib/systemd/$kind/pelsok.service
  line=$(sed -n 's/^ExecStart=//p' "$unit")
  [ "$(grep -c '^ExecStart=' "$unit")" = 1 ] || fail "$kind unit: not one ExecStart line"
  read -r -a words <<<"$line"
  [ "${words[0]}" = "$prefix/bin/pelsok-cli" ] ||
    fail "$kind unit runs '${words[0]}', not $prefix/bin/pelsok-cli"
  words[0]=$root/bin/pelsok-cli
  logs=$work/units-$kind/logs
  mkdir -p "$logs" "$work/units-$kind/etc/pelsok" "$work/units-$kind/config/pelsok"
  "$BUILD_BIN/pelsok-loggen" --out "$logs" --kind DR --year "$year" --month "$month" --seed 2 >/dev/null
  conf="[test]\nfolder = $logs\nkinds = DR, NA\ndelete = yes\n"
  printf "$conf" >"$work/units-$kind/etc/pelsok/jobs.conf"
  printf "$conf" >"$work/units-$kind/config/pelsok/jobs.conf"
  # The system unit's fixed file, the user unit's %E, both in the temporary folder.
  for i in "${!words[@]}"; do
    words[i]=${words[i]//\/etc\/pelsok\//$work/units-$kind/etc/pelsok/}
    words[i]=${words[i]//%E/$work/units-$kind/config}
  done
  [[ " ${words[*]} " == *" $work/units-$kind/"*"/pelsok/jobs.conf "* ]] ||
    fail "$kind unit: the jobs file is not the one the package documents: $line"
  (cd "$work" && env -u LD_LIBRARY_PATH -u LD_PRELOAD HOME="$work" "${words[@]}") \
    >"$work/units-$kind.txt" 2>&1 || { cat "$work/units-$kind.txt"; fail "$kind unit's ExecStart failed"; }
  archive=$logs/DR${year:2:2}$month.LZH
  [ -f "$archive" ] || { cat "$work/units-$kind.txt"; fail "$kind unit made no $archive"; }
  grep -q "^run DR ${year:2:2}$month logs " "$work/units-$kind.txt" ||
    { cat "$work/units-$kind.txt"; fail "$kind unit: no journal line"; }
  grep -q "NA: ${year:2:2}$month のログはありません" "$work/units-$kind.txt" ||
    { cat "$work/units-$kind.txt"; fail "$kind unit: no note for the idle kind"; }
  [ -z "$(find "$logs" -name '*.log')" ] || fail "$kind unit left logs that were packed"
done
echo "installed-units: ok"
