#!/usr/bin/env bash
# Builds the Debian package from the built tree, unpacks it into a temporary root and tries it there,
# out of reach of the build tree: the tools' versions, both programs starting in standalone mode on
# the unpacked CentralType.db, kcftool console on the unpacked demo console, the menu entries, the
# AppStream file and lintian (no error; warnings are printed).
# Usage: test_package.sh BUILD_DIR VERSION SMOKE_PLUGIN_DIR
set -uo pipefail
build=$1 version=$2 plugins=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/out/talvir-configurator_"$version"_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { cat "$work/cpack.log"; echo "FAIL: no talvir-configurator_${version}_*.deb"; exit 1; }
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
dpkg-deb -x "$deb" "$work/root" || { echo "FAIL: dpkg-deb -x"; exit 1; }
usr=$work/root/usr
share=$usr/share/talvir

for f in bin/MXR_600r bin/MXR_duziv bin/kcftool bin/transceiver-sim \
         share/talvir/CentralType.db share/talvir/demo_console.ini share/talvir/demo_console/ObjList.db \
         share/man/man1/kcftool.1.gz share/man/man1/transceiver-sim.1.gz \
         share/doc/talvir-configurator/copyright share/doc/talvir-configurator/README.md \
         share/icons/hicolor/scalable/apps/ru.talvir.MXR_600r.svg \
         share/icons/hicolor/scalable/apps/ru.talvir.MXR_duziv.svg; do
  [ -e "$usr/$f" ] || fail "missing /usr/$f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 qt6-qpa-plugins libqt6sql6-sqlite qt6-translations-l10n; do
  [[ $depends == *"$d"* ]] || fail "Depends lacks $d: $depends"
done

# No data beside the unpacked executables: what they find comes from ../share/talvir.
[ ! -e "$usr/bin/CentralType.db" ] || fail "CentralType.db beside the executables"
for tool in kcftool transceiver-sim; do
  got=$("$usr/bin/$tool" --version 2>&1)
  [ "$got" = "$tool $version" ] && pass "$tool --version" || fail "$tool --version printed '$got'"
done

# No console installed: an empty system-wide settings folder.
mkdir -p "$work/xdg" "$work/home"
run_env=(env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_CONFIG_DIRS="$work/xdg" LC_ALL=C.UTF-8)
cd "$work"
for program in MXR_600r MXR_duziv; do
  out=$(timeout 60 "${run_env[@]}" QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$plugins" \
        QT_QPA_GENERIC_PLUGINS=talvirsmoke "$usr/bin/$program" 2>&1)
  code=$?
  if [ $code -eq 0 ] && grep -qxF "standalone: $share" <<<"$out"; then
    pass "$program starts in standalone mode on $share/CentralType.db"
  else
    fail "$program (exit $code): $out"
  fi
done

out=$("${run_env[@]}" "$usr/bin/kcftool" console --serial 12345 2>&1)
code=$?
if [ $code -eq 0 ] && grep -qF "$share/demo_console.ini  (in use)" <<<"$out" \
   && grep -qF "Alias TraficDB: $share/demo_console" <<<"$out" && grep -qF ": 29 objects" <<<"$out"; then
  pass "kcftool console finds the unpacked demo console"
else
  fail "kcftool console (exit $code): $out"
fi

desktops=("$usr"/share/applications/*.desktop)
[ ${#desktops[@]} -eq 2 ] || fail "expected 2 .desktop files, found ${#desktops[@]}"
out=$(desktop-file-validate "${desktops[@]}" 2>&1)
[ -z "$out" ] && pass "desktop-file-validate" || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml 2>&1) \
  && pass "appstreamcli validate" || fail "appstreamcli validate: $out"

lint=$(lintian --tag-display-limit 0 "$deb" 2>&1)
echo "$lint" | grep -v '^E:' | sed 's/^/lintian: /'
if grep -q '^E:' <<<"$lint"; then fail "lintian errors: $(grep '^E:' <<<"$lint")"; else pass "lintian: no error"; fi

[ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "package test passed"
