#!/usr/bin/env bash
# Runs the design-file fuzzer for the given number of seconds (60 if not
# given), starting from a fresh seed corpus: a written design file and a few
# hand-made ones that reach the reader's rarer paths. Exits non-zero when the
# fuzzer finds a crash; the crashing input is kept in <build>/fuzz/crashes.
# Uses the fuzz preset's build, or the configured fuzz build named by
# SORREL_FUZZ_BUILD.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if [ -z "${SORREL_FUZZ_BUILD:-}" ]; then
    cmake --preset fuzz >/dev/null
fi
build=${SORREL_FUZZ_BUILD:-build/fuzz}
cmake --build "$build" --target design_file_fuzz design_file_seed

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
"$build/fuzz/design_file_seed" "$corpus/written.srl"
printf 'UNITS=170\nSP04=2.5\nTOCU=12.5\n[CIRCUIT]=5\nBORE=0.75\nDESC= two words\n[CIRCUIT]=41\nBORE=1\n[CIRCUIT]x2\nUNIT=85\n[EOF]\nBORE=9\n' \
    >"$corpus/quirks.srl"
printf 'ENDCOR= 0.75\r\nCHMCOR= 0.75\r\n[CIRCUIT]=3\r\nFILENAME=x.srl\r\nMATL=Box wood\r\n' \
    >"$corpus/crlf.srl"
printf 'DESC=%s\n[CIRCUIT]=-1\nDIVS=4\n;BORE=2\n[CIRCUIT]\nNOTI=12' "$(printf 'x%.0s' {1..100})" \
    >"$corpus/long-lines.srl"

crashes="$build/fuzz/crashes"
mkdir -p "$crashes"
"$build/fuzz/design_file_fuzz" -max_total_time="$seconds" -timeout=10 \
    -dict=fuzz/design_file.dict -artifact_prefix="$crashes/" -print_final_stats=1 "$corpus"
