#!/usr/bin/env bash
# Wine's 32-bit side is made of 32-bit x86 Linux programs. Some virtual machines run none (their
# kernel or hypervisor has no 32-bit mode: "Exec format error").
#   scripts/i386-runner.sh --native   succeeds only when this machine runs them itself
#   scripts/i386-runner.sh            where it cannot, registers qemu's user-mode emulator (from
#                                     Debian's qemu-user-static) as their runner, for running a
#                                     Windows program or a test by hand; it then works, but many
#                                     times slower and not always to the end (the emulator faults
#                                     in some of Wine's threads), so the test command runs the
#                                     64-bit build's Windows tests there instead (scripts/test.sh).
# Idempotent; prints what it did.
set -euo pipefail
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

# The smallest 32-bit x86 program: exit(42) through int 0x80.
# In the checkout's build folder: a temporary folder may be mounted without the right to run.
build=$(cd "$(dirname "$0")/.." && pwd)/build
mkdir -p "$build"
probe=$(mktemp -p "$build" i386-probe.XXXXXX)
trap 'rm -f "$probe"' EXIT
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >"$probe"
chmod +x "$probe"
runs() { local rc=0; "$probe" 2>/dev/null || rc=$?; [ $rc -eq 42 ]; }
misc=/proc/sys/fs/binfmt_misc
emulated() { grep -qx enabled "$misc/qemu-i386" 2>/dev/null; }
if [ "${1:-}" = --native ]; then
  runs && ! emulated
  exit
fi
runs && exit 0

echo "i386-runner: this machine runs no 32-bit x86 program; registering qemu's emulator for them"
# wine64 brings the 64-bit wineserver, which Wine's wrapper prefers: the server, which every
# program calls all the time, then runs natively.
need=()
for p in qemu-user-static wine64; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
[ -e "$misc/register" ] || "${sudo_cmd[@]}" mount -t binfmt_misc binfmt_misc "$misc"
# Fixed (F): the kernel opens the emulator once, so it also serves programs in other mount
# namespaces; the mask matches any 32-bit little-endian x86 executable or shared object.
if [ ! -e "$misc/qemu-i386" ]; then
  echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
    "${sudo_cmd[@]}" tee "$misc/register" >/dev/null
fi
"${sudo_cmd[@]}" sh -c "echo 1 >$misc/qemu-i386"
runs || { echo "i386-runner: 32-bit x86 programs still do not run" >&2; exit 1; }
echo "i386-runner: 32-bit x86 programs run under emulation"
