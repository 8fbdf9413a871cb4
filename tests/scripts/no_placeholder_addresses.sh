#!/usr/bin/env bash
# No file of the source tree names an address on the reserved placeholder
# domain: every address the program, its pages or its package give leads
# somewhere.
set -euo pipefail
cd "$(dirname "$0")/../.."

# The pattern is split so that this file does not name what it looks for.
pattern='\.exam''ple\b'
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  found=$(git ls-files -z | xargs -0 grep -I -l -E "$pattern" -- || true)
else
  found=$(grep -r -I -l -E "$pattern" --exclude-dir='build*' --exclude-dir=.git . || true)
fi
if [[ -n "$found" ]]; then
  echo "placeholder addresses in:"
  echo "$found"
  grep -n -I -E "$pattern" $found
  exit 1
fi
