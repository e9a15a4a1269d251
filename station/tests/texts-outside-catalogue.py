#!/usr/bin/env python3
# Fails when a string or character literal with Russian text appears in the station's product
# sources outside its catalogue of operator texts, naming the file and line of each. Comments may
# hold Russian: they quote the texts they explain.
#
#   texts-outside-catalogue.py <source root>   checks station/ under the root
#   texts-outside-catalogue.py --self-test     checks the reading of C++ on small fixtures
#
# GPL-3.0-or-later
import os
import re
import sys

CATALOGUE = {"station/OperatorTexts.h", "station/OperatorTexts.cpp"}
CYRILLIC = re.compile("[\u0400-\u04ff]")
STRING_PREFIXES = {"L", "u", "U", "u8"}


def literals(source):
    """(line, text) of every string and character literal in C++ source, comments skipped."""
    found = []
    i, line, n = 0, 1, len(source)

    def skip_to(end):
        nonlocal i, line
        line += source.count("\n", i, end)
        i = end

    while i < n:
        c = source[i]
        if source.startswith("//", i):
            end = i
            # A comment line ending in a backslash goes on to the next line.
            while True:
                end = source.find("\n", end)
                if end < 0:
                    end = n
                    break
                if source[end - 1] != "\\":
                    break
                end += 1
            skip_to(end)
        elif source.startswith("/*", i):
            end = source.find("*/", i + 2)
            skip_to(n if end < 0 else end + 2)
        elif c.isdigit() or (c == "." and i + 1 < n and source[i + 1].isdigit()):
            # A number, with its digit separators (1'000'000) that are no character literals.
            match = re.compile(r"[0-9A-Za-z_.']*(?:[eEpP][+-][0-9A-Za-z_.']*)*").match(source, i)
            skip_to(match.end())
        elif c.isalpha() or c == "_":
            match = re.compile(r"[A-Za-z0-9_]+").match(source, i)
            word = match.group()
            rest = match.end()
            if word.endswith("R") and word[:-1] in STRING_PREFIXES | {""} and \
                    source.startswith('"', rest):
                delimiter = re.compile(r'"([^()\\\s]{0,16})\(').match(source, rest)
                close = source.find(")" + delimiter.group(1) + '"', delimiter.end())
                end = n if close < 0 else close + len(delimiter.group(1)) + 2
                found.append((line, source[i:end]))
                skip_to(end)
            elif word in STRING_PREFIXES and rest < n and source[rest] in "\"'":
                i = rest
                found.append(quoted(source, i, line))
                skip_to(quoted_end(source, i))
            else:
                skip_to(rest)
        elif c in "\"'":
            found.append(quoted(source, i, line))
            skip_to(quoted_end(source, i))
        else:
            if c == "\n":
                line += 1
            i += 1
    return found


def quoted_end(source, start):
    quote, i = source[start], start + 1
    while i < len(source) and source[i] != quote and source[i] != "\n":
        i += 2 if source[i] == "\\" else 1
    return min(i + 1, len(source))


def quoted(source, start, line):
    return line, source[start:quoted_end(source, start)]


def russian_literals(source):
    return [(line, text) for line, text in literals(source) if CYRILLIC.search(text)]


def check(root):
    faults = []
    for folder, subfolders, files in os.walk(os.path.join(root, "station")):
        subfolders[:] = sorted(d for d in subfolders if d != "tests")
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, root)
            if relative in CATALOGUE:
                continue
            with open(path, encoding="utf-8") as file:
                for line, text in russian_literals(file.read()):
                    faults.append(f"{relative}:{line}: Russian text outside station/OperatorTexts.h: "
                                  f"{text}")
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} Russian literal(s) outside the catalogue of operator texts; "
              "move them to station/OperatorTexts.h")
    return 1 if faults else 0


def self_test():
    cases = [
        # (source, lines of the Russian literals expected)
        ('// "Ошибка"\nint a;\n/* "Ошибка"\n */ f("x");\n', []),
        ('f("x");\nf("Ошибка");\n', [2]),
        ('f(u8"Ошибка", L"да");\n', [1, 1]),
        ("int big = 1'000'000; f(\"Ошибка\");\n", [1]),
        ("char c = 'a'; const char* s = \"\\\"Ошибка\\\"\";\n", [1]),
        ('f(R"(\n"Ошибка"\n)");\nf(R"x(a)"b)x");\n', [1]),
        ('f(R"(a)"); // "Ошибка"\nf("Ошибка");\n', [2]),
        ('// a comment \\\n  that goes on "Ошибка"\nint a;\n', []),
        ('QStringLiteral("Начать запись");\n', [1]),
        ("#include \"station/OperatorTexts.h\"\nf(Text);\n", []),
    ]
    failed = 0
    for source, expected in cases:
        seen = [line for line, _ in russian_literals(source)]
        if seen != expected:
            failed += 1
            print(f"FAILED: {source!r}: expected Russian literals on lines {expected}, found {seen}")
    return 1 if failed else 0


if __name__ == "__main__":
    if sys.argv[1:] == ["--self-test"]:
        sys.exit(self_test())
    if len(sys.argv) != 2:
        sys.exit("usage: texts-outside-catalogue.py <source root> | --self-test")
    sys.exit(check(sys.argv[1]))
