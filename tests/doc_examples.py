#!/usr/bin/env python3
"""Runs the shell examples of README.md and docs/*.md, so that none can rot.

    doc_examples.py SOURCE_DIR DOTLANE_CLI

A ```sh block's commands must each exit 0. In a ```console block each `$ ` line is a command
and the lines under it are what it prints, standard error included; a line `...` stands for
any lines, and trailing blanks are ignored, as a reader cannot see them. A block after an
HTML comment `<!-- not run: reason -->` is left out. Each document runs in a folder of its
own holding a copy of samples/, its blocks in order, so a later block may read what an
earlier one wrote. Links to files beside the documents must lead somewhere, so a moved
picture shows up here too.
"""
import difflib
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

FENCE = re.compile(r"^(\s*)```(\w*)\s*$")
LINK = re.compile(r"\]\(([^)#\s]+)(?:#[^)]*)?\)")


def blocks(lines):
    """(kind, [(line number, text)]) of every block to run."""
    skip, i = False, 0
    while i < len(lines):
        if lines[i].lstrip().startswith("<!-- not run:"):
            skip = True
        fence = FENCE.match(lines[i])
        if not fence:
            i += 1
            continue
        indent, kind = fence.groups()
        end = i + 1
        while end < len(lines) and not re.match(r"^\s*```\s*$", lines[end]):
            end += 1
        body = [(n + 1, lines[n][len(indent):]) for n in range(i + 1, end)]
        if kind in ("sh", "console") and not skip:
            yield kind, body
        skip, i = False, end + 1


def commands(kind, body):
    """(line number, command, expected output or None), continuation lines joined."""
    out, pending = [], None
    for number, text in body:
        if pending is not None:
            pending[1] += "\n" + text
            if not text.endswith("\\"):
                pending = None
            continue
        if kind == "console" and not text.startswith("$ "):
            if out:
                out[-1][2].append(text)
            continue
        command = text[2:] if kind == "console" else text
        if not command.strip() or command.lstrip().startswith("#"):
            continue
        out.append([number, command, [] if kind == "console" else None])
        if command.endswith("\\"):
            pending = out[-1]
    return out


def matches(expected, actual):
    pattern = "".join("(?:.*\n)*?" if line == "..." else re.escape(line) + "\n" for line in expected)
    return re.fullmatch(pattern, actual) is not None


def tidy(text):
    return "".join(line.rstrip() + "\n" for line in text.rstrip("\n").split("\n")) if text else ""


def run_document(path, source, env):
    name = os.path.relpath(path, source)
    lines = open(path, encoding="utf-8").read().split("\n")
    failures, count = [], 0
    for number, line in enumerate(lines, 1):
        for target in LINK.findall(line):
            if "://" not in target and not os.path.exists(os.path.join(os.path.dirname(path), target)):
                failures.append(f"{name}:{number}: the link {target} leads nowhere")
    with tempfile.TemporaryDirectory() as folder:
        shutil.copytree(os.path.join(source, "samples"), os.path.join(folder, "samples"))
        status = 0
        for kind, body in blocks(lines):
            for number, command, expected in commands(kind, body):
                count += 1
                try:
                    # `(exit N)` hands the last status on, so `echo $?` shows it.
                    run = subprocess.run(["bash", "-c", f"(exit {status}); {command}"], cwd=folder,
                                         env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                         stderr=subprocess.STDOUT, timeout=120)
                except subprocess.TimeoutExpired:
                    failures.append(f"{name}:{number}: took over 120 s: {command}")
                    return failures, count
                status, output = run.returncode, run.stdout.decode("utf-8", "replace")
                if expected is None and status != 0:
                    failures.append(f"{name}:{number}: exit {status}: {command}\n{output}")
                    return failures, count
                shown = tidy("\n".join(expected or [])).splitlines()
                if expected is not None and not matches(shown, tidy(output)):
                    diff = difflib.unified_diff(expected, output.splitlines(), "shown", "printed", lineterm="")
                    failures.append(f"{name}:{number}: prints other than shown: {command}\n" + "\n".join(diff))
    return failures, count


def main():
    source, cli = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    path = os.path.dirname(cli) + os.pathsep + os.environ.get("PATH", "")
    env = dict(os.environ, PATH=path, LC_ALL="C.UTF-8")
    documents = [os.path.join(source, "README.md")]
    documents += sorted(glob.glob(os.path.join(source, "docs", "*.md")))
    failures, total = [], 0
    for path in documents:
        found, count = run_document(path, source, env)
        failures += found
        total += count
    for failure in failures:
        print(failure, file=sys.stderr)
    print(f"doc examples: {total} commands in {len(documents)} documents, {len(failures)} failing")
    return 1 if failures or total == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
