"""Runs every example of the README and the manual pages through the built
programs and compares what they print, byte for byte:
- shell sessions: README blocks marked console, and the pages' .EX blocks; a
  line "$ command" runs the command (with the programs on PATH, in a scratch
  folder holding the sample reports), and the lines up to the next command are
  its whole standard output; "$ echo $?" sees the exit code of the command
  before, as in a shell;
- the tables of Glimmerlode's rewrite: string, line, and what it becomes.
usage: doc_examples.py <folder of the built programs> <source folder>"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

INSTALLED_EXAMPLES = "/usr/share/doc/vexo-update-kit/examples"
NOTHING = "nothing, not even the newline"


def roff_text(line):
    """The text a manual page line shows."""
    for escape, text in [("\\-", "-"), ("\\(aq", "'"), ("\\(dq", '"'), ("\\&", ""),
                         ("\\ ", " "), ("\\e", "\\")]:
        line = line.replace(escape, text)
    return line


def readme_sessions(text):
    return [block.split("\n") for block in re.findall(r"```console\n(.*?)```", text, re.S)]


def page_sessions(text):
    blocks = re.findall(r"^\.EX\n(.*?)^\.EE\n", text, re.S | re.M)
    return [[roff_text(line) for line in block.split("\n")] for block in blocks]


def readme_rewrites(text):
    table = re.search(r"^\| `<string>` \| line \| becomes \|\n(.*?)\n\n", text, re.S | re.M).group(1)
    rows = re.findall(r"^\| `(.*?)` \| `(.*?)` \| `?(.*?)`? \|$", table, re.M)
    return [(s, line, "" if kept == NOTHING else kept) for s, line, kept in rows]


def page_rewrites(text):
    table = re.search(r"^_\n(.*?)^\.TE", text, re.S | re.M).group(1)
    rows = [roff_text(row).split("@") for row in table.splitlines()]
    return [(s, line, "" if kept == "(" + NOTHING + ")" else kept) for s, line, kept in rows]


def run_session(lines, bin_dir, scratch):
    """Differences between what the session shows and what its commands print."""
    problems = []
    env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"])
    cwd, code = scratch, 0
    commands = [at for at, line in enumerate(lines) if line.startswith("$ ")]
    for at, following in zip(commands, commands[1:] + [len(lines)]):
        command = lines[at][2:].replace(INSTALLED_EXAMPLES, os.path.join(scratch, "examples"))
        shown = "".join(line + "\n" for line in lines[at + 1:following])
        if following == len(lines) and shown.endswith("\n\n"):
            shown = shown[:-1]  # the block's own last line end
        if command.startswith("cd "):
            cwd = os.path.join(cwd, command[3:])
            continue
        run = subprocess.run(["bash", "-c", "(exit %d); %s" % (code, command)], cwd=cwd, env=env,
                             capture_output=True)
        code = run.returncode
        if run.stdout != shown.encode():
            problems.append("$ %s\nshows:\n%r\nprints:\n%r" % (command, shown, run.stdout))
    return problems


def run_rewrite(row, bin_dir, scratch):
    search, line, kept = row
    source, target = os.path.join(scratch, "row-in"), os.path.join(scratch, "row-out")
    with open(source, "w") as f:
        f.write(line + "\n")
    subprocess.run([os.path.join(bin_dir, "Glimmerlode"), source, target, search],
                   capture_output=True, check=True)
    with open(target) as f:
        written = f.read()
    wanted = kept + "\n" if kept else ""
    return [] if written == wanted else ["%r on %r writes %r, not %r" % (search, line, written,
                                                                         wanted)]


def main():
    bin_dir, source_dir = sys.argv[1], sys.argv[2]
    docs = {name: open(os.path.join(source_dir, name), encoding="utf-8").read()
            for name in ["README.md", "man/Vantrel.1", "man/Glimmerlode.1"]}
    checks = [(name, "session", lines) for lines in readme_sessions(docs["README.md"])
              for name in ["README.md"]]
    checks += [(name, "session", lines) for name in ["man/Vantrel.1", "man/Glimmerlode.1"]
               for lines in page_sessions(docs[name])]
    checks += [("README.md", "rewrite", row) for row in readme_rewrites(docs["README.md"])]
    checks += [("man/Glimmerlode.1", "rewrite", row)
               for row in page_rewrites(docs["man/Glimmerlode.1"])]
    failures = 0
    for name, kind, example in checks:
        with tempfile.TemporaryDirectory() as scratch:
            shutil.copytree(os.path.join(source_dir, "examples"), os.path.join(scratch, "examples"))
            run = run_session if kind == "session" else run_rewrite
            problems = run(example, bin_dir, scratch)
        for problem in problems:
            print("%s: %s\n" % (name, problem))
        failures += bool(problems)
    print("%d passed, %d failed" % (len(checks) - failures, failures))
    return 1 if failures or not checks else 0


if __name__ == "__main__":
    sys.exit(main())
