#!/usr/bin/env bash
# Line and branch coverage of the whole test suite, per library: builds with
# --coverage in build/coverage, runs every test through CTest and prints one
# row per engine library, the platform, each game area, the host and the tools.
# Not part of ./test.sh; run it before and after changing the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v gcovr >/dev/null; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends gcovr
fi

jobs=${JOBS:-$(nproc)}
dir=build/coverage
flags="--coverage -O0 -g"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOVRANE_BENCH=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage \
  -DCMAKE_MODULE_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$dir" -j"$jobs"

# Counts from an earlier run would add to this one, and the notes of sources
# that are gone would be read as if they were still built.
find "$dir" -name '*.gcda' -delete
ninja -C "$dir" -t cleandead >/dev/null
find "$dir" -name '*.gcno' | while read -r notes; do
  [ -e "${notes%.gcno}.o" ] || rm -f "$notes"
done
ctest --test-dir "$dir" -j"$jobs" --timeout 600 >"$dir/ctest.log" 2>&1 || {
  grep -E 'Failed|\*\*\*' "$dir/ctest.log" | tail -20
  echo "Some tests failed; the coverage below is of a failing run"
}
tail -3 "$dir/ctest.log"

gcovr -r . "$dir" -j"$jobs" --exclude-throw-branches --exclude-unreachable-branches \
  --filter 'Libs/' --filter 'Platform/' --filter 'project/' --filter 'Include/' \
  --filter 'Host/' --filter 'tools/' \
  --json-summary "$dir/summary.json" >/dev/null

python3 - "$dir/summary.json" <<'EOF'
import json, sys
from collections import OrderedDict

def library(path):
    parts = path.split('/')
    if parts[0] == 'Libs':
        return parts[1]
    if parts[0] == 'project' and parts[1] == 'Src' and len(parts) > 3:
        return 'Game/' + parts[2]
    if parts[0] == 'project' and parts[1] == 'Include' and len(parts) > 4:
        return 'Game/' + parts[3]
    if parts[0] == 'project':
        return 'Game/Module'
    if parts[0] == 'Include':
        return 'Engine headers'
    return parts[0]  # Platform, Host, tools

rows = OrderedDict()
for f in json.load(open(sys.argv[1]))['files']:
    row = rows.setdefault(library(f['filename']), [0, 0, 0, 0])
    row[0] += f['line_covered']; row[1] += f['line_total']
    row[2] += f['branch_covered']; row[3] += f['branch_total']

def percent(a, b):
    return '%6.1f%%' % (100.0 * a / b) if b else '    -  '

print('%-22s %16s %18s' % ('library', 'lines', 'branches'))
total = [0, 0, 0, 0]
for name in sorted(rows):
    r = rows[name]
    total = [t + v for t, v in zip(total, r)]
    print('%-22s %s %7d %s %8d' % (name, percent(r[0], r[1]), r[1], percent(r[2], r[3]), r[3]))
print('%-22s %s %7d %s %8d' % ('all', percent(total[0], total[1]), total[1], percent(total[2], total[3]), total[3]))
EOF
