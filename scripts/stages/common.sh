# SPDX-License-Identifier: GPL-2.0-or-later
# Sourced by every stage of scripts/test: the top of the repository as the working folder, the
# job count, and configure(), which runs CMake with Ninja and, where ccache is installed, with it
# as the compiler launcher. CCACHE_BASEDIR makes cached objects shareable between checkouts.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

jobs=$(nproc)
export CCACHE_BASEDIR="$PWD"

configure() {
    local launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -G Ninja "${launcher[@]}" "$@"
}
