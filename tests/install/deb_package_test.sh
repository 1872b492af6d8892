#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: deb_package_test.sh BUILD_DIR VERSION EXAMPLE_DIR
# Builds the Debian package from the built tree and inspects it: its name, its files, lintian's verdict, and
# its dependencies, which must name the package of every shared library the programs load. As root (CI's disposable machine)
# it then installs the package with apt-get, runs both programs from PATH and purges it again, also when a
# step fails.
set -euo pipefail
source "$(dirname "$0")/test_lib.sh"
build_dir=$1
version=$2
example=$3
require cpack dpkg dpkg-deb dpkg-query readelf ldd lintian

work=$(mktemp -d)
# apt-get reads the package as its own unprivileged user.
chmod 755 "$work"
installed_here=false
cleanup() {
    if $installed_here; then
        apt-get purge -y -qq quillpress >/dev/null || echo "deb_package_test: could not purge quillpress" >&2
    fi
    rm -rf "$work"
}
trap cleanup EXIT

cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$work/package/quillpress_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$work/package")"

expected="./usr/bin/kovadump
./usr/bin/quillpress
./usr/share/bash-completion/completions/kovadump
./usr/share/bash-completion/completions/quillpress
./usr/share/doc/quillpress/README.md
./usr/share/doc/quillpress/changelog.gz
./usr/share/doc/quillpress/copyright
./usr/share/man/man1/kovadump.1.gz
./usr/share/man/man1/quillpress.1.gz"
contents=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort)
[ "$contents" = "$expected" ] || fail "package files:
$contents
expected:
$expected"

# The checks Debian applies to a package: none of its errors may be found.
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian found errors"; }

info=$(dpkg-deb --info "$deb")
grep -qx " Package: quillpress" <<<"$info" || fail "not the quillpress package: $info"
grep -qx " Version: $version" <<<"$info" || fail "not version $version: $info"
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
[ -n "$depends" ] || fail "the package declares no dependencies: $info"
# The package names alone, one a line: versions dropped, alternatives ("a | b") and lists split.
depended=$(sed 's/ *([^)]*)//g; s/ *[,|] */\n/g' <<<"$depends")
# The package that holds each library a program needs, found where the dynamic loader finds the library.
for program in quillpress kovadump/kovadump; do
    for library in $(readelf -d "$build_dir/tools/$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        path=$(ldd "$build_dir/tools/$program" | awk -v lib="$library" '$1 == lib { print $3 }')
        [ -n "$path" ] || fail "the loader does not find $library"
        owner=$(dpkg-query -S "$path" 2>/dev/null || dpkg-query -S "$(realpath "$path")" 2>/dev/null ||
            dpkg-query -S "/usr$path" 2>/dev/null) || fail "no package holds $path"
        owner=${owner%%:*}
        grep -qxF "$owner" <<<"$depended" || fail "Depends lacks $owner, which holds $library: $depends"
    done
done

if [ "$(id -u)" -ne 0 ]; then
    echo "deb_package_test: not root, so the package is inspected but not installed"
    exit 0
fi
if dpkg-query -W -f='${Status}' quillpress 2>/dev/null | grep -q "install ok installed"; then
    echo "deb_package_test: a quillpress package is already installed here; it is left as it is, not replaced"
    exit 0
fi
installed_here=true
apt-get install -y -qq -o DPkg::Lock::Timeout=120 "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get could not install the package"; }
mkdir "$work/run"
cp -r "$example" "$work/run/book"
cd "$work/run"
# Only the system's directories, so that a copy installed elsewhere (/usr/local) cannot stand in.
export PATH=/usr/bin:/bin
[ "$(command -v quillpress)" = /usr/bin/quillpress ] || fail "quillpress is not on PATH after the install"
quillpress book/lighthouse.opf >compile.log || { cat compile.log; fail "the packaged quillpress did not build the example"; }
kovadump book/lighthouse.kova >dump.log || { cat dump.log; fail "the packaged kovadump finds the book unsound"; }
apt-get purge -y -qq -o DPkg::Lock::Timeout=120 quillpress >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get could not purge the package"; }
installed_here=false
[ ! -e /usr/bin/quillpress ] && [ ! -e /usr/bin/kovadump ] || fail "the purge left the programs in /usr/bin"
