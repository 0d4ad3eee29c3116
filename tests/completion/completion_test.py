#!/usr/bin/env python3
"""bash or zsh completion of sarnlink as a user meets it: an interactive shell in a terminal, each
case a line typed with TAB and run. `sarnlink` is a function there that prints the words it was given,
one "[word]" a line (it passes `genres` and `imports` to the real tool, which the completion asks),
so a case sees exactly the words the shell read back from what the completion wrote: quoting,
a folder's "/", a stamp or genre with spaces and colons whole.

usage: completion_test.py SARNLINK COMPLETIONS_FOLDER bash|zsh
"""
import os
import pty
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# A case: its name, what is typed before TAB (DIR is the diary's folder, typed with its space
# escaped), and the words the line then holds after the subcommand.
CASES = [
    ("a folder with a space and Japanese gets its / and its quoting",
     "sarnlink export --db スペ\t", ["export", "--db", "スペース dir/"]),
    ("a file inside that folder",
     "sarnlink export --db スペース\\ dir/d\t", ["export", "--db", "スペース dir/diary.db"]),
    ("the diary's genres",
     "sarnlink export --db DIR/diary.db --genre 旅\t", ["export", "--db", "スペース dir/diary.db",
                                                         "--genre", "旅行"]),
    ("a genre with a space and a colon",
     "sarnlink export --db DIR/diary.db --genre my\t",
     ["export", "--db", "スペース dir/diary.db", "--genre", "my genre: two"]),
    ("a stamp, from its first digits",
     "sarnlink undo-import --db DIR/diary.db --stamp 20\t",
     ["undo-import", "--db", "スペース dir/diary.db", "--stamp", "STAMP"]),
    ("a stamp typed past a colon, which bash cuts words at",
     "sarnlink undo-import --db DIR/diary.db --stamp STAMPHEAD\t",
     ["undo-import", "--db", "スペース dir/diary.db", "--stamp", "STAMP"]),
    ("a stamp inside an open quote",
     "sarnlink undo-import --db DIR/diary.db --stamp '20\t",
     ["undo-import", "--db", "スペース dir/diary.db", "--stamp", "STAMP"]),
    ("the encodings",
     "sarnlink import --encoding utf-16l\t", ["import", "--encoding", "utf-16le"]),
    ("an option of the subcommand",
     "sarnlink import --allow\t", ["import", "--allow-duplicates"]),
]


def prepare(sarnlink, folder):
    """A diary in "スペース dir" with two genres and one import run; returns the run's stamp."""
    diary_dir = os.path.join(folder, "スペース dir")
    os.mkdir(diary_dir)
    diary = os.path.join(diary_dir, "diary.db")
    subprocess.run([sarnlink, "init", "--db", diary], check=True, capture_output=True)
    entries = os.path.join(folder, "entries.txt")
    with open(entries, "w", encoding="utf-8") as f:
        for genre in ("旅行", "my genre: two"):
            f.write(f"TITLE: t\nCATEGORY: {genre}\nDATE: 01/02/2006 10:00:00 AM\n-----\n"
                    "BODY:\nx\n-----\n--------\n")
    subprocess.run([sarnlink, "import", "--quiet", "--db", diary, "--in", entries], check=True,
                   capture_output=True)
    runs = subprocess.run([sarnlink, "imports", "--db", diary], check=True, capture_output=True,
                          text=True).stdout.splitlines()
    return runs[1].split("\t")[3]


# How each shell starts without the user's settings and loads the completion from its folder.
# zsh's line editor stays off on a "dumb" terminal, and zsh takes back a folder's "/" when the
# line is run at once, unless told to keep it.
SHELLS = {
    "bash": (["bash", "--norc", "--noprofile", "-i"], "dumb",
             "source '{folder}/sarnlink.bash'\n"),
    "zsh": (["zsh", "-f", "-i"], "xterm",
            "fpath=('{folder}' $fpath); autoload -Uz compinit; compinit -u; "
            "unsetopt auto_remove_slash\n"),
}


def run_shell(shell, lines, folder, sarnlink_dir):
    """Types `lines` into an interactive `shell` in a terminal; returns everything it printed."""
    argv, term, _ = SHELLS[shell]
    env = {"PATH": sarnlink_dir + ":/usr/bin:/bin", "HOME": folder, "LANG": "C.UTF-8",
           "TERM": term, "INPUTRC": os.path.join(folder, "inputrc"), "PS1": "$ "}
    with open(env["INPUTRC"], "w") as f:
        f.write("set bell-style none\nset enable-bracketed-paste off\n")
    pid, fd = pty.fork()
    if pid == 0:
        os.chdir(folder)
        os.execve(shutil.which(argv[0]), argv, env)
    output = b""
    for line in lines:
        os.write(fd, line.encode())
        time.sleep(0.3)  # each line's completion runs the tool; let it answer before the next
    os.write(fd, b"exit\n")
    while True:
        ready, _, _ = select.select([fd], [], [], 5)
        if not ready:
            break
        try:
            chunk = os.read(fd, 65536)
        except OSError:
            break
        if not chunk:
            break
        output += chunk
    # A line the completion left unfinished (an open quote) keeps bash waiting for the rest.
    if os.waitpid(pid, os.WNOHANG) == (0, 0):
        os.kill(pid, signal.SIGKILL)
        os.waitpid(pid, 0)
    return output.decode("utf-8", "replace")


def main():
    sarnlink, completions, shell = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3]
    folder = tempfile.mkdtemp()
    try:
        stamp = prepare(sarnlink, folder)
        lines = [SHELLS[shell][2].format(folder=completions),
                 "sarnlink() { case $1 in genres|imports) command sarnlink \"$@\";; "
                 "*) printf '[%s]\\n' \"$@\";; esac; }\n"]
        for k, (_, typed, _) in enumerate(CASES):
            lines.append(f"echo '<case {k}>'\n")
            head = stamp[:stamp.index(":") + 2].replace(" ", "\\ ")
            lines.append(typed.replace("DIR", "スペース\\ dir").replace("STAMPHEAD", head) + "\n")
        lines.append("echo '<case end>'\n")
        output = run_shell(shell, lines, folder, os.path.dirname(sarnlink)).replace("\r", "")
        failures = 0
        for k, (name, _, expected) in enumerate(CASES):
            after = "end" if k + 1 == len(CASES) else k + 1
            part = output.split(f"\n<case {k}>\n", 1)[-1].split(f"\n<case {after}>\n")[0]
            words = re.findall(r"^\[(.*)\]$", part, re.M)
            expected = [stamp if word == "STAMP" else word for word in expected]
            if words != expected:
                failures += 1
                print(f"FAIL {shell}: {name}: the line held {words}, not {expected}")
            else:
                print(f"ok   {shell}: {name}")
        return 1 if failures else 0
    finally:
        shutil.rmtree(folder)


if __name__ == "__main__":
    sys.exit(main())
