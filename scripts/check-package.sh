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
expect_file usr/bin/plendoro-cli
expect_file usr/share/bash-completion/completions/plendoro-cli
# The user manual, every chapter and picture of the source tree.
manual="$(cd "$(dirname "$0")/../doc/manual" && pwd)"
for f in "$manual"/*; do
  name="$(basename "$f")"
  expect_file "usr/share/plendoro/manual/${name//./\\.}"
done
expect_file usr/lib/plendoro/libplendoro_ttyusb\\.so
expect_file usr/lib/plendoro/libplendoro_sim\\.so
expect_file usr/lib/udev/rules\\.d/70-plendoro-kovaltrak\\.rules
expect_file usr/share/applications/ru\\.kovaltrak\\.Plendoro\\.desktop
expect_file usr/share/icons/hicolor/scalable/apps/ru\\.kovaltrak\\.Plendoro\\.svg
expect_file usr/share/metainfo/ru\\.kovaltrak\\.Plendoro\\.metainfo\\.xml
# The program is executable by everyone, the rule is not.
grep -qE '^-rwxr-xr-x .* \./usr/bin/plendoro$' <<<"$contents" || { echo "usr/bin/plendoro is not 0755"; status=1; }

# The udev rule as installed. Every line naming the product pairs it with
# FTDI's vendor id on the same device (ATTR with ATTR: the event's device;
# ATTRS with ATTRS: one parent), every line that grants something names the
# product, and a tty node is granted only behind a line that asks for a
# port of ftdi_sio.
rule="$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/udev/rules.d/70-plendoro-kovaltrak.rules)"
rule_faults="$(awk '
  function fault(what) { printf "udev rule line %d: %s\n", NR, what }
  /^[[:space:]]*(#|$)/ { next }
  {
    grants = /TAG\+="uaccess"|ENV\{ID_MM_DEVICE_IGNORE\}=|ATTR\{latency_timer\}=/
    if (index($0, "ATTR{product}") && !index($0, "ATTR{idVendor}==\"0403\""))
      fault("ATTR{product} without ATTR{idVendor}==\"0403\"")
    if (index($0, "ATTRS{product}") && !index($0, "ATTRS{idVendor}==\"0403\""))
      fault("ATTRS{product} without ATTRS{idVendor}==\"0403\"")
    if (grants && !index($0, "{product}==\"Kovaltrak*\""))
      fault("grants without the product \"Kovaltrak*\"")
    if (grants && index($0, "SUBSYSTEM==\"tty\"") && !behind_driver)
      fault("a tty line not behind DRIVERS==\"ftdi_sio\"")
    if (index($0, "GOTO=\"plendoro_ftdi_tty\"")) {
      if (!index($0, "DRIVERS==\"ftdi_sio\"")) fault("jumps to the tty lines without DRIVERS==\"ftdi_sio\"")
      gate = 1
    }
    if ($0 == "GOTO=\"plendoro_end\"") closed = gate
    if ($0 == "LABEL=\"plendoro_ftdi_tty\"") behind_driver = closed
    if ($0 == "LABEL=\"plendoro_end\"") behind_driver = 0
    if (grants) granted++
  }
  END { if (granted < 3) print "udev rule: expected the usb, usb-serial and tty lines, found " granted + 0 }
' <<<"$rule")"
[[ -z $rule_faults ]] || { echo "$rule_faults"; status=1; }

# The post-install step triggers again only what the rule can match.
dpkg-deb -e "$deb" "$out/control"
triggers="$(sed -e ':a' -e '/\\$/N; s/\\\n//; ta' "$out/control/postinst" | grep 'udevadm trigger' || true)"
[[ $(grep -c . <<<"$triggers") == 2 ]] || { echo "postinst: expected two udevadm triggers: $triggers"; status=1; }
while read -r trigger; do
  [[ -n $trigger ]] || continue
  subsystems="$(grep -o -- '--subsystem-match=[^ ]*' <<<"$trigger" | tr '\n' ' ')"
  case "$subsystems" in
  "--subsystem-match=usb ") grep -q -- "--attr-match=idVendor=0403" <<<"$trigger" ||
    { echo "postinst: usb trigger without idVendor=0403: $trigger"; status=1; } ;;
  "--subsystem-match=tty ") grep -q -- "--property-match=ID_VENDOR_ID=0403" <<<"$trigger" ||
    { echo "postinst: tty trigger without ID_VENDOR_ID=0403: $trigger"; status=1; } ;;
  *) echo "postinst: a trigger beyond one of usb or tty: $trigger"; status=1 ;;
  esac
done <<<"$triggers"

depends="$(sed -n 's/^ Depends: //p' <<<"$info")"
for lib in libc6 libstdc\\+\\+6 libqt6widgets6 libqt6gui6 libqt6core6 libudev1 qt6-translations-l10n; do
  grep -qE "(^|, )$lib( |,|$)" <<<"$depends" || { echo "Depends lacks $lib: $depends"; status=1; }
done
grep -q '^ Package: plendoro$' <<<"$info" || { echo "package name is not plendoro"; status=1; }
grep -q '^ Architecture: ' <<<"$info" || { echo "no architecture"; status=1; }
grep -q 'postinst' <<<"$info" || { echo "no postinst"; status=1; }

((status == 0)) && echo "$(basename "$deb"): $(grep -c . <<<"$contents") entries; Depends: $depends"
exit $status
