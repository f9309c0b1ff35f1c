#!/usr/bin/env bash
# Installs what is missing, builds Tavlin and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

tavlin_install_packages
tavlin_build

if [ -x build/src/app/tavlin ]; then
  exec build/src/app/tavlin "$@"
fi
echo "Tavlin's history store is built (build/), but the application itself is not part of this build yet: there is nothing to start."
