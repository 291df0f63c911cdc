#!/usr/bin/env bash
# The installed documents as their readers check them: the man pages through groff with every
# warning on (and a NAME line whatis can read), the desktop entry through
# desktop-file-validate, the AppStream metadata through appstreamcli, the completion through
# bash's own parser.
# usage: lint_test.sh PACKAGING_SOURCE_DIR
packaging=$1
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

for page in "$packaging"/man/*.1; do
  warnings=$(preconv "$page" | groff -man -Tutf8 -ww -z 2>&1)
  [[ -z $warnings ]] || fail "$page: $warnings"
  name=$(lexgrog "$page" 2>&1) || fail "$page: lexgrog: $name"
done
desktop-file-validate "$packaging/desktop/bfnolk.desktop" || fail "bfnolk.desktop"
appstreamcli validate --no-net "$packaging"/desktop/*.metainfo.xml || fail "the AppStream metadata"
bash -n "$packaging/completion/bfnolk" || fail "the completion does not parse"
# The metadata's launchable is the desktop entry that is installed, and names its icon.
grep -q '<launchable type="desktop-id">bfnolk.desktop</launchable>' "$packaging"/desktop/*.metainfo.xml ||
  fail "the metadata does not launch bfnolk.desktop"
grep -qx 'Icon=bfnolk' "$packaging/desktop/bfnolk.desktop" || fail "the desktop entry does not name the icon bfnolk"

((failures == 0)) || exit 1
echo "man pages, desktop entry, metadata and completion pass their checks"
