#!/usr/bin/env bash
# `cmake --install` into a fresh prefix puts every file where its reader looks: the window
# program's info box reads ../share/doc/bfnolk/README.md beside the program, bash-completion
# loads completions/NAME for the command NAME, the desktop and AppStream tools read their folders.
# usage: install_test.sh BUILD_DIR STAGING_DIR
build=$1 prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
failures=0
for file in bin/bfnolk bin/bfnolkw64 bin/isamtool \
  bin/../share/doc/bfnolk/README.md share/doc/bfnolk/copyright share/doc/bfnolk/changelog.Debian.gz \
  share/man/man1/bfnolk.1.gz share/man/man1/bfnolkw64.1.gz share/man/man1/isamtool.1.gz \
  share/bash-completion/completions/bfnolk share/applications/bfnolk.desktop \
  share/icons/hicolor/scalable/apps/bfnolk.svg share/metainfo/invalid.bfnolk.bfnolk.metainfo.xml; do
  [[ -f $prefix/$file ]] || { echo "FAIL: $file is not installed"; failures=$((failures + 1)); }
done
for program in bfnolk bfnolkw64 isamtool; do
  [[ -x $prefix/bin/$program ]] || { echo "FAIL: bin/$program is not executable"; failures=$((failures + 1)); }
done
# The man pages are whole after their compression.
for page in "$prefix"/share/man/man1/*.1.gz; do
  gzip -t "$page" && zcat "$page" | grep -q '^\.TH ' || { echo "FAIL: $page"; failures=$((failures + 1)); }
done
# The metadata names the desktop entry that is installed.
id=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$prefix"/share/metainfo/*.metainfo.xml)
[[ -f $prefix/share/applications/$id ]] || { echo "FAIL: the metadata launches $id, which is not installed"; failures=$((failures + 1)); }
rm -rf "$prefix"
((failures == 0)) || exit 1
echo "every file installed where it is looked for"
