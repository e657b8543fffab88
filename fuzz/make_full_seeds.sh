#!/bin/sh
# Writes complete configuration files of both programs (600 slots, 171744 bytes; 300 slots, 87144
# bytes) into a fuzzing corpus, so fuzz_config_file starts from files that reach the full panel block
# and the 600-slot layout. They are made rather than kept in the tree.
#   fuzz/make_full_seeds.sh PATH/TO/kcftool CORPUS_DIR
set -eu
kcftool=$1
out=$2
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# A kcftool built with AddressSanitizer must not fail its exit on what it leaves to the OS.
export ASAN_OPTIONS=detect_leaks=0
cat > "$tmp/config.json" <<'JSON'
{"serialNo": "31337", "apn": "internet.mts.ru", "localIp": "10.0.0.2", "localPort": "5000",
 "gatewayIp": "10.0.0.1", "serverIp": "192.168.1.3", "serverPort": "9999", "testPeriod": 60,
 "reserveIps": ["10.1.1.1", "10.1.1.2", "172.16.0.9"],
 "panels": [{"obj": "0001", "account": "1234", "typeId": 30, "p1": "+79001234567", "waitTest": 30},
            {"obj": "00A2", "account": "0007", "typeId": 72, "p2": "84951234567"},
            {"obj": "0100", "account": "FFFF", "typeId": 41, "waitTest": 1440}]}
JSON
"$kcftool" encode --variant 600r "$tmp/config.json" "$out/full_600_slots.kcf"
"$kcftool" encode --variant duziv "$tmp/config.json" "$out/full_300_slots.kcf"
ls -l "$out/full_600_slots.kcf" "$out/full_300_slots.kcf"
