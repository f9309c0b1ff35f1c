#!/usr/bin/env bash
# Installs what is missing, builds Tavlin and runs every test. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

tavlin_install_packages

echo "== includes"
tavlin_run python3 scripts/check-includes.py

echo "== format (.clang-format)"
check_format() {
  find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror
}
tavlin_run check_format

tavlin_build

echo "== translations"
tavlin_run python3 scripts/update-translations.py --check

echo "== tests"
tavlin_run ctest --test-dir build --output-on-failure --no-tests=error -j "$(nproc)"

echo "== screenshots (build/screenshots)"
QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 TZ=UTC tavlin_run build/tests/screenshots/tavlin_screenshots >/dev/null
