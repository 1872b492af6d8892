#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: licence_test.sh SOURCE_DIR
# Every source file of the project names its licence in an SPDX-License-Identifier line near its top.
set -euo pipefail
source "$(dirname "$0")/test_lib.sh"
cd "$1"
missing=$(
    {
        find src tools tests bench fuzz reference cmake scripts .ci -type f \
            \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.js' -o -name '*.css' -o -name '*.py' \
            -o -name '*.sh' -o -name '*.cmake' -o -name CMakeLists.txt -o -path 'scripts/*' -o -path '.ci/*' \) \
            -not -path 'tests/data/*' -not -path 'fuzz/corpus/*' -not -name '*.pyc'
        echo CMakeLists.txt
        echo Makefile
        find doc/man doc/bash-completion -type f
    } | LC_ALL=C sort | while read -r file; do
        head -n 3 "$file" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later' || echo "$file"
    done
)
[ -z "$missing" ] || fail "no SPDX-License-Identifier line in:
$missing"
