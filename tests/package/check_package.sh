#!/usr/bin/env bash
# Checks the Debian package as a user would get it: its control fields, the files it puts
# in place (unpacked with dpkg -x into a temporary root), the desktop entry and the
# AppStream metainfo through their validators, and the installed program itself.
# Usage: check_package.sh PACKAGE.deb
#        check_package.sh BUILD_DIR      (makes the package from BUILD_DIR with cpack first)
# Exit 77 (skipped) when a tool it needs is missing (scripts/setup installs them all).
set -uo pipefail
target=${1:?usage: check_package.sh PACKAGE.deb | BUILD_DIR}

for tool in dpkg-deb desktop-file-validate appstreamcli cpack; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/setup installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

deb=$target
if [ -d "$target" ]; then
  if ! cpack --config "$target/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack could not make the package"
    exit 1
  fi
  deb=$(ls "$work"/out/tillane_*.deb 2>/dev/null | head -1)
fi
if [ ! -f "$deb" ]; then
  echo "FAIL: no package at $deb"
  exit 1
fi

name=$(basename "$deb")
[[ $name =~ ^tillane_[0-9]+\.[0-9]+_[a-z0-9]+\.deb$ ]] || fail "package file name $name is not tillane_<version>_<arch>.deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tillane ] || fail "Package is '$(field Package)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
[[ $name == "tillane_$(field Version)_$(field Architecture).deb" ]] || fail "file name $name does not match the fields"
case "$(field Section)" in utils | misc) ;; *) fail "Section is '$(field Section)'" ;; esac
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
description=$(field Description)
[ "$(printf '%s\n' "$description" | wc -l)" -ge 2 ] || fail "Description has no long text: '$description'"
# Computed from the program's shared libraries, not written by hand.
depends=$(field Depends)
for library in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6; do
  [[ $depends == *"$library "* || $depends == *"$library," || $depends == *"$library" ]] ||
    fail "Depends lacks $library: '$depends'"
done

root=$work/root
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x could not unpack $deb"; exit 1; }
metainfo=$root/usr/share/metainfo/example.ardenholt.Tillane.metainfo.xml
desktop=$root/usr/share/applications/tillane.desktop
for file in usr/bin/tillane usr/libexec/tillane/tillane-window usr/share/applications/tillane.desktop usr/share/man/man1/tillane.1 \
            usr/share/metainfo/example.ardenholt.Tillane.metainfo.xml \
            usr/share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/tillane.png; do
  [ -s "$root/$file" ] || fail "the package does not install $file"
done
for program in usr/bin/tillane usr/libexec/tillane/tillane-window; do
  [ -x "$root/$program" ] || fail "$program is not executable"
done
# Only the program's own files, all under /usr: no test programs, no build leftovers.
stray=$(cd "$root" && find . -type f | grep -Ev '^\./usr/(bin/tillane|libexec/tillane/tillane-window|share/(applications|man/man1|metainfo|icons/hicolor/[0-9]+x[0-9]+/apps)/[^/]+)$')
[ -z "$stray" ] || fail "unexpected files in the package: $stray"

desktop-file-validate "$desktop" || fail "desktop-file-validate refused the desktop entry"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli refused the metainfo"
grep -q '<launchable type="desktop-id">tillane.desktop</launchable>' "$metainfo" ||
  fail "the metainfo does not launch tillane.desktop"
grep -q "<release version=\"$(field Version)\"" "$metainfo" || fail "the metainfo has no release $(field Version)"
grep -q '<screenshot type="default">' "$metainfo" || fail "the metainfo has no screenshot"

# The installed program runs, stripped as it is.
version=$("$root/usr/bin/tillane" --version 2>&1) || fail "the installed tillane --version failed: $version"
[[ $version == *"$(field Version)"* ]] || fail "the installed tillane says '$version'"
# The chart is the window program's: the installed tillane finds it where the package puts it.
mkdir -p "$work/home"
HOME=$work/home XDG_CONFIG_HOME=$work/home/config QT_QPA_PLATFORM=offscreen \
  "$root/usr/bin/tillane" --chart "$work/chart.png" >/dev/null 2>&1 && [ -s "$work/chart.png" ] ||
  fail "the installed tillane could not hand the chart to its window program"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of $name failed"
  exit 1
fi
echo "$name: fields, files, desktop entry and metainfo are as they should be"
