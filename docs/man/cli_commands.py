#!/usr/bin/env python3
"""Writes the COMMANDS section of sollumen-cli's manual page for help2man:
every command the program lists in its --help, with the text of its own
`sollumen-cli COMMAND --help`, so that the page follows the program."""
import os
import subprocess
import sys


def roff_line(line):
    line = line.replace("\\", "\\e")
    # A line that starts with a dot or an apostrophe would be a request.
    if line.startswith((".", "'")):
        line = "\\&" + line
    return line


def main():
    cli, out_path = sys.argv[1], sys.argv[2]
    overview = subprocess.run([cli, "--help"], check=True, capture_output=True,
                              text=True).stdout
    lines = overview.splitlines()
    start = lines.index("commands:") + 1
    names = [l.split()[0] for l in lines[start:] if l.startswith("  ") and l.strip()]
    if not names:
        sys.exit("no commands listed by " + cli + " --help")
    parts = ["[COMMANDS]"]
    for name in names:
        text = subprocess.run([cli, name, "--help"], check=True, capture_output=True,
                              text=True).stdout
        parts.append(".SS " + name)
        parts.append(".nf")
        parts.extend(roff_line(l) for l in text.rstrip("\n").splitlines())
        parts.append(".fi")
    with open(out_path + ".part", "w", encoding="utf-8") as f:
        f.write("\n".join(parts) + "\n")
    os.replace(out_path + ".part", out_path)


if __name__ == "__main__":
    main()
