#!/usr/bin/env bash
# Builds the Debian package from a finished build folder and checks what a
# technician's `apt install ./plendoro_*.deb` would get: the files in their
# places and the libraries the package depends on.
set -euo pipefail
build="${1:?usage: check-package.sh BUILD_FOLDER}"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
shopt -s nullglob
debs=("$out"/plendoro_*.deb)
((${#debs[@]} == 1)) || { echo "expected one plendoro_*.deb, found ${#debs[@]}"; ls "$out"; exit 1; }
deb="${debs[0]}"

contents="$(dpkg-deb -c "$deb")"
info="$(dpkg-deb -I "$deb")"
status=0
expect_file() {
  grep -qE "^-[rwx-]{9} .* \./$1\$" <<<"$contents" || { echo "missing from the package: $1"; status=1; }
}
expect_file usr/bin/plendoro
expect_file usr/lib/plendoro/libplendoro_ttyusb\\.so
expect_file usr/lib/plendoro/libplendoro_sim\\.so
expect_file usr/lib/udev/rules\\.d/70-plendoro-kovaltrak\\.rules
expect_file usr/share/applications/ru\\.kovaltrak\\.Plendoro\\.desktop
expect_file usr/share/icons/hicolor/scalable/apps/ru\\.kovaltrak\\.Plendoro\\.svg
expect_file usr/share/metainfo/ru\\.kovaltrak\\.Plendoro\\.metainfo\\.xml
# The program is executable by everyone, the rule is not.
grep -qE '^-rwxr-xr-x .* \./usr/bin/plendoro$' <<<"$contents" || { echo "usr/bin/plendoro is not 0755"; status=1; }

depends="$(sed -n 's/^ Depends: //p' <<<"$info")"
for lib in libc6 libstdc\\+\\+6 libqt6widgets6 libqt6gui6 libqt6core6 libudev1 qt6-translations-l10n; do
  grep -qE "(^|, )$lib( |,|$)" <<<"$depends" || { echo "Depends lacks $lib: $depends"; status=1; }
done
grep -q '^ Package: plendoro$' <<<"$info" || { echo "package name is not plendoro"; status=1; }
grep -q '^ Architecture: ' <<<"$info" || { echo "no architecture"; status=1; }
grep -q 'postinst' <<<"$info" || { echo "no postinst"; status=1; }

((status == 0)) && echo "$(basename "$deb"): $(grep -c . <<<"$contents") entries; Depends: $depends"
exit $status
