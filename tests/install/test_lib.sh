# SPDX-License-Identifier: GPL-3.0-or-later
# Helpers of the install tests, sourced by each script.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# require TOOL...: fails, naming them, when tools the test needs are missing (scripts/install-deps has them).
require() {
    local tool missing=()
    for tool; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    [ ${#missing[@]} -eq 0 ] || fail "missing tools: ${missing[*]} (scripts/install-deps installs them)"
}

# quillpress_options SOURCE_DIR: every option of quillpress, read from its option table.
quillpress_options() {
    local options
    options=$(grep -oE '^ *\{"-[A-Za-z0-9_]+", Option::' "$1/src/cli/command_line.cpp" | grep -oE -- '-[A-Za-z0-9_]+')
    [ -n "$options" ] || fail "no option found in the option table of src/cli/command_line.cpp"
    echo "$options"
}

# kovadump_options SOURCE_DIR: every option of kovadump, read from its argument loop.
kovadump_options() {
    local options
    options=$(grep -oE 'arg == "--[a-z]+"' "$1/tools/kovadump/kovadump_main.cpp" | grep -oE -- '--[a-z]+' | sort -u)
    [ -n "$options" ] || fail "no option found in the argument loop of tools/kovadump/kovadump_main.cpp"
    echo "$options"
}
