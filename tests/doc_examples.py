"""Runs every example of the README and the manual pages through the built
programs and compares what they print, byte for byte:
- shell sessions: README blocks marked console, and the pages' .EX blocks; a
  line "$ command" runs the command (with the programs on PATH, in a scratch
  folder holding the sample reports), and the lines up to the next command are
  its whole standard output; "$ echo $?" sees the exit code of the command
  before, as in a shell;
- the tables of Glimmerlode's rewrite: string, line, and what it becomes.
Under VEXO_RUN_PREFIX (qemu-user for another machine's programs), the
programs on PATH are small scripts that run them through it.
With --windows, the Command Prompt sessions of the Windows README instead: in
a scratch folder holding the programs and the sample reports, their commands
run as one batch file (under VEXO_RUN_PREFIX: Wine), which must print what
the sessions show.
usage: doc_examples.py <folder of the built programs> <source folder>
       doc_examples.py --windows <folder of the built programs> <README.txt>"""

import os
import re
import shlex
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


def prompt_sessions(text):
    """The Windows README's sessions: blocks indented by four spaces that begin
    with a line "> command", as lists of their lines without the indent."""
    sessions, block = [], None
    for line in text.splitlines() + [""]:
        if block is None and line.startswith("    > "):
            block = []
        if block is not None and line and not line.startswith("    "):
            sessions.append(block)
            block = None
        if block is not None:
            block.append(line[4:])
    if block is not None:
        sessions.append(block)
    return [block[:max(at for at, line in enumerate(block) if line) + 1] for block in sessions]


def run_prompt_session(lines, bin_dir, scratch):
    for program in ["Vantrel.exe", "Glimmerlode.exe"]:
        shutil.copy(os.path.join(bin_dir, program), scratch)
    with open(os.path.join(scratch, "session.bat"), "w", newline="\r\n") as f:
        f.write("@echo off\n" + "".join(line[2:] + "\n" for line in lines if line.startswith("> ")))
    shown = "".join(line + "\n" for line in lines if not line.startswith("> "))
    prefix = shlex.split(os.environ.get("VEXO_RUN_PREFIX", ""))
    run = subprocess.run(prefix + ["cmd", "/c", "session.bat"], cwd=scratch, capture_output=True)
    printed = run.stdout.replace(b"\r\n", b"\n")
    if printed == shown.encode():
        return []
    return ["%s\nshows:\n%r\nprints:\n%r" % ("\n".join(lines), shown, printed)]


def programs_through_prefix(bin_dir, folder):
    """A folder of scripts named after the programs that run them under
    VEXO_RUN_PREFIX; bin_dir itself without one."""
    prefix = os.environ.get("VEXO_RUN_PREFIX", "")
    if not prefix:
        return bin_dir
    os.mkdir(folder)
    for program in ["Vantrel", "Glimmerlode"]:
        script = os.path.join(folder, program)
        with open(script, "w") as f:
            f.write('#!/bin/sh\nexec %s %s "$@"\n' % (prefix, shlex.quote(os.path.join(bin_dir,
                                                                                   program))))
        os.chmod(script, 0o755)
    return folder


def run_checks(checks, bin_dir, source_dir):
    """Runs each check (document name, run function, example) in a scratch
    folder holding the sample reports; prints the problems and the count line
    and returns the exit code."""
    failures = 0
    for name, run, example in checks:
        with tempfile.TemporaryDirectory(prefix="vexo-docs-") as scratch:
            shutil.copytree(os.path.join(source_dir, "examples"), os.path.join(scratch, "examples"))
            programs = bin_dir if run is run_prompt_session else programs_through_prefix(
                bin_dir, os.path.join(scratch, "programs"))
            problems = run(example, programs, scratch)
        for problem in problems:
            print("%s: %s\n" % (name, problem))
        failures += bool(problems)
    print("%d passed, %d failed" % (len(checks) - failures, failures))
    return 1 if failures or not checks else 0


def main():
    if sys.argv[1] == "--windows":
        bin_dir, readme_path = sys.argv[2], sys.argv[3]
        with open(readme_path, encoding="utf-8") as f:
            checks = [(readme_path, run_prompt_session, lines) for lines in prompt_sessions(f.read())]
        return run_checks(checks, bin_dir, os.path.join(os.path.dirname(__file__), ".."))
    bin_dir, source_dir = sys.argv[1], sys.argv[2]
    docs = {name: open(os.path.join(source_dir, name), encoding="utf-8").read()
            for name in ["README.md", "man/Vantrel.1", "man/Glimmerlode.1"]}
    checks = [("README.md", run_session, lines) for lines in readme_sessions(docs["README.md"])]
    checks += [(name, run_session, lines) for name in ["man/Vantrel.1", "man/Glimmerlode.1"]
               for lines in page_sessions(docs[name])]
    checks += [("README.md", run_rewrite, row) for row in readme_rewrites(docs["README.md"])]
    checks += [("man/Glimmerlode.1", run_rewrite, row)
               for row in page_rewrites(docs["man/Glimmerlode.1"])]
    return run_checks(checks, bin_dir, source_dir)


if __name__ == "__main__":
    sys.exit(main())
