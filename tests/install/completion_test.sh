#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: completion_test.sh options|files SOURCE_DIR
# Calls the completion functions as bash does on Tab, with the words typed so far.
#   options: the first three letters of each option of either program complete to a list holding it.
#   files:   sources are offered by their extensions, case-blind, and directories; other files are not.
set -euo pipefail
source "$(dirname "$0")/test_lib.sh"
mode=$1
source_dir=$2
source "$source_dir/doc/bash-completion/quillpress"

# complete_words WORD...: sets COMPREPLY for the last word, as Tab does on the command line WORD...
complete_words() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    "_$1"
}

# offered WORD: whether COMPREPLY holds WORD.
offered() {
    local word
    for word in "${COMPREPLY[@]}"; do
        [ "$word" = "$1" ] && return 0
    done
    return 1
}

case $mode in
    options)
        for option in $(quillpress_options "$source_dir"); do
            complete_words quillpress book.opf "${option:0:3}"
            offered "$option" || fail "quillpress ${option:0:3}<Tab> offers ${COMPREPLY[*]:-nothing}, not $option"
        done
        for option in $(kovadump_options "$source_dir"); do
            complete_words kovadump book.kova "${option:0:3}"
            offered "$option" || fail "kovadump ${option:0:3}<Tab> offers ${COMPREPLY[*]:-nothing}, not $option"
        done
        complete_words quillpress -verb
        [ "${COMPREPLY[*]}" = "-verbose" ] || fail "quillpress -verb<Tab> offers ${COMPREPLY[*]:-nothing}"
        ;;
    files)
        work=$(mktemp -d)
        trap 'rm -rf "$work"' EXIT
        cd "$work"
        mkdir "my books"
        touch book.opf page.htm Page.HTML novel.epub style.css notes.txt book.kova cover.png
        expect() {
            local expected=$1 actual
            shift
            complete_words "$@"
            actual=$(for word in "${COMPREPLY[@]}"; do echo "$word"; done | LC_ALL=C sort | paste -sd '|')
            [ "$actual" = "$expected" ] || fail "$* <Tab> offers '$actual', expected '$expected'"
        }
        expect "Page.HTML|book.opf|my books|novel.epub|page.htm|style.css" quillpress ""
        expect "book.kova|my books" kovadump ""
        expect "my books" kovadump book.kova --extract ""
        expect "my books" kovadump book.kova --html ""
        expect "" quillpress -o ""
        ;;
    *) fail "unknown mode $mode" ;;
esac
