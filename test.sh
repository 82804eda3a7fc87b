#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
# Exits with ctest's status. Extra arguments go to ctest (e.g. ./test.sh -L lookup).
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"

dialvane_install_packages
dialvane_build
cd "$DIALVANE_BUILD"
# The environment of each test (offscreen windows, private data folders, browser flags) is set
# per test in CMake.
exec ctest --output-on-failure -j2 --timeout 900 "$@"
