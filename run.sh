#!/usr/bin/env bash
# Installs what is missing, builds the application alone (tests and benchmarks are ./test.sh's) and
# starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

tavlin_install_packages
tavlin_build tavlin

if [ -x build/src/app/tavlin ]; then
  exec build/src/app/tavlin "$@"
fi
echo "The build has no application to start (build/src/app/tavlin is missing)." >&2; exit 1
