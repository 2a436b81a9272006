#!/usr/bin/env bash
# Regenerates setloom's artwork (the "Lumenreach" lantern motif) in resources/.
# Needs ImageMagick's `convert` (only for rasterising the word "Lumenreach")
# and python3 with its standard library. Output is deterministic.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
res="$(cd "$here/.." && pwd)"

command -v convert >/dev/null 2>&1 || { echo "draw_art.sh: ImageMagick 'convert' not found" >&2; exit 1; }
command -v python3 >/dev/null 2>&1 || { echo "draw_art.sh: python3 not found" >&2; exit 1; }

python3 "$here/render_art.py" "$res"
python3 "$here/check_art.py" "$res"
python3 "$here/check_art.py" --self-test "$res"
