#!/usr/bin/env bash
# Fails when a name in the product folders breaks its layer's naming style:
# clang-tidy's readability-identifier-naming, as the .clang-tidy files say
# (the top one for app/, archive/, archivecore/ and backends/; platform/,
# winplace/, archivers/ and archivers/lzh/ have their own). Every C++ source
# that git tracks there is checked with the build's compile_commands.json, and
# the headers through the sources that include them (each warning once).
#   tools/check-naming.sh            (build folder: $BUILD_DIR, default build/,
#                                     configured with CMAKE_EXPORT_COMPILE_COMMANDS)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# A relative BUILD_DIR is taken from the caller's folder.
build=$(realpath -m "${BUILD_DIR:-$root/build}")
db=$build/compile_commands.json
[ -f "$db" ] || { echo "check-naming: no $db; configure with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON" >&2; exit 2; }
command -v clang-tidy >/dev/null || { echo "check-naming: clang-tidy is missing (tools/install-deps.sh)" >&2; exit 2; }
folders=(app archive archivecore backends platform winplace archivers)
cd "$root"

mapfile -t sources < <(git ls-files -- "${folders[@]/%//*.cpp}")
# A tracked source the build does not compile would go unchecked.
missing=0
for f in "${sources[@]}"; do
  grep -qF "\"file\": \"$root/$f\"" "$db" || { echo "check-naming: $f is not in $db" >&2; missing=1; }
done
((missing == 0)) || exit 2

# Generated files (Qt's moc output in the build folder) and the headers of
# other folders stay out; the headers of the product folders are checked.
filter="^$(sed 's/[][\.|$(){}?+*^]/\\&/g' <<<"$root")/($(IFS='|'; echo "${folders[*]}"))/"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
start=$SECONDS
status=0
printf '%s\n' "${sources[@]}" |
  xargs -P"$(nproc)" -n 4 clang-tidy -p "$build" --quiet --header-filter="$filter" \
    >"$log" 2>&1 || status=$?
warnings=$(grep -E '^[^ ].*:[0-9]+:[0-9]+: (warning|error):' "$log" | sort -u || true)
if [ -n "$warnings" ] || ((status != 0)); then
  if [ -n "$warnings" ]; then echo "$warnings" >&2; else cat "$log" >&2; fi
  echo "check-naming: $(grep -c . <<<"$warnings") name(s) against the layer's style (clang-tidy exit $status)" >&2
  exit 1
fi
echo "check-naming: ${#sources[@]} sources and their headers follow the naming styles ($((SECONDS - start)) s)"
