#!/usr/bin/env bash
# Runs the reception benchmark and compares its decoding with the Node.js
# package js-aprs-fap parsing the same 100 000 packets; prints the ratio.
# Usage: bench/reception/run.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
cmake --build "$build" --target bench_reception
bench="$build/bench/reception/bench_reception"
work="$build/bench-reception"
mkdir -p "$work"
[ -d "$work/node_modules/js-aprs-fap" ] || npm install --prefix "$work" --no-audit --no-fund --silent js-aprs-fap >/dev/null
"$bench" --write-packets "$work/packets.txt"
"$bench" --benchmark_out="$work/ours.json" --benchmark_out_format=json
cat > "$work/fap.js" <<'JS'
const { aprsParser } = require('js-aprs-fap');
const lines = require('fs').readFileSync(process.argv[2], 'latin1').split('\n').filter(l => l.length);
const parser = new aprsParser();
let positions = 0;
for (const l of lines.slice(0, 2000)) parser.parseaprs(l);  // warm-up
const t0 = process.hrtime.bigint();
for (const l of lines) { const p = parser.parseaprs(l); if (p && p.latitude !== undefined) positions++; }
const seconds = Number(process.hrtime.bigint() - t0) / 1e9;
console.log(JSON.stringify({ frames: lines.length, seconds, positions, perSecond: lines.length / seconds }));
JS
fap=$(cd "$work" && node fap.js packets.txt)
echo "js-aprs-fap: $fap"
/usr/bin/python3 - "$work/ours.json" "$fap" <<'PY'
import json, sys
ours = {b["name"].split("/")[0]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
fap = json.loads(sys.argv[2])
degrees = ours["BM_DecodeToDegrees"]["items_per_second"]
decode = ours["BM_DecodeOnly"]["items_per_second"]
store = ours["BM_DecodeAndStore"]["items_per_second"]
print(f"ours, decoding to lat/lon:            {degrees:14,.0f} frames/s")
print(f"ours, decoding to map metres (UTM):   {decode:14,.0f} frames/s")
print(f"ours, decoding and storing with logs: {store:14,.0f} frames/s")
print(f"js-aprs-fap parsing to lat/lon:       {fap['perSecond']:14,.0f} frames/s")
ratio = degrees / fap["perSecond"]
print(f"ratio, decoding to lat/lon / js-aprs-fap:  {ratio:.1f}x  -> {'OK' if ratio >= 20 else 'BELOW 20x'}")
print(f"ratio, decoding to map metres / js-aprs-fap: {decode / fap['perSecond']:.1f}x")
sys.exit(0 if ratio >= 20 else 1)
PY
