#!/usr/bin/env bash
# Every program the build makes answers --help (and -h) with its usage on standard output and exit 0,
# and refuses an unknown option with one line on the error output and exit 2. Neither writes a file:
# each runs in an empty folder that must stay empty (an option taken for a path would show there).
#   tools_help.sh TOOL...
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "tools_help: $*"; failures=$((failures + 1)); }

for tool in "$@"; do
    tool=$(realpath "$tool")  # each runs in the empty folder
    name=$(basename "$tool")
    for how in --help -h; do
        (cd "$work" && "$tool" "$how" >"$work.out" 2>"$work.err")
        code=$?
        [ "$code" -eq 0 ] || fail "$name $how exits $code, not 0"
        head -n 1 "$work.out" | grep -q "^usage: $name\\b" || fail "$name $how prints no usage: $(head -c 300 "$work.out")"
        [ -s "$work.err" ] && fail "$name $how writes to the error output: $(head -c 300 "$work.err")"
        [ -z "$(ls -A "$work")" ] || fail "$name $how made $(ls -A "$work")"
        rm -rf "${work:?}"/* "$work"/.[!.]* 2>/dev/null
    done
    for bad in --no-such-option -q "--no-such-option --help-me"; do
        # shellcheck disable=SC2086
        (cd "$work" && "$tool" $bad >"$work.out" 2>"$work.err")
        code=$?
        [ "$code" -eq 2 ] || fail "$name $bad exits $code, not 2"
        [ "$(grep -c . "$work.err")" -eq 1 ] && grep -q "^$name: .*${bad%% *}" "$work.err" ||
            fail "$name $bad: wants one line naming the option, got: $(head -c 300 "$work.err")"
        [ -s "$work.out" ] && fail "$name $bad writes to the standard output: $(head -c 300 "$work.out")"
        [ -z "$(ls -A "$work")" ] || fail "$name $bad made $(ls -A "$work")"
        rm -rf "${work:?}"/* "$work"/.[!.]* 2>/dev/null
    done
done
rm -f "$work.out" "$work.err"
[ "$failures" -eq 0 ] || exit 1
echo "tools_help: ok ($# tools)"
