#!/usr/bin/env bash
# Lays out a program folder from a build: the program and its tools, the
# companions and the help page (replaced with every build), and for a new
# user what the installed program lays out too (trimbo-layout: the folders,
# the background pictures, a starting Trimbo.ini, an empty diary and the
# viewer's exchange files). Files the user may have changed (settings, diary,
# photos, backgrounds) are written only when they are not there.
#   tools/layout.sh BUILD_DIR PROGRAM_DIR
set -euo pipefail

BUILD_DIR=$1
PROGRAM_DIR=$2
SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

mkdir -p "$PROGRAM_DIR"/{BoxingGame,Help}
install -m 755 "$BUILD_DIR/app/Trimbo" "$PROGRAM_DIR/Trimbo"
install -m 755 "$BUILD_DIR/diarytool/trimbo-diary" "$PROGRAM_DIR/trimbo-diary"
"$BUILD_DIR/tools/trimbo-layout" "$BUILD_DIR/starting" "$PROGRAM_DIR"

# The companions. The help page ships with the program and is replaced with
# it; it must not be executable, or the launcher would try to run it.
install -m 755 "$BUILD_DIR/companions/viewer/Figurat.exe" "$PROGRAM_DIR/BoxingGame/Figurat.exe"
install -m 755 "$BUILD_DIR/companions/boxing/Trimbo_flash.exe" "$PROGRAM_DIR/BoxingGame/Trimbo_flash.exe"
rm -f "$PROGRAM_DIR"/Help/*.png
install -m 644 "$SOURCE_DIR"/resources/help/TrimboMovie.html "$SOURCE_DIR"/resources/help/*.png "$PROGRAM_DIR/Help/"
