#!/usr/bin/env bash
# Fails when an #include runs against the layers. From the top down:
#   app -> archive -> backends -> archivecore -> platform
# A folder may include its own headers and those of any layer below it.
# winplace sits on platform and is used by app only. The archiver libraries
# (archivers/) are loaded, not linked: they include platform and their own
# folders, never archive, archivecore, backends, app or winplace; of theirs,
# only the entry header archivers/common/ArchiverApi.h is seen from outside,
# by backends and archive.
# Inside app the folders are layers too: ui and cli -> run -> settings ->
# text; ui and cli do not include each other, and only ui uses Qt.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
  case "$1" in
    platform) echo 0 ;;
    archivecore | winplace) echo 1 ;;
    backends) echo 2 ;;
    archive) echo 3 ;;
    app) echo 4 ;;
    *) echo "" ;;
  esac
}

# The rank of a folder inside app; empty for a file directly in app/.
app_rank() {
  case "$1" in
    text) echo 0 ;;
    settings) echo 1 ;;
    run) echo 2 ;;
    cli | ui) echo 3 ;;
    *) echo "" ;;
  esac
}

failures=0
fail() {
  echo "$1: $2" >&2
  failures=$((failures + 1))
}

while IFS= read -r file; do
  layer=${file%%/*}
  while IFS= read -r line; do
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$line")
    top=${target%%/*}
    [[ $target == */* ]] || continue  # a header beside the source
    if [[ $layer == archivers ]]; then
      case "$top" in
        archive | archivecore | backends | app | winplace)
          fail "$file" "an archiver library includes $target" ;;
      esac
      continue
    fi
    if [[ $top == archivers ]]; then
      if [[ $target != archivers/common/ArchiverApi.h ]] || [[ $layer != backends && $layer != archive ]]; then
        fail "$file" "$target belongs to the archiver libraries"
      fi
      continue
    fi
    if [[ $layer == app && $top == app ]]; then
      inner=${file#app/}
      inner=${inner%%/*}
      sub=${target#app/}
      sub=${sub%%/*}
      mine=$(app_rank "$inner")
      theirs=$(app_rank "$sub")
      if [[ -n $mine && -n $theirs && $inner != "$sub" ]] &&
        ((theirs > mine || (theirs == mine))); then
        fail "$file" "app/$inner includes $target (app/$sub is not below it)"
      fi
      continue
    fi
    own=$(rank "$layer")
    their=$(rank "$top")
    [[ -n $their ]] || continue
    if ((their > own)); then
      fail "$file" "$layer includes $target from the layer above"
    elif [[ $top == winplace && $layer != winplace && $layer != app ]]; then
      fail "$file" "$layer includes $target (window placement serves the application only)"
    elif [[ $layer == winplace && $top != winplace && $top != platform ]]; then
      fail "$file" "window placement includes $target (it sits on platform only)"
    fi
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(git ls-files -- 'app/*' 'archive/*' 'archivecore/*' 'backends/*' 'platform/*' \
  'winplace/*' 'archivers/*' | grep -E '\.(h|cpp)$')

# Qt belongs to the windows alone.
while IFS= read -r file; do
  [[ $file == app/ui/* ]] && continue
  if grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
    fail "$file" "includes Qt outside app/ui"
  fi
done < <(git ls-files -- 'app/*' 'archive/*' 'archivecore/*' 'backends/*' 'platform/*' \
  'winplace/*' 'archivers/*' | grep -E '\.(h|cpp)$')

if ((failures > 0)); then
  echo "check-layers: $failures include(s) against the layers" >&2
  exit 1
fi
echo "check-layers: includes follow the layers"
