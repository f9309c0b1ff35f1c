#!/usr/bin/env python3
"""Runs a test program with LeakSanitizer preloaded and fails when memory allocated under one of
our source folders leaked.

    leak-check.py LSAN_RUNTIME SOURCE_FOLDER PROGRAM [ARGUMENT...]

Leaks of the libraries underneath (fonts, the platform plugin) are not ours and are ignored. The
program's own result counts too.
"""
import os
import re
import subprocess
import sys


def main():
    runtime, folder, *command = sys.argv[1:]
    environment = dict(os.environ, LD_PRELOAD=runtime,
                       # Slow unwinding reads the unwind tables: Qt's frames carry no frame pointers.
                       LSAN_OPTIONS="exitcode=0:fast_unwind_on_malloc=0:malloc_context_size=40")
    result = subprocess.run(command, env=environment, stderr=subprocess.PIPE, text=True, errors="replace")
    reports = re.split(r"\n(?=(?:Direct|Indirect) leak of )", result.stderr)
    ours = [report.split("\n\n")[0] for report in reports
            if re.match(r"(Direct|Indirect) leak of ", report) and f"/src/{folder}/" in report.split("\n\n")[0]]
    for report in ours:
        print(report, end="\n\n")
    if result.returncode != 0:
        print(result.stderr[-4000:])
        return result.returncode
    return 1 if ours else 0


if __name__ == "__main__":
    sys.exit(main())
