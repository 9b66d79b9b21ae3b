#!/usr/bin/env bash
# Lays out a program folder from a build: the program and its tools, the
# folders it expects, the background pictures, and for a new user a starting
# Trimbo.ini and an empty diary. Files the user may have changed (settings,
# diary, photos, backgrounds) are written only when they are not there.
#   tools/layout.sh BUILD_DIR PROGRAM_DIR
set -euo pipefail

BUILD_DIR=$1
PROGRAM_DIR=$2
SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# A new user's settings: the 30 days up to today on the graph, limits that
# suit an adult, and the diet starting today with its values still to fill in.
write_default_ini() {
  local background=0
  [ -f "$PROGRAM_DIR/BkGrnd/White.bmp" ] && background=1
  printf '%s\r\n' \
    '[Graph]' 'WUpper=100' 'WDown=40' 'FUpper=40' 'FDown=10' 'GraphVis=0' \
    "StartD=$(date -d '29 days ago' +%Y/%m/%d)" "EndD=$(date +%Y/%m/%d)" \
    'LineClW=255' 'LineClF=16711680' "BckGrnd=$background" 'TrimboVis=0' \
    '[Establish]' "DStartD=$(date +%Y/%m/%d)" 'DStartW=' 'DStartF=' 'GoalW=' 'GoalF=' \
    'FloatW=0' 'FloatF=0' > "$PROGRAM_DIR/Trimbo.ini"
}

mkdir -p "$PROGRAM_DIR"/{Picture,BkGrnd,BoxingGame,Help}
install -m 755 "$BUILD_DIR/app/Trimbo" "$PROGRAM_DIR/Trimbo"
install -m 755 "$BUILD_DIR/store/trimbo-diary" "$PROGRAM_DIR/trimbo-diary"
QT_QPA_PLATFORM=offscreen "$BUILD_DIR/tools/trimbo-backgrounds" "$PROGRAM_DIR/BkGrnd"
[ -e "$PROGRAM_DIR/Trimbo.ini" ] || write_default_ini
[ -e "$PROGRAM_DIR/Bk_Trimbo.xls" ] || "$PROGRAM_DIR/trimbo-diary" new "$PROGRAM_DIR/Bk_Trimbo.xls"

# The companions. The help page ships with the program and is replaced with
# it; it must not be executable, or the launcher would try to run it.
install -m 755 "$BUILD_DIR/companions/viewer/Figurat.exe" "$PROGRAM_DIR/BoxingGame/Figurat.exe"
install -m 755 "$BUILD_DIR/companions/boxing/Trimbo_flash.exe" "$PROGRAM_DIR/BoxingGame/Trimbo_flash.exe"
rm -f "$PROGRAM_DIR"/Help/*.png
install -m 644 "$SOURCE_DIR"/resources/help/TrimboMovie.html "$SOURCE_DIR"/resources/help/*.png "$PROGRAM_DIR/Help/"
# The diary hands the viewer its levels only through files that exist.
for exchange in Beforedata.txt data.txt; do
  [ -e "$PROGRAM_DIR/BoxingGame/$exchange" ] || printf '1\r\n' > "$PROGRAM_DIR/BoxingGame/$exchange"
done
