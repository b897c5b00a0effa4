#!/usr/bin/env bash
# Checks that the layers run one way: a program folder includes only its own
# folder and the folders below it. The order, lowest first:
#
#   geodesy < platform < settings < reception < map < stations < links < internet
#     < panels < start_window < main_window < app
#
# internet stands on links (the main cycle's web steps) and reception, below the
# panels (the chat's web send); talmor stands beside
# the station program on map (geodesy, platform, settings, map); fuzz/ may include
# anything below app. tests/ and bench/ are exempt.
#
# Usage: scripts/check_layers.sh [ROOT]   (ROOT defaults to the tree this script is in)
# Prints every include that looks up and exits 1 when there is one.
set -euo pipefail

root=${1:-"$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"}
cd "$root"

chain=(geodesy platform settings reception map stations links internet panels start_window main_window app)

declare -A allowed
for ((i = 0; i < ${#chain[@]}; i++)); do
  allowed[${chain[i]}]="${chain[*]:0:i+1}"
done
# Folders off the straight line, with everything they may include (their own included).
# internet needs neither the map nor the stations.
allowed[internet]="geodesy platform settings reception links internet"
allowed[talmor]="geodesy platform settings map talmor"
allowed[fuzz]="${chain[*]:0:${#chain[@]}-1} talmor fuzz"

exempt=" tests bench scripts cmake assets build "

status=0
for dir in */; do
  dir=${dir%/}
  case "$exempt" in *" $dir "*) continue ;; esac
  [[ $dir == build* ]] && continue
  sources=$(find "$dir" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) | sort)
  [[ -z $sources ]] && continue
  if [[ -z ${allowed[$dir]+set} ]]; then
    echo "check_layers: folder $dir/ has sources but no place in the layer order" >&2
    status=1
    continue
  fi
  while IFS= read -r hit; do
    [[ -z $hit ]] && continue
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"${rest#*:}")
    # Only includes of the tree's own folders count ("QtCore/...", generated files are not ours).
    [[ -d $target ]] || continue
    case " ${allowed[$dir]} " in
      *" $target "*) ;;
      *)
        echo "$file:$line: $dir/ includes $target/ (a higher layer or one beside it)"
        status=1
        ;;
    esac
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' $sources /dev/null || true)
done

if ((status == 0)); then echo "check_layers: every include runs down the layers"; fi
exit $status
