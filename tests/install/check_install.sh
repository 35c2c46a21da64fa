#!/usr/bin/env bash
# Installs the build into a staging folder and checks the tree: the three
# programs, the menu entry, the icon, the metainfo, the guide and the
# examples, the menu entry and the metainfo valid by their standard validators.
# usage: check_install.sh BUILD_DIR STAGING_DIR
set -euo pipefail
build=$1
stage=$2
rm -rf "$stage"
cmake --install "$build" --prefix "$stage/usr" >/dev/null

status=0
expect() {
  if [ ! -e "$stage/usr/$1" ]; then
    echo "missing from the installed tree: usr/$1"
    status=1
  fi
}
for program in orvik orvik-asm orvik-run; do
  expect "bin/$program"
  [ -x "$stage/usr/bin/$program" ] || { echo "not executable: usr/bin/$program"; status=1; }
done
expect share/applications/org.orvik.Simulator.desktop
expect share/icons/hicolor/scalable/apps/org.orvik.Simulator.svg
expect share/metainfo/org.orvik.Simulator.metainfo.xml
expect share/doc/orvik/README.md
expect share/doc/orvik/docs/guide.md
expect share/doc/orvik/examples/README.md
for example in countdown bytecode; do
  for extension in oasm ctl mem md; do
    expect "share/doc/orvik/examples/$example.$extension"
  done
done
# Test tools stay out of the installed tree.
for tool in orvik-session run_scenario core_tests; do
  [ ! -e "$stage/usr/bin/$tool" ] || { echo "a test tool was installed: usr/bin/$tool"; status=1; }
done

desktop-file-validate "$stage/usr/share/applications/org.orvik.Simulator.desktop" || status=1
appstreamcli validate --no-net "$stage/usr/share/metainfo/org.orvik.Simulator.metainfo.xml" || status=1

# The installed assembler works from the installed examples.
"$stage/usr/bin/orvik-asm" --check "$stage/usr/share/doc/orvik/examples/countdown.ctl" \
  "$stage/usr/share/doc/orvik/examples/countdown.mem" || status=1

exit $status
