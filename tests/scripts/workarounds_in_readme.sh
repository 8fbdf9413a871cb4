#!/usr/bin/env bash
# Every workaround the program knows has its row in the README's table, and
# every row names one it knows.
set -euo pipefail
convert="$1"
readme="$(dirname "$0")/../../README.md"
known=$(QT_QPA_PLATFORM=offscreen "$convert" --list-workarounds | awk '{print $1}' | sort)
listed=$(sed -n '/^### Workarounds/,/^## /p' "$readme" | grep -oE '^\| `[a-z0-9-]+`' | tr -d '|` ' | sort)
if [[ "$known" != "$listed" ]]; then
  diff <(echo "$known") <(echo "$listed") || true
  echo "the README's table of workarounds and the registry differ (< registry, > README)"
  exit 1
fi
