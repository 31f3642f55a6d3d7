#!/usr/bin/env bash
# Prints the value of a variable in a build folder's CMake cache (empty when it is not there).
#   tools/cmake-cache-value.sh BUILD_DIR NAME
set -euo pipefail
sed -n "s/^${2:?name}:[A-Z]*=//p" "${1:?build folder}/CMakeCache.txt"
