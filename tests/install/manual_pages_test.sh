#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: manual_pages_test.sh lint|options SOURCE_DIR
#   lint:    both manual pages are clean for mandoc's linter and for groff, which man(1) formats them with.
#   options: each page describes every option its program accepts.
set -euo pipefail
source "$(dirname "$0")/test_lib.sh"
mode=$1
source_dir=$2
pages=("$source_dir/doc/man/quillpress.1" "$source_dir/doc/man/kovadump.1")

case $mode in
    lint)
        require mandoc groff
        mandoc -T lint -W style "${pages[@]}" || fail "mandoc -T lint reports the messages above"
        for page in "${pages[@]}"; do
            warnings=$(groff -man -w all -z "$page" 2>&1)
            [ -z "$warnings" ] || fail "groff warns on $page: $warnings"
        done
        ;;
    options)
        # In a page's source a dash of an option is written \- ; an option ends where its name does.
        check() {
            local page=$1 option pattern
            shift
            for option; do
                pattern=$(printf '%s' "$option" | sed 's/-/\\\\-/g')
                grep -qE -- "${pattern}([^A-Za-z0-9_]|$)" "$page" || fail "$(basename "$page") does not describe $option"
            done
        }
        check "${pages[0]}" $(quillpress_options "$source_dir")
        check "${pages[1]}" $(kovadump_options "$source_dir")
        ;;
    *) fail "unknown mode $mode" ;;
esac
