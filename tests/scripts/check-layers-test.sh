#!/usr/bin/env bash
# The layer check against a small tree of its own: an include that its row
# allows passes, one that goes up a layer fails and is named with its line.
set -euo pipefail
check="$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-layers"
tree=$(mktemp -d); trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/platform" "$tree/engine"
cat >"$tree/README.md" <<'MD'
## Architecture
| Folder | What it holds | Depends on |
|---|---|---|
| `platform/` | the floor | - |
| `engine/` | above it | `platform/` |
## Building
MD
printf '#pragma once\n' >"$tree/platform/Clock.h"
printf '#pragma once\n#include "platform/Clock.h"\n#include <vector>\n' >"$tree/engine/Poll.h"
git -C "$tree" init -q
out=$("$check" "$tree") || { echo "FAIL: a tree that keeps its order was refused: $out"; exit 1; }
printf '#pragma once\n\n#include "engine/Poll.h"\n' >"$tree/platform/Bad.h"
if out=$("$check" "$tree"); then echo "FAIL: an include up a layer passed: $out"; exit 1; fi
grep -q '^platform/Bad.h:3: platform/ includes "engine/Poll.h" of engine/' <<<"$out" ||
  { echo "FAIL: the fault was not named by file and line: $out"; exit 1; }
echo "layer check: a kept order passes, an include up a layer fails with its file and line"
