#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: install_prefix_test.sh BUILD_DIR EXAMPLE_DIR
# Installs the build into a temporary prefix: exactly the programs and their documentation land there, and
# the installed programs, run from outside the source tree, compile the example and read the book back.
set -euo pipefail
source "$(dirname "$0")/test_lib.sh"
build_dir=$1
example=$2
require cmake

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install failed"; }

expected="bin/kovadump
bin/quillpress
share/bash-completion/completions/kovadump
share/bash-completion/completions/quillpress
share/doc/quillpress/README.md
share/doc/quillpress/changelog.gz
share/doc/quillpress/copyright
share/man/man1/kovadump.1.gz
share/man/man1/quillpress.1.gz"
installed=$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
[ "$installed" = "$expected" ] || fail "installed files:
$installed
expected:
$expected"

cp -r "$example" "$work/book"
cd "$work"
"$prefix/bin/quillpress" book/lighthouse.opf >compile.log || { cat compile.log; fail "the installed quillpress did not build the example"; }
"$prefix/bin/kovadump" book/lighthouse.kova >dump.log || { cat dump.log; fail "the installed kovadump finds the book unsound"; }
grep -q "The Lighthouse Keeper's Log" dump.log || fail "the book read back has not the example's title"
