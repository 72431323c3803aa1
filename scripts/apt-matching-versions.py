#!/usr/bin/env python3
"""Prints an apt-get install line for the given packages that apt can satisfy when a mirror
serves the 32-bit package list of one archive (the security updates, say) out of date: the
32-bit libraries that wine32 needs must have the very version of their 64-bit twins, so each
pair a simulated install cannot place is pinned, both halves, to the 32-bit candidate.
Exits 1 when no such line is found."""
import re
import subprocess
import sys


def candidate(package):
    out = subprocess.run(["apt-cache", "policy", package], capture_output=True, text=True).stdout
    found = re.search(r"Candidate: (\S+)", out)
    return found.group(1) if found and found.group(1) != "(none)" else None


def main(packages):
    pins = {}
    for _ in range(20):
        line = packages + [f"{name}={version}" for name, version in pins.items()]
        tried = subprocess.run(["apt-get", "install", "-s", "--no-install-recommends"] + line,
                               capture_output=True, text=True)
        if tried.returncode == 0:
            print(" ".join(line))
            return 0
        added = False
        for name in sorted(set(re.findall(r"Depends: (\S+?):i386", tried.stdout))):
            version = None if f"{name}:i386" in pins else candidate(f"{name}:i386")
            if version:
                pins[f"{name}:i386"] = pins[f"{name}:amd64"] = version
                added = True
        if not added:
            sys.stderr.write(tried.stdout[-3000:])
            return 1
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
