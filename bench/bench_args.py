"""What the whole-command benchmarks share: their arguments and timing a command."""
import argparse
import pathlib
import subprocess
import time


def parse(default_entries):
    """SARNLINK WORK_DIR [--entries N]; the work folder made."""
    parser = argparse.ArgumentParser()
    parser.add_argument("sarnlink")
    parser.add_argument("work")
    parser.add_argument("--entries", type=int, default=default_entries)
    args = parser.parse_args()
    args.work = pathlib.Path(args.work)
    args.work.mkdir(parents=True, exist_ok=True)
    return args


def timed(command, stdin=None):
    """Seconds and peak resident kilobytes of a command, via GNU time."""
    start = time.perf_counter()
    result = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, stdin=stdin, check=True,
                            capture_output=True, text=True)
    seconds = time.perf_counter() - start
    return seconds, int(result.stderr.strip().splitlines()[-1])
