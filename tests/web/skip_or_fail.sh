#!/usr/bin/env bash
# What a page test does when a tool or an artefact it needs is missing, as page_tests.js does: says
# what is missing and skips (exit 77), or fails when VELOR_WEB_REQUIRED=1 asks for every page test
# to run. Sourced for skip_or_fail; run directly, it reports its arguments that way.
#   skip_or_fail.sh WHAT IS MISSING...
skip_or_fail() {
    echo "web: $*"
    [ "${VELOR_WEB_REQUIRED:-}" = 1 ] && exit 1
    exit 77
}
[ "${BASH_SOURCE[0]}" = "$0" ] && skip_or_fail "$@"
return 0 2>/dev/null || true
