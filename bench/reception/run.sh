#!/usr/bin/env bash
# Runs the reception benchmark and compares its decoding with the Node.js
# package js-aprs-fap parsing the same 100 000 packets; prints the ratio.
# Usage: bench/reception/run.sh [build folder]   (default: build)
#
# Both sides are timed alike. Each is warmed up, then runs five repetitions of
# at least half a second each, every repetition whole passes over all 100 000
# packets, giving packets per second over its passes. The two sides take turns
# twice (ours, theirs, ours, theirs), so that a burst of load from elsewhere on
# the machine does not fall on one side only, and each side is represented by
# its best repetition.
#   Ours: the frame as cut from the receive buffer, through the header
#   normalising and the payload decoding to latitude and longitude
#   (BM_DecodeToDegrees), one FrameValues reused from frame to frame.
#   js-aprs-fap: the TNC2 line through parseaprs() of one parser object, which
#   also gives latitude and longitude (and fills in many other fields).
# Each side prints how many packets per pass gave a position.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
cmake --build "$build" --target bench_reception
bench="$build/bench/reception/bench_reception"
work="$build/bench-reception"
mkdir -p "$work"
[ -d "$work/node_modules/js-aprs-fap" ] || npm install --prefix "$work" --no-audit --no-fund --silent js-aprs-fap >/dev/null
"$bench" --write-packets "$work/packets.txt"
cat > "$work/fap.js" <<'JS'
const { aprsParser } = require('js-aprs-fap');
const lines = require('fs').readFileSync(process.argv[2], 'latin1').split('\n').filter(l => l.length);
const parser = new aprsParser();
let positions = 0;
const pass = () => {
  positions = 0;
  for (const l of lines) { const p = parser.parseaprs(l); if (p && p.latitude !== undefined) positions++; }
};
for (let i = 0; i < 3; i++) pass();  // warm-up: the compiler settles on its optimised code
const rates = [];
for (let r = 0; r < 5; r++) {
  let passes = 0;
  const t0 = process.hrtime.bigint();
  let seconds = 0;
  do {
    pass();
    passes++;
    seconds = Number(process.hrtime.bigint() - t0) / 1e9;
  } while (seconds < 0.5);
  rates.push(passes * lines.length / seconds);
}
console.log(JSON.stringify({ frames: lines.length, positions, repetitions: rates.map(Math.round) }));
JS
fap=()
for round in 1 2; do
  if [ "$round" = 1 ]; then filter=.; else filter='BM_DecodeToDegrees|BM_DecodeOnly'; fi
  "$bench" --benchmark_filter="$filter" --benchmark_repetitions=5 \
    --benchmark_out="$work/ours-$round.json" --benchmark_out_format=json
  fap+=("$(cd "$work" && node fap.js packets.txt)")
  echo "js-aprs-fap: ${fap[-1]}"
done
/usr/bin/python3 - "$work/ours-1.json" "$work/ours-2.json" "${fap[@]}" <<'PY'
import json, sys
# The best repetition of each benchmark over both rounds.
ours = {}
for path in sys.argv[1:3]:
    for b in json.load(open(path))["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        name = b["run_name"].split("/")[0]
        if name not in ours or b["items_per_second"] > ours[name]["items_per_second"]:
            ours[name] = b
faps = [json.loads(a) for a in sys.argv[3:]]
fap = max(max(f["repetitions"]) for f in faps)
degrees = ours["BM_DecodeToDegrees"]["items_per_second"]
decode = ours["BM_DecodeOnly"]["items_per_second"]
store = ours["BM_DecodeAndStore"]["items_per_second"]
print(f"ours, decoding to lat/lon:            {degrees:14,.0f} frames/s  ({ours['BM_DecodeToDegrees']['positions']:,.0f} positions per pass)")
print(f"ours, decoding to map metres (UTM):   {decode:14,.0f} frames/s")
print(f"ours, decoding and storing with logs: {store:14,.0f} frames/s")
print(f"js-aprs-fap parsing to lat/lon:       {fap:14,.0f} frames/s  ({faps[0]['positions']:,} positions per pass)")
ratio = degrees / fap
print(f"ratio, decoding to lat/lon / js-aprs-fap:  {ratio:.1f}x  -> {'OK' if ratio >= 20 else 'BELOW 20x'}")
print(f"ratio, decoding to map metres / js-aprs-fap: {decode / fap:.1f}x")
sys.exit(0 if ratio >= 20 else 1)
PY
