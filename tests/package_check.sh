#!/usr/bin/env bash
# Checks a release build and the Debian package made from the committed tree (HEAD):
# - hardening-check passes the build's programs;
# - cmake --install puts them in a scratch prefix, and the removal README.md gives leaves
#   nothing of them;
# - dpkg-buildpackage -us -uc builds the source and binary packages in two clones at different
#   paths, whose .deb files must be byte for byte the same;
# - lintian passes the .changes with no error and no warning, and hardening-check the packaged
#   programs;
# - as root, autopkgtest (null runner: on this machine) installs the package and runs
#   debian/tests against it, then the package is purged and must leave none of its files.
#   tests/package_check.sh [build folder, default build/release]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
read -r -a programs < <(tr ';' ' ' <"$build/programs.txt")  # the programs the build made
export DEB_BUILD_OPTIONS=${DEB_BUILD_OPTIONS:-parallel=2}

# Every protection but control-flow integrity, which hardening-check finds only in a program
# whose every object, the C library's start files included, says it has it: Debian's do not,
# though each function of ours starts with its landing instruction. Newer versions also ask for
# arm64's branch protection, which no other architecture has.
hardened() {
  local options=(--nocfprotection)
  if hardening-check --help 2>&1 | grep -q -- --nobranchprotection; then
    options+=(--nobranchprotection)
  fi
  hardening-check "${options[@]}" "$@"
}
for program in "${programs[@]}"; do hardened "$build/bin/$program"; done

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
for program in "${programs[@]}"; do
  test -x "$scratch/prefix/bin/$program"
  gzip -t "$scratch/prefix/share/man/man1/$program.1.gz"
done
echo "install: bin/ and share/man/man1/ hold ${programs[*]} and their pages"
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

# Two builds of the same commit at different paths. The second skips the transcripts at build
# time (DEB_BUILD_OPTIONS nocheck), which must not change what it makes.
commit=$(git rev-parse HEAD)
for copy in first second/other; do
  git clone -q --no-hardlinks . "$scratch/$copy/consoletools"
  git -C "$scratch/$copy/consoletools" checkout -q --detach "$commit"
  options=$DEB_BUILD_OPTIONS
  [ "$copy" = first ] || options+=" nocheck"
  if ! (cd "$scratch/$copy/consoletools" &&
        DEB_BUILD_OPTIONS=$options dpkg-buildpackage -us -uc) >"$scratch/build.log" 2>&1; then
    cat "$scratch/build.log"
    exit 1
  fi
  grep -E '^[0-9]+ passed, [0-9]+ failed, [0-9]+ skipped$' "$scratch/build.log" || true
done
first=$scratch/first
debs=$(cd "$first" && ls -- *.deb)
for deb in $debs; do
  cmp "$first/$deb" "$scratch/second/other/$deb"
done
echo "reproducible: the two builds made the same" $debs
package=$(ls "$first"/consoletools_*.deb)
dpkg-deb --field "$package" Package Version Maintainer Depends

status=0
tags=$(lintian --fail-on error,warning -I "$first"/consoletools_*.changes 2>&1) || status=$?
tags=$(grep -v '^running with root privileges' <<<"$tags" || true)
echo "${tags:-lintian: no tag}"
((status == 0)) || { echo "lintian: status $status" >&2; exit 1; }

dpkg -x "$package" "$scratch/root"
for program in "${programs[@]}"; do hardened "$scratch/root/usr/bin/$program"; done

if (($(id -u) != 0)); then
  echo "autopkgtest: skipped, the null runner installs the package and needs root"
  exit 0
fi
if dpkg-query -W -f='${db:Status-Status}' consoletools 2>/dev/null | grep -qvx 'not-installed'; then
  echo "autopkgtest: consoletools is installed already; remove it first" >&2
  exit 1
fi
status=0
autopkgtest "$package" "$first"/consoletools_*.dsc -- null >"$scratch/autopkgtest.log" 2>&1 ||
  status=$?
apt-get purge -y -q consoletools >/dev/null 2>&1 || true
if ((status != 0)); then
  cat "$scratch/autopkgtest.log"
  echo "autopkgtest: status $status" >&2
  exit 1
fi
sed -n '/ summary$/,$p' "$scratch/autopkgtest.log" | grep -E '^[^ ]+ +(PASS|SKIP)'
grep -E '^[0-9]+ passed, [0-9]+ failed, [0-9]+ skipped$' "$scratch/autopkgtest.log"
left=$(dpkg-deb --fsys-tarfile "$package" | tar -t | sed 's|^\.||' |
       while read -r path; do [ ! -f "$path" ] || echo "$path"; done)
[ -z "$left" ] || { echo "left after the purge:"; echo "$left"; exit 1; }
echo "purge: none of the package's files is left"
