#!/usr/bin/env bash
# Compares the JSON two builds of seatwatch-hh print for every file of the
# real hand histories beside the checkout (every family folder there), so a
# change meant to leave parsing alone can be shown to: exit 0 when the
# outputs are identical, else 1 and the first differences.
#
#   bench/compare_hh_output.sh OLD/seatwatch-hh NEW/seatwatch-hh [CORPUS]
set -euo pipefail
old=$1
new=$2
corpus=${3:-$(cd "$(dirname "$0")/../.." && pwd)/shared/corpus}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

run() {
    local bin=$1 out=$2 entry folder room file
    : >"$out"
    for entry in pokerstars:pokerstars pokerstars-today:pokerstars fulltilt:fulltilt \
        partypoker:party absolute:absolute; do
        folder=$corpus/${entry%%:*}
        room=${entry##*:}
        [ -d "$folder" ] || continue
        while IFS= read -r file; do
            "$bin" --room "$room" "$folder/$file" >>"$out" 2>&1 || true
        done < <(ls "$folder" | LC_ALL=C sort)
    done
}

run "$old" "$scratch/old.jsonl"
run "$new" "$scratch/new.jsonl"
lines=$(wc -l <"$scratch/new.jsonl")
if cmp -s "$scratch/old.jsonl" "$scratch/new.jsonl"; then
    echo "identical: $lines lines"
    exit 0
fi
diff "$scratch/old.jsonl" "$scratch/new.jsonl" | head -40 || true
exit 1
