#!/usr/bin/env bash
# Fuzzes every reader of stored or received bytes: builds the libFuzzer targets
# with clang under AddressSanitizer and UndefinedBehaviorSanitizer in their own
# build folder, seeds each with real files and runs them all at once. Then the
# program built the same way goes through a short live use.
#
#   scripts/fuzz.sh                  every target for ZEBLON_FUZZ_SECONDS seconds (default 45)
#   scripts/fuzz.sh --long MINUTES   every target for MINUTES minutes
#
# The targets run side by side, so the time is the same on any number of cores.
# Prints the executions of each target and their total. A finding (crash,
# sanitizer report, leak, time-out, memory) fails the script; the input that
# caused it is kept as build-fuzz/findings/<target>-*, the target's output in
# build-fuzz/fuzz-logs/<target>.log. The corpus grows from run to run in
# build-fuzz/fuzz-corpus/<target>.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-fuzz
seconds="${ZEBLON_FUZZ_SECONDS:-45}"
if [ "${1:-}" = "--long" ]; then
  [[ "${2:-}" =~ ^[0-9]+$ ]] || { echo "usage: scripts/fuzz.sh [--long MINUTES]" >&2; exit 2; }
  seconds=$(( $2 * 60 ))
fi

# Each target with the most bytes one input may have (the stock archive's seeds
# are small archives of the real one's records).
targets=(
  "fuzz_receive_pass 4096"
  "fuzz_bmp 4096"
  "fuzz_settings 4096"
  "fuzz_moni_log 4096"
  "fuzz_track_import 4096"
  "fuzz_talmor_data 4096"
  "fuzz_talmor_picture_name 64"
  "fuzz_aprs_is 4096"
  "fuzz_internet 4096"
  "fuzz_wx_report 256"
  "fuzz_stock_zip 65536"
)
names=()
for t in "${targets[@]}"; do names+=("${t%% *}"); done

flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fsanitize=fuzzer-no-link -g -O1"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DZEBLON_FUZZ=ON -DZEBLON_WERROR=OFF -DZEBLON_TESTS=OFF -DZEBLON_BENCH=OFF >/dev/null
cmake --build "$build" --target "${names[@]}" make_seeds --parallel "${ZEBLON_FUZZ_JOBS:-$(nproc)}"

# The seeds: real files written by the programs' own writers, the seed packets of
# the reception tests in each interface's form, and records of a real STOCK.ZIP
# (the main build's, or one made here).
stock=build/assets/STOCK.ZIP
if [ ! -f "$stock" ]; then
  cmake --build "$build" --target stock_archive --parallel "${ZEBLON_FUZZ_JOBS:-$(nproc)}"
  stock="$build/assets/STOCK.ZIP"
fi
seeds="$build/fuzz-seeds"
rm -rf "$seeds" && mkdir -p "$seeds/fuzz_receive_pass"
ASAN_OPTIONS=detect_leaks=0 "$build/fuzz/make_seeds" tests/reception/data/seed_packets.txt "$seeds" "$stock"
n=0
while IFS= read -r line || [ -n "$line" ]; do
  [ -z "$line" ] && continue
  printf '\000%s' "$line" > "$seeds/fuzz_receive_pass/tnc2-$n"
  printf '\004%s\r\n' "$(printf '%s' "$line" | sed 's/:/ <UI>:\r\n/' | tr ',' '>')" > "$seeds/fuzz_receive_pass/raw-$n"
  n=$((n + 1))
done < tests/reception/data/seed_packets.txt
printf '\001 1:Fm SRC-9 To APRS Via WIDE1-1,DIGI2* <UI pid=F0 Len=3 PF=0 >[12:00:00]\r!4903.50N/07201.75W-\r\r' > "$seeds/fuzz_receive_pass/agw-0"
printf '\002fm SRC to APRS via DIGI1* WIDE2-1 ctl UI^ pid F0\r\n!4903.50N/07201.75W-\r\n' > "$seeds/fuzz_receive_pass/scs-0"
printf '\003SRC>APRS <UI>:\r\n`(_fn"Oj/]\r\n' > "$seeds/fuzz_receive_pass/pk232-0"
# The internet pass and the page parsers: raw packet lines from the same seed
# packets, a page of each form, an area answer and an ionosphere page.
mkdir -p "$seeds/fuzz_internet"
n=0
while IFS= read -r line || [ -n "$line" ]; do
  [ -z "$line" ] && continue
  printf '\00020240501123400,%s\r\n20240501123500,%s\r\n' "$line" "$line" > "$seeds/fuzz_internet/lines-$n"
  n=$((n + 1))
done < tests/reception/data/seed_packets.txt
printf '\0022024-05-01 12:34:56: AB1CD>APRS:!5230.00N/01320.00E>x\nRAW DATA: AB1CD\n20240501123456,AB1CD>APRS,TCPIP*:=5230.00N/01320.00E>y\n' > "$seeds/fuzz_internet/pages-0"
printf '\003[{"callsign":"AB1CD","ssid":"","class":"a","type":"l","posreceived":"2024-05-01 12:34:56","lat":52.5,"lon":13.25,"course":0,"speed":0,"symbolcode":"-","symboltable":"/","comment":"padding padding padding padding padding padding padding padding padding padding"}]' > "$seeds/fuzz_internet/area-0"
printf '\004KIEL 3-HOUR K 3 KIEL CURRENT K 4 SUNSPOT NUMBER 12 SSN 140 x B. Planetary 3\r\n%0300d' 0 > "$seeds/fuzz_internet/iono-0"

# The weather decoder of the station display: weather words.
mkdir -p "$seeds/fuzz_wx_report"
n=0
for word in '180/010g015t050r001p010P005h65b10132' 'c180s010g015t050h65/remark' 't-05r250p750b00132' \
            'b1013xh-5t0-5' '_10090556c220s004g005t077r000p000P000h50b09900wRSW'; do
  printf '%s' "$word" > "$seeds/fuzz_wx_report/wx-$n"
  n=$((n + 1))
done

logs="$build/fuzz-logs"
findings="$build/findings"
mkdir -p "$logs" "$findings"
binary() { echo "$build/fuzz/$1"; }

echo "fuzzing ${#names[@]} targets for $seconds s each, side by side"
pids=()
for t in "${targets[@]}"; do
  name="${t%% *}"
  max_len="${t##* }"
  mkdir -p "$build/fuzz-corpus/$name" "$seeds/$name"
  "$(binary "$name")" \
    -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/$name-" "$build/fuzz-corpus/$name" "$seeds/$name" \
    > "$logs/$name.log" 2>&1 &
  pids+=($!)
done

failed=0
total=0
printf '%-28s %14s %10s\n' target executions result
for i in "${!names[@]}"; do
  name="${names[$i]}"
  rc=0
  wait "${pids[$i]}" || rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/$name.log" | tail -n 1)
  runs="${runs:-0}"
  total=$((total + runs))
  if [ "$rc" -eq 0 ]; then
    printf '%-28s %14s %10s\n' "$name" "$runs" ok
  else
    printf '%-28s %14s %10s\n' "$name" "$runs" "FINDING"
    failed=1
  fi
done
printf '%-28s %14s\n' total "$total"

if [ "$failed" -ne 0 ]; then
  for name in "${names[@]}"; do
    if grep -qE '^==[0-9]+==ERROR|runtime error|^SUMMARY|deadly signal|Test unit written' "$logs/$name.log"; then
      echo "---- $name ($logs/$name.log)" >&2
      grep -E -A30 '^==[0-9]+==ERROR|runtime error|deadly signal' "$logs/$name.log" | head -n 60 >&2 || true
    fi
  done
  exit 1
fi

# The program itself, built the same way in the same folder (ZEBLON and its
# assets only), in a short live use without a person under Xvfb: a call typed,
# START with the packet engine, a few packets heard and logged, the user's close
# (scripts/live_use.py). A sanitizer report, or a step that does not happen, fails.
cmake --build "$build" --target ZEBLON --parallel "${ZEBLON_FUZZ_JOBS:-$(nproc)}"
echo "a short live use of the program under the sanitizers"
xvfb-run -a -s '-screen 0 1280x1024x24' /usr/bin/python3 scripts/live_use.py "$build/program"
