#!/usr/bin/env bash
# The long run of the model-based random test: 10000 user actions on the real window,
# shared among its seeds, each checked against the model. Prints the time it took.
#
#   bench/model-long.sh [BUILD_DIR]     (default: build; QX_MODEL_SEED picks one seed)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
[[ -f $build/CMakeCache.txt ]] || { echo "model-long: $build is not a configured build" >&2; exit 1; }
cmake --build "$build" --target test_model >/dev/null
export QT_QPA_PLATFORM=offscreen
start=$EPOCHREALTIME
QX_MODEL_ACTIONS=10000 "$build/tests/test_model" --gtest_brief=1
end=$EPOCHREALTIME
awk -v s="${start/./}" -v e="${end/./}" 'BEGIN { printf "model-long: 10000 actions in %.2f s\n", (e - s) / 1e6 }'
