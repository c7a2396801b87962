#!/usr/bin/env bash
# Fails when a file under src/ includes a header from a folder its layer may
# not depend on. The table is the layer map of CONTRIBUTING.md: each folder
# with the folders it may include from. Run by CTest.
set -euo pipefail
# An argument names another source tree to check (the check checks itself so).
cd "${1:-$(dirname "$0")/../src}"
declare -A allowed=(
  [common]="common"
  [link]="common link"
  [model]="common model"
  [files/core]="common model files/core"
  [services/core]="common link model services/core"
  [app/core]="common app/core"
  [editor]="common link model files/core services/core app/core editor"
  [files]="common link model files/core services/core app/core editor files"
  [services]="common link model services/core editor services"
  [firmware/core]="common link model firmware/core"
  [firmware]="common link model firmware/core app/core editor firmware"
  [app]="common link model files/core services/core app/core firmware/core editor files services firmware app"
  [cli]="common link model files/core services/core app/core firmware/core editor files services firmware cli"
)
# The longest folder of the table that holds the path.
layer_of() {
  local p=$1 best=""
  for k in "${!allowed[@]}"; do
    [[ $p == "$k"/* && ${#k} -gt ${#best} ]] && best=$k
  done
  echo "$best"
}
bad=0
while IFS=: read -r file line text; do
  inc=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$text")
  [[ $inc == */* ]] || continue
  from=$(layer_of "$file")
  to=$(layer_of "$inc")
  if [[ -z $from ]]; then
    echo "$file: in no layer; add its folder to scripts/check-layers.sh"
    bad=1
    continue
  fi
  [[ -z $to ]] && continue
  if [[ " ${allowed[$from]} " != *" $to "* ]]; then
    echo "$file:$line: $from may not include $to ($inc)"
    bad=1
  fi
done < <(grep -rn '#include "' --include='*.h' --include='*.cpp' . | sed 's|^\./||')
if ((bad)); then
  exit 1
fi
echo "layers: every include points to its own layer or below"
