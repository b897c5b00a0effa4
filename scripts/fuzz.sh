#!/usr/bin/env bash
# Builds the fuzz target of the receive pass with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in its own build folder, seeds it with a corpus of
# packets of every form and runs it for a bounded time. A crash fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-fuzz
seconds="${ZEBLON_FUZZ_SECONDS:-60}"
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fsanitize=fuzzer-no-link -g -O1"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DZEBLON_FUZZ=ON -DZEBLON_WERROR=OFF -DZEBLON_TESTS=OFF -DZEBLON_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_receive_pass --parallel "$(nproc)"

seeds="$build/fuzz-seeds"
work="$build/fuzz-corpus"
rm -rf "$seeds" && mkdir -p "$seeds" "$work"
# One seed per line of the seed packets, in TNC2 form (first byte 0), and a few in the other interface forms.
n=0
while IFS= read -r line || [ -n "$line" ]; do
  [ -z "$line" ] && continue
  printf '\000%s' "$line" > "$seeds/tnc2-$n"
  printf '\004%s\r\n' "$(printf '%s' "$line" | sed 's/:/ <UI>:\r\n/' | tr ',' '>')" > "$seeds/raw-$n"
  n=$((n + 1))
done < tests/reception/data/seed_packets.txt
printf '\001 1:Fm SRC-9 To APRS Via WIDE1-1,DIGI2* <UI pid=F0 Len=3 PF=0 >[12:00:00]\r!4903.50N/07201.75W-\r\r' > "$seeds/agw-0"
printf '\002fm SRC to APRS via DIGI1* WIDE2-1 ctl UI^ pid F0\r\n!4903.50N/07201.75W-\r\n' > "$seeds/scs-0"
printf '\003SRC>APRS <UI>:\r\n`(_fn"Oj/]\r\n' > "$seeds/pk232-0"

"$build/reception/fuzz_receive_pass" \
  -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
  -artifact_prefix="$build/" "$work" "$seeds"

# The internet pass and the page parsers: raw packet lines from the same seed packets, a page of
# each form, an area answer and an ionosphere page.
cmake --build "$build" --target fuzz_internet --parallel "$(nproc)"
iseeds="$build/fuzz-internet-seeds" && iwork="$build/fuzz-internet-corpus"
rm -rf "$iseeds" && mkdir -p "$iseeds" "$iwork"
n=0
while IFS= read -r line || [ -n "$line" ]; do
  [ -z "$line" ] && continue
  printf '\00020240501123400,%s\r\n20240501123500,%s\r\n' "$line" "$line" > "$iseeds/lines-$n"
  n=$((n + 1))
done < tests/reception/data/seed_packets.txt
printf '\0022024-05-01 12:34:56: AB1CD>APRS:!5230.00N/01320.00E>x\nRAW DATA: AB1CD\n20240501123456,AB1CD>APRS,TCPIP*:=5230.00N/01320.00E>y\n' > "$iseeds/pages-0"
printf '\003[{"callsign":"AB1CD","ssid":"","class":"a","type":"l","posreceived":"2024-05-01 12:34:56","lat":52.5,"lon":13.25,"course":0,"speed":0,"symbolcode":"-","symboltable":"/","comment":"padding padding padding padding padding padding padding padding padding padding"}]' > "$iseeds/area-0"
printf '\004KIEL 3-HOUR K 3 KIEL CURRENT K 4 SUNSPOT NUMBER 12 SSN 140 x B. Planetary 3\r\n%0300d' 0 > "$iseeds/iono-0"
"$build/internet/fuzz_internet" \
  -max_total_time="${ZEBLON_FUZZ_INTERNET_SECONDS:-30}" -max_len=4096 -timeout=10 -rss_limit_mb=4096 \
  -print_final_stats=1 -artifact_prefix="$build/internet-" "$iwork" "$iseeds"
