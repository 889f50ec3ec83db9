#!/usr/bin/env python3
"""Fails when a number with a fraction is formatted by hand instead of through the
locale-independent formatter (src/platform/common/CLocaleFormat.*).

Under a comma-decimal locale the C library's %f and its kin write "0,709": a figures file
then splits its columns and a log line reads wrong. So a floating-point conversion
(%f %F %e %E %g %G %a %A with any flags, width or precision) in a call of the printf
family or of QString::asprintf, and QString::number or .arg with a 'f', 'e' or 'g'
format, are refused everywhere but in the formatter itself. Calls that go through it
(CLocaleSnprintf, CLocaleFprintf, DbgOutputA, ...) are fine.

    tools/check-number-formats.py [FILE-OR-FOLDER...]   (default: src tools)
"""
import os
import re
import sys

ALLOWED = {os.path.join("src", "platform", "common", "CLocaleFormat.h"),
           os.path.join("src", "platform", "common", "CLocaleFormat.cpp")}
PRINTF_CALL = re.compile(
    r"(?<![\w:])(?:std::|::)?(?:v?f?printf|v?s?n?printf|dprintf|vdprintf)\s*\(|QString::v?asprintf\s*\(")
QT_CALL = re.compile(r"QString::number\s*\(|\.arg\s*\(")
FLOAT_CONVERSION = re.compile(r"%[-+ #0']*(?:\d+|\*)?(?:\.(?:\d*|\*))?(?:hh|h|ll|l|L|q|j|z|t)?[fFeEgGaA]")
FLOAT_CHAR = re.compile(r"'[fFeEgG]'")


def strip_comments(text):
    """The text with comments blanked (line breaks kept), strings and characters left."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(text[i:j + 1])
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def call_arguments(text, start):
    """The text from start (just past a call's "(") to its matching ")"."""
    depth, i, n = 1, start, len(text)
    while i < n and depth > 0:
        c = text[i]
        if c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            i = j + 1
            continue
        depth += c == "("
        depth -= c == ")"
        i += 1
    return text[start:i - 1]


def string_literals(text):
    return [m.group(1) for m in re.finditer(r'"((?:[^"\\\n]|\\.)*)"', text)]


def findings(path, shown):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            text = strip_comments(f.read())
    except OSError as error:
        return ["%s: cannot be read: %s" % (shown, error)]
    found = []
    for call in PRINTF_CALL.finditer(text):
        args = call_arguments(text, call.end())
        if any(FLOAT_CONVERSION.search(s.replace("%%", "")) for s in string_literals(args)):
            found.append((call.start(), "floating-point printf format"))
    for call in QT_CALL.finditer(text):
        args = call_arguments(text, call.end())
        if FLOAT_CHAR.search(args):
            found.append((call.start(), "Qt number format"))
    # A call nested in another (a number inside .arg) is told once, at its line.
    lines = sorted({(text.count("\n", 0, at) + 1, what) for at, what in found})
    return ["%s:%d: %s outside CLocaleFormat (use CLocaleFixed, CLocaleSnprintf or CLocaleFprintf)"
            % (shown, line, what) for line, what in lines]


def sources(targets):
    for target in targets:
        if os.path.isfile(target):
            yield target
            continue
        for folder, _, names in os.walk(target):
            for name in sorted(names):
                if name.endswith((".cpp", ".h", ".cc", ".hpp")):
                    yield os.path.join(folder, name)


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    targets = argv[1:] or [os.path.join(root, "src"), os.path.join(root, "tools")]
    problems = []
    for path in sources(targets):
        shown = os.path.relpath(path, root)
        if shown in ALLOWED:
            continue
        problems += findings(path, shown)
    for problem in problems:
        print(problem)
    if problems:
        print("check-number-formats: %d finding(s)" % len(problems), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
