#!/usr/bin/env bash
# Fails when a source file includes a header of a layer it may not use, or
# when a layer below the program reaches windows.
#   check_layers.sh SRC_DIR
# util <- net <- settings <- sync; shell uses util; app uses all.
set -uo pipefail
cd "$1" || exit 2
declare -A allowed=(
  [util]="util" [net]="util net" [settings]="util net settings"
  [sync]="util net settings sync" [shell]="util shell"
  [app]="util net settings sync shell app")
# Only the program and the tray talk to windows; the layers under them
# report through calls of their own (net/report.h, sync/report.h).
windowed="util shell app"
bad=0
while IFS=: read -r file _ header; do
  file=${file#./}; layer=${file%%/*}
  used=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$header")
  if [[ " ${allowed[$layer]} " != *" $used "* ]]; then
    echo "$file includes $used/ (layer $layer may use: ${allowed[$layer]})"
    bad=1
  fi
  if [[ "$header" == *'"util/window'* && " $windowed " != *" $layer "* ]]; then
    echo "$file includes a window header (only $windowed may)"
    bad=1
  fi
done < <(grep -rn --include='*.cpp' --include='*.h' --include='*.in' '#include "[a-z]*/' .)
[ "$bad" -eq 0 ] && echo "layers: every include goes downward, and only $windowed reach windows"
exit "$bad"
