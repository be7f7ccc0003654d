#!/usr/bin/env bash
# Lints manual pages: any message of `mandoc -T lint` (style ones included) or of
# `man --warnings` fails, and every page must have the sections a user looks for.
#   lint_man_pages.sh PAGE...
set -uo pipefail
if ! command -v mandoc >/dev/null; then
    echo "mandoc is not installed (scripts/setup.sh installs it)"
    exit 1
fi
sections=(NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES ENVIRONMENT EXAMPLES "SEE ALSO")
failed=0
for page in "$@"; do
    messages=$(mandoc -T lint "$page" 2>&1)
    if [ -n "$messages" ]; then
        echo "$messages"
        failed=1
    fi
    # man (groff) warns of what mandoc lets pass, e.g. a line it cannot break.
    messages=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    if [ -n "$messages" ]; then
        echo "$page: $messages"
        failed=1
    fi
    for section in "${sections[@]}"; do
        if ! grep -qx "\.SH \"\?$section\"\?" "$page"; then
            echo "$page: no $section section"
            failed=1
        fi
    done
done
((failed == 0)) && echo "$# manual pages lint-clean"
exit $failed
