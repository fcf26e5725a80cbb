#!/usr/bin/env bash
# Installs a built tree into a scratch prefix; builds the Debian package, which lintian must pass
# with no error and no warning; removes the install as README.md says and checks that nothing of
# it is left; unpacks the package with dpkg -x and runs a scripted session of each unpacked
# program against its transcript.
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
  gzip -t "$scratch/prefix/share/man/man1/$program.1.gz"
done
echo "install: bin/ and share/man/man1/ hold ${programs[*]} and their pages"

if ! log=$(cd "$build" && cpack 2>&1); then
  echo "$log"
  exit 1
fi
package=$(ls "$build"/consoletools_*.deb)
dpkg-deb --field "$package" Package Version Maintainer Depends
status=0
tags=$(lintian --fail-on error,warning "$package" 2>&1) || status=$?
tags=$(grep -v '^running with root privileges' <<<"$tags" || true)
echo "${tags:-lintian: no error and no warning}"
((status == 0)) || { echo "lintian: status $status" >&2; exit 1; }

# The removal README.md gives, after cpack, which must have left the install's manifest alone.
manifest=$build/install_manifest.txt
if grep -vqF "$scratch/prefix/" "$manifest"; then
  echo "$manifest lists files that cmake --install did not put in the prefix:" >&2
  grep -vF "$scratch/prefix/" "$manifest" >&2
  exit 1
fi
xargs -d '\n' rm -- <"$manifest"
left=$(find "$scratch/prefix" ! -type d)
[ -z "$left" ] || { echo "left in the prefix after the removal:"; echo "$left"; exit 1; }
echo "removal: nothing is left in the prefix but empty folders"

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
