#!/usr/bin/env bash
# Where start-up time and memory go: runs the phase-marking builds of the minimal window
# and of the panel start-up alternately and prints, for each phase, the median time it
# took and how much the resident set grew in it.
#
#   bench/startup-phases.sh [BUILD_DIR] [RUNS]     (defaults: build-bench, 30)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build-bench}
runs=${2:-30}
a=$build/bench/bench_minimal_window_phases
b=$build/bench/bench_panel_startup_phases
for p in "$a" "$b"; do
    [[ -x $p ]] || { echo "startup-phases: $p not built (cmake --build $build)" >&2; exit 1; }
done
export QT_QPA_PLATFORM=offscreen
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

runOne() { # program label
    local start end out
    start=$EPOCHREALTIME
    out=$(QX_SPAWN_US=${start/./} "$1" 2>/dev/null)
    end=$EPOCHREALTIME
    printf '%s\n' "$out" | awk -v l="$2" -F'\t' '$1 == "phase" { print l "\t" $2 "\t" $3 "\t" $4 }' >>"$tmp/marks"
    awk -v l="$2" -v s="${start/./}" -v e="${end/./}" 'BEGIN { printf "%s\tprocess exit\t%.3f\t-1\n", l, (e - s) / 1000 }' >>"$tmp/marks"
}

for _ in 1 2 3; do runOne "$a" warm; runOne "$b" warm; done
: >"$tmp/marks"
for ((i = 0; i < runs; i++)); do
    if ((i % 2 == 0)); then runOne "$a" minimal; runOne "$b" panel; else runOne "$b" panel; runOne "$a" minimal; fi
done

# Median of each mark per program, then the time each phase took (mark minus the mark
# before it) and the growth of the resident set over it.
awk -F'\t' '
    # Phases in the order the panel passes them; the minimal program has a subset.
    NR == FNR { if ($1 == "panel" && !(($2) in order)) { order[$2] = ++phases; name[phases] = $2 }; next }
    { key = $1 SUBSEP $2; n[key]++; t[key, n[key]] = $3; r[key, n[key]] = $4 }
    function median(arr, key,   m, i, j, x, a) {
        m = n[key]; if (!m) return -1
        for (i = 1; i <= m; i++) a[i] = arr[key, i]
        for (i = 2; i <= m; i++) { x = a[i]; for (j = i - 1; j >= 1 && a[j] > x; j--) a[j + 1] = a[j]; a[j + 1] = x }
        return (m % 2) ? a[(m + 1) / 2] : (a[m / 2] + a[m / 2 + 1]) / 2
    }
    END {
        printf "%-22s %9s %9s %9s   %11s %11s %11s\n", "phase (medians)", "empty ms", "panel ms", "extra", "empty KiB+", "panel KiB+", "extra"
        ta = 0; tb = 0; ra = 0; rb = 0
        for (i = 1; i <= phases; i++) {
            ka = "minimal" SUBSEP name[i]; kb = "panel" SUBSEP name[i]
            ma = median(t, ka); mb = median(t, kb); sa = median(r, ka); sb = median(r, kb)
            da = (ma < 0) ? 0 : ma - ta; db = (mb < 0) ? 0 : mb - tb
            ga = (sa < 0) ? 0 : sa - ra; gb = (sb < 0) ? 0 : sb - rb
            label = (i == 1) ? "spawn -> main" : name[i]
            if (sb < 0) printf "%-22s %9.2f %9.2f %+9.2f\n", label, da, db, db - da
            else printf "%-22s %9.2f %9.2f %+9.2f   %11d %11d %+11d\n", label, da, db, db - da, ga, gb, gb - ga
            if (ma >= 0) ta = ma
            if (mb >= 0) tb = mb
            if (sa >= 0) ra = sa
            if (sb >= 0) rb = sb
        }
        printf "%-22s %9.2f %9.2f %+9.2f\n", "total", ta, tb, tb - ta
    }' "$tmp/marks" "$tmp/marks"
