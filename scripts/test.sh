#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --workflow --preset sanitize   # core and program under AddressSanitizer and UBSan
cmake --workflow --preset linux      # Qt back end, build/linux/velmora, valgrind run
cmake --workflow --preset windows    # Win32 back end, build/windows/velmora.exe, tests under Wine
