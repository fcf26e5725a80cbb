#!/usr/bin/env bash
# Installs a built tree into a scratch prefix, builds the Debian package, unpacks it with
# dpkg -x and runs a scripted session of each unpacked program against its transcript.
#   tests/package_check.sh [build folder, default build/release]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
programs=(datemenu arraymenu gridstat)

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
for program in "${programs[@]}"; do
  test -x "$scratch/prefix/bin/$program"
  test -f "$scratch/prefix/share/man/man1/$program.1"
done
echo "install: bin/ and share/man/man1/ hold all three programs and their pages"

if ! log=$(cd "$build" && cpack -G DEB 2>&1); then
  echo "$log"
  exit 1
fi
package=$(ls "$build"/consoletools_*.deb)
dpkg-deb --field "$package" Package Version Maintainer Depends
dpkg -x "$package" "$scratch/root"

# One session each: a sum and a day count; a change, an append and the listing; a matrix
# checked against the generator and its statistics recomputed.
sessions=(datemenu/add_dates datemenu/difference arraymenu/append_typed_values_listed
          gridstat/counts_on_one_line)
for session in "${sessions[@]}"; do
  program=${session%%/*}
  python3 tests/run_e2e.py "$scratch/root/usr/bin/$program" "tests/e2e/$session"
  echo "unpacked $program: $session ok"
done
