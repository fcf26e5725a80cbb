#!/usr/bin/env bash
# Installs a built tree into a scratch prefix, builds the Debian package, unpacks it with
# dpkg -x and runs a scripted session of each unpacked program against its transcript.
#   tests/package_check.sh [build folder, default build/release]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
read -r -a programs < <(tr ';' ' ' <"$build/programs.txt")  # the programs the build made

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
for program in "${programs[@]}"; do
  test -x "$scratch/prefix/bin/$program"
  test -f "$scratch/prefix/share/man/man1/$program.1"
done
echo "install: bin/ and share/man/man1/ hold ${programs[*]} and their pages"

if ! log=$(cd "$build" && cpack -G DEB 2>&1); then
  echo "$log"
  exit 1
fi
package=$(ls "$build"/consoletools_*.deb)
dpkg-deb --field "$package" Package Version Maintainer Depends
dpkg -x "$package" "$scratch/root"

# The transcripts replayed on each unpacked program: a sum and a day count; a change, an append
# and the listing; a matrix checked against the generator and its statistics recomputed.
declare -A sessions=([datemenu]="add_dates difference" [arraymenu]=append_typed_values_listed
                     [gridstat]=counts_on_one_line)
for program in "${programs[@]}"; do
  for session in ${sessions[$program]:?"no transcript to replay on the unpacked $program"}; do
    python3 tests/run_e2e.py "$scratch/root/usr/bin/$program" "tests/e2e/$program/$session"
    echo "unpacked $program: $session ok"
  done
done
