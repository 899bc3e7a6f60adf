#!/bin/sh
# Installs the build into a temporary prefix and checks the desktop files the
# way distributions do: desktop-file-validate, appstreamcli and xmllint.
# Usage: check-desktop-files.sh BUILD_DIR
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
for file in "$prefix/bin/lumora" "$prefix/bin/lumora-cli" "$share/applications/lumora.desktop" \
    "$share/mime/packages/lumora.xml" "$share/metainfo/io.lumora.Lumora.metainfo.xml" \
    "$share/icons/hicolor/scalable/apps/lumora.svg" \
    "$share/icons/hicolor/scalable/mimetypes/application-x-lumora-project.svg" "$share/lumora/lumora_fr.lng"; do
    [ -e "$file" ] || { echo "missing after install: $file"; exit 1; }
done
desktop-file-validate "$share/applications/lumora.desktop"
appstreamcli validate --no-net --pedantic "$share/metainfo/io.lumora.Lumora.metainfo.xml"
xmllint --noout "$share/mime/packages/lumora.xml" "$share/metainfo/io.lumora.Lumora.metainfo.xml" \
    "$share/icons/hicolor/scalable/apps/lumora.svg" \
    "$share/icons/hicolor/scalable/mimetypes/application-x-lumora-project.svg"
# The file type really is found by its extension.
if command -v update-mime-database >/dev/null; then
    update-mime-database "$share/mime" >/dev/null 2>&1
    grep -q "application/x-lumora-project" "$share/mime/globs2" || { echo "no .dsv glob"; exit 1; }
fi
echo "desktop files valid"
