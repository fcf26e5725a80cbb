#!/usr/bin/env bash
# Checks a release build and the Debian package made from the committed tree (HEAD):
# - hardening-check passes the build's programs, each of its lines judged as this release and
#   architecture can have it;
# - cmake --install puts them in a scratch prefix, and the removal README.md gives leaves
#   nothing of them;
# - dpkg-buildpackage -us -uc builds the source and binary packages in two clones at different
#   paths and under umask 022 and 002, whose source packages and .deb files must be byte for
#   byte the same, and whose compiler commands repeat no flag;
# - lintian passes the .changes with no error and no warning, and hardening-check the packaged
#   programs;
# - as root, autopkgtest (null runner: on this machine) installs the package and runs
#   debian/tests against it: the transcripts that need no root, then those that need root; then
#   the package is purged and must leave none of its files.
#   tests/package_check.sh [build folder, default build/release]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
read -r -a programs < <(tr ';' ' ' <"$build/programs.txt")  # the programs the build made
export DEB_BUILD_OPTIONS=${DEB_BUILD_OPTIONS:-parallel=2}

# hardening-check's lines for each program, each judged here rather than by its exit status,
# which counts every "no": a protection must be "yes", or "unknown" where the tool finds nothing
# to protect, but for two lines that cannot say "yes" on this machine. Control-flow integrity is
# found only in a program whose every object says it has it, and the C library's start files
# do not (though each function of ours starts with its landing instruction); arm64's branch
# protection, which newer versions ask for, is no other architecture's. An older version without
# a line leaves it out: only the lines it gives are judged.
architecture=$(dpkg --print-architecture)
hardened() {
  local program=$1 report line judged=0 failed=0
  report=$(hardening-check "$program" 2>&1) || true
  while IFS= read -r line; do
    case $line in
      "$program:") echo "$line" ;;
      " "*": yes"* | " "*": unknown, "*) echo "$line" && judged=$((judged + 1)) ;;
      " Control flow integrity: no"*)
        case $architecture in
          amd64 | i386) echo "$line (accepted: the C library's start files carry no IBT note)" ;;
          *) echo "$line (accepted: the IBT note is x86's, this is $architecture)" ;;
        esac
        judged=$((judged + 1)) ;;
      " Branch Protection: no"*)
        if [ "$architecture" = arm64 ]; then
          echo "$line" && failed=1
        else
          echo "$line (accepted: branch protection is arm64's, this is $architecture)"
          judged=$((judged + 1))
        fi ;;
      *) echo "$line" && failed=1 ;;
    esac
  done <<<"$report"
  if ((failed || judged == 0)); then
    echo "hardening-check: $program lacks a protection it can have here" >&2
    return 1
  fi
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

# Two builds of the same commit at different paths and under the two usual umasks, which set
# the group's write permission of the files git checks out. The second skips the transcripts at
# build time (DEB_BUILD_OPTIONS nocheck), which must not change what it makes.
commit=$(git rev-parse HEAD)
for copy in first second/other; do
  mask=022
  options=$DEB_BUILD_OPTIONS
  [ "$copy" = first ] || { mask=002 && options+=" nocheck"; }
  log=$scratch/${copy%%/*}.log
  if ! (umask "$mask" &&
        git clone -q --no-hardlinks . "$scratch/$copy/consoletools" &&
        cd "$scratch/$copy/consoletools" &&
        git checkout -q --detach "$commit" &&
        DEB_BUILD_OPTIONS=$options dpkg-buildpackage -us -uc) >"$log" 2>&1; then
    cat "$log"
    exit 1
  fi
  echo "built under umask $mask with DEB_BUILD_OPTIONS=$options"
  grep -E '^e2e[^:]*: [0-9]+ cases: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped$' "$log" || true
done
first=$scratch/first
made=$(cd "$first" && ls -- *.deb *.dsc *.tar.*)
for file in $made; do
  cmp "$first/$file" "$scratch/second/other/$file"
done
echo "reproducible: the two builds made the same" $made

# The compiler gets each of the package's flags once, whether dpkg-buildflags gives it or
# debian/rules adds it: the build's commands (dh has ninja show them) repeat no -f option.
compiles=$(grep -E ' -c [^ ]+\.cc$' "$first.log" || true)
[ -n "$compiles" ] || { echo "the build log shows no compiler command" >&2; exit 1; }
repeated=$(awk '{ delete seen; for (i = 2; i <= NF; i++) if ($i ~ /^-f/ && seen[$i]++ == 1) print $i }' \
  <<<"$compiles" | sort -u)
[ -z "$repeated" ] || { echo "flags given twice to the compiler:" $repeated >&2; exit 1; }
echo "compiler flags, each once in $(wc -l <<<"$compiles") commands:" \
  $(head -n 1 <<<"$compiles" | tr ' ' '\n' | grep -E '^-f(stack|cf)-' || true)

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
# Each test's result, and its last line: how many cases it ran, and how they ended.
sed -n '/ summary$/,$p' "$scratch/autopkgtest.log" | grep -E '^[^ ]+ +(PASS|SKIP|FAIL)'
grep -E '^e2e[^:]*: [0-9]+ cases: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped$' \
  "$scratch/autopkgtest.log"
left=$(dpkg-deb --fsys-tarfile "$package" | tar -t | sed 's|^\.||' |
       while read -r path; do [ ! -f "$path" ] || echo "$path"; done)
[ -z "$left" ] || { echo "left after the purge:"; echo "$left"; exit 1; }
echo "purge: none of the package's files is left"
