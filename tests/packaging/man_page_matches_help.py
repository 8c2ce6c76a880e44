#!/usr/bin/env python3
"""A manual page's OPTIONS section says what the program's --help says: the same options in the same
order, each with the same argument and the same words (the page may set them in bold and italics).
When --help lists keys (under a line "Keys while it plays:"), the page's KEYS section lists the
same keys with the same words.

    man_page_matches_help.py PROGRAM PAGE.in
"""
import re
import shlex
import subprocess
import sys


def help_text(program):
    return subprocess.run([program, "--help"], check=True, capture_output=True, text=True).stdout


def help_keys(program):
    lines = help_text(program).splitlines()
    if "Keys while it plays:" not in lines:
        return []
    keys = []
    for line in lines[lines.index("Keys while it plays:") + 1:]:
        if not line.startswith("  "):
            break
        parts = re.split(r"\s{2,}", line.strip(), maxsplit=1)
        keys.append((parts[0], " ".join(parts[1].split()) if len(parts) > 1 else ""))
    return keys


def help_options(program):
    text = help_text(program)
    options = []
    in_keys = False
    for line in text.splitlines():
        in_keys = in_keys or line == "Keys while it plays:"
        if in_keys:
            continue
        if re.match(r"^  -", line):
            parts = re.split(r"\s{2,}", line.strip(), maxsplit=1)
            options.append([parts[0], parts[1] if len(parts) > 1 else ""])
        elif options and re.match(r"^\s{4,}\S", line):
            options[-1][1] += " " + line.strip()
    return [(tag, " ".join(words.split())) for tag, words in options]


def plain(roff):
    """The text one roff line prints: font macros (.BI and the like join their arguments without a
    space, .B and .I with one) and font escapes gone, \\- as -."""
    m = re.match(r"^\.(B|I|BI|IB|BR|RB|IR|RI)\s+(.*)$", roff)
    if m:
        lexer = shlex.shlex(m.group(2), posix=True)
        lexer.whitespace_split, lexer.escape = True, ""
        roff = ("" if len(m.group(1)) == 2 else " ").join(lexer)
    return re.sub(r"\\f[BIRP]", "", roff).replace("\\-", "-").replace("\\(mu", "x").replace("\\~", " ")


def page_options(page, section=".SH OPTIONS"):
    lines = open(page, encoding="utf-8").read().splitlines()
    if section not in lines:
        return []
    start = lines.index(section) + 1
    options, i = [], start
    while i < len(lines) and not lines[i].startswith(".SH"):
        if lines[i] == ".TP":
            tag = " ".join(plain(lines[i + 1]).split())
            words, i = [], i + 2
            while i < len(lines) and not lines[i].startswith("."):
                words.append(plain(lines[i]))
                i += 1
            options.append((tag, " ".join(" ".join(words).split())))
        else:
            i += 1
    return options


def main():
    program, page = sys.argv[1], sys.argv[2]
    from_help, from_page = help_options(program), page_options(page)
    if not from_help:
        print(f"{program} --help lists no options")
        return 1
    failed = False
    for n in range(max(len(from_help), len(from_page))):
        h = from_help[n] if n < len(from_help) else ("(nothing)", "")
        p = from_page[n] if n < len(from_page) else ("(nothing)", "")
        if h != p:
            print(f"option {n + 1}: --help says {h!r}\n          {page} says {p!r}")
            failed = True
    keys_help, keys_page = help_keys(program), page_options(page, ".SH KEYS")
    for n in range(max(len(keys_help), len(keys_page))):
        h = keys_help[n] if n < len(keys_help) else ("(nothing)", "")
        p = keys_page[n] if n < len(keys_page) else ("(nothing)", "")
        if h != p:
            print(f"key {n + 1}: --help says {h!r}\n       {page} says {p!r}")
            failed = True
    usage = subprocess.run([program, "--help"], check=True, capture_output=True, text=True).stdout.splitlines()[0]
    synopsis_flags = re.findall(r"--[a-z-]+", open(page, encoding="utf-8").read().split(".SH SYNOPSIS")[1].split(".SH")[0].replace("\\-", "-"))
    usage_flags = re.findall(r"--[a-z-]+", usage)
    if sorted(set(synopsis_flags)) != sorted(set(usage_flags)):
        print(f"the synopsis names {sorted(set(synopsis_flags))}, the usage line {sorted(set(usage_flags))}")
        failed = True
    print(f"{page}: {len(from_page)} options, {len(keys_page)} keys, {'not ' if failed else ''}in step with {program} --help")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
