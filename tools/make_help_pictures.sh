#!/usr/bin/env bash
# Makes the pictures of the help page (resources/help/*.png) from the real
# program, so that they can be made again whenever the windows change:
#
#   tools/make_help_pictures.sh [BUILD_FOLDER [OUTPUT_FOLDER]]
#
# BUILD_FOLDER is a finished build (default: build/release of this checkout);
# this script builds nothing. It lays out a temporary program folder with a
# sample diary of about 80 days ending today (made with the built
# trimbo-diary), a Trimbo.ini whose graph shows those days and two day
# photos, lays out the rest as the set-up does (tools/layout.sh), runs trimbo-screenshots on it under Xvfb and
# keeps the pictures the page uses in OUTPUT_FOLDER (default:
# resources/help of this checkout). Needs xvfb-run and ImageMagick's convert.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=$(cd "${1:-$ROOT/build/release}" && pwd)
OUTPUT_DIR=${2:-$ROOT/resources/help}

log() { printf '%s\n' "$*" >&2; }
die() { log "make_help_pictures: $*"; exit 1; }

DIARY_TOOL="$BUILD_DIR/diarytool/trimbo-diary"
SCREENSHOTS="$BUILD_DIR/tools/trimbo-screenshots"
for tool in "$DIARY_TOOL" "$SCREENSHOTS"; do
  [ -x "$tool" ] || die "$tool is missing: build the project first (./trimbo build)"
done
command -v xvfb-run >/dev/null || die "xvfb-run is missing (apt-get install xvfb xauth)"
command -v convert >/dev/null || die "convert is missing (apt-get install imagemagick)"

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
PROGRAM="$WORK/Trimbo"
RAW="$WORK/shots"
mkdir -p "$PROGRAM/Picture" "$RAW" "$OUTPUT_DIR"
mkdir -m 700 "$WORK/runtime"   # Qt wants a private runtime folder

day() { date -d "$1 days ago" +%Y/%m/%d; }     # YYYY/MM/DD, $1 days before today
stamp() { date -d "$1 days ago" +%Y%m%d; }     # the same day as a photo name

# The diary covers DAYS days up to and including today; a few days are
# left out, as happens in a real diary. Two days have photos: one near the
# top of the list (so that the list's photo view shows it) and today (so
# that the entry tab shows it).
DAYS=80
PHOTO_EARLY=$((DAYS - 3))   # days ago
PHOTO_TODAY=0

# --- the graph settings, the diet's start and goal and the trend tab --------
# The trend and goal lines and the read-out are on, so that the trend tab's
# picture shows them. The graph's window starts two days before the first diary day (the start
# day itself is not drawn) and ends two days after today.
write_ini() {
  printf '%s\r\n' \
    '[Graph]' 'WUpper=72' 'WDown=62' 'FUpper=33' 'FDown=18' 'GraphVis=2' \
    "StartD=$(day $((DAYS + 1)))" "EndD=$(date -d '2 days' +%Y/%m/%d)" \
    'LineClW=255' 'LineClF=16711680' 'BckGrnd=8' 'TrimboVis=0' \
    '[Establish]' "DStartD=$(day $((DAYS - 1)))" 'DStartW=68.4' 'DStartF=28.1' 'GoalW=62' 'GoalF=24' \
    'FloatW=0' 'FloatF=0' \
    '[Trend]' 'Trend=1' 'GoalLines=1' 'LatestDays=0' 'Backups=0' 'ReadOut=1' > "$PROGRAM/Trimbo.ini"
}

# --- the sample diary as CSV, in the form `trimbo-diary show` prints --------
# Input lines: "N DATE PHOTO" (N = day number from 0). Weight and body fat
# drift down with a little wobble; the calorie levels and comments come
# from small tables, picked so that neighbouring days differ.
write_csv() {
  local i n date photo
  for ((i = 0; i < DAYS; i++)); do
    n=$((DAYS - 1 - i))            # days ago
    # Leave out some days, never the first, the photo days or the last week.
    if ((i % 11 == 6 && n > 7)) && ((n != PHOTO_EARLY)); then
      continue
    fi
    date=$(day "$n")
    photo=""
    if ((n == PHOTO_EARLY || n == PHOTO_TODAY)); then
      photo="$(stamp "$n").bmp"
    fi
    printf '%d %s %s\n' "$i" "$date" "$photo"
  done | awk '
    BEGIN {
      # intake comments, each with its level (0 少ない, 1 ふつう, 2 多い)
      nin = 0
      ci[nin] = "朝：ヨーグルトとバナナ\r\n昼：サラダとおにぎり一つ\r\n夜：湯豆腐で軽めに"; li[nin++] = 0
      ci[nin] = "朝：トーストとコーヒー\r\n昼：社員食堂の日替わり定食\r\n夜：焼き魚と味噌汁、ご飯は半膳"; li[nin++] = 1
      ci[nin] = "友人と焼肉。つい食べ過ぎてしまった…明日から気をつけます。"; li[nin++] = 2
      ci[nin] = "野菜スープを作り置き。夜はスープと鶏むね肉だけ。"; li[nin++] = 0
      ci[nin] = "昼にラーメン。スープは半分残した。"; li[nin++] = 1
      ci[nin] = "間食なし！ 夜は納豆ご飯と冷ややっこ。"; li[nin++] = 0
      ci[nin] = "会社の歓迎会。唐揚げとビールが止まらなかった。"; li[nin++] = 2
      ci[nin] = "朝：おにぎり\r\n昼：そば\r\n夜：野菜炒めと玄米ご飯"; li[nin++] = 1
      ci[nin] = "おやつにケーキを一つ。そのぶん夕食を控えめにした。"; li[nin++] = 1
      ci[nin] = "家族で回転寿司。十二皿も食べてしまった。"; li[nin++] = 2
      ci[nin] = "朝は抜いてしまった。昼と夜はふつうに。"; li[nin++] = 0
      # burn comments, each with its level
      nout = 0
      co[nout] = "一日中デスクワーク。ほとんど歩かなかった。"; lo[nout++] = 0
      co[nout] = "通勤で一駅手前から歩いた（約20分）。"; lo[nout++] = 1
      co[nout] = "ジムで筋トレ40分＋ランニング5km。汗をたくさんかいた。"; lo[nout++] = 2
      co[nout] = "雨で外に出られず。家でストレッチを10分だけ。"; lo[nout++] = 0
      co[nout] = "昼休みに散歩。階段を使うようにしている。"; lo[nout++] = 1
      co[nout] = "プールで1時間泳いだ。"; lo[nout++] = 2
      co[nout] = "買い物で7000歩。"; lo[nout++] = 1
      co[nout] = "サイクリングで隣町まで往復。\r\n帰りは向かい風でへとへと。"; lo[nout++] = 2
      co[nout] = "風邪気味なので運動はお休み。"; lo[nout++] = 0
      printf "date,weight,fat,intake,burn,comment_in,comment_out,photo\r\n"
    }
    {
      i = $1; date = $2; photo = (NF >= 3) ? $3 : ""
      a = (i * 7) % nin
      b = (i * 5 + 2) % nout
      w = 68.4 - 0.055 * i + 0.35 * sin(i * 0.9) + 0.15 * (li[a] - lo[b])
      f = 28.1 - 0.045 * i + 0.30 * sin(i * 0.7 + 1)
      printf "%s,%.1f,%.1f,%d,%d,\"%s\",\"%s\",%s\r\n", date, w, f, li[a], lo[b], ci[a], co[b], photo
    }'
}

# --- two day photos, Windows bitmaps named after their day ------------------
make_photos() {
  # A breakfast plate.
  convert -size 320x240 gradient:'#fff4e0-#f0c890' \
    -fill '#c8a070' -draw 'rectangle 0,170 320,240' \
    -fill white -stroke '#b0b0b0' -draw 'ellipse 160,130 120,70 0,360' \
    -stroke none -fill '#f5f0e0' -draw 'ellipse 160,130 95,52 0,360' \
    -fill '#7cb342' -draw 'circle 125,120 125,95' -draw 'circle 150,105 150,85' \
    -fill '#e53935' -draw 'circle 190,125 190,110' -draw 'circle 205,145 205,132' \
    -fill '#ffd54f' -draw 'ellipse 165,150 22,14 0,360' \
    "BMP3:$PROGRAM/Picture/$(stamp "$PHOTO_EARLY").bmp"
  # Running shoes by a path.
  convert -size 320x240 gradient:'#9fd4ff-#e8f6ff' \
    -fill '#7cbf6a' -draw 'rectangle 0,150 320,240' \
    -fill '#d9c8a0' -draw 'polygon 120,240 200,240 175,150 150,150' \
    -fill '#1e63c8' -draw 'roundrectangle 40,170 130,205 12,12' \
    -fill '#e53935' -draw 'roundrectangle 190,178 280,213 12,12' \
    -fill white -draw 'rectangle 40,198 130,205' -draw 'rectangle 190,206 280,213' \
    -fill '#fff59d' -draw 'circle 260,50 260,28' \
    "BMP3:$PROGRAM/Picture/$(stamp "$PHOTO_TODAY").bmp"
}

log "sample program folder: $PROGRAM"
write_ini
write_csv > "$WORK/diary.csv"
"$DIARY_TOOL" new "$PROGRAM/Bk_Trimbo.xls"
"$DIARY_TOOL" import "$PROGRAM/Bk_Trimbo.xls" "$WORK/diary.csv"
make_photos
# Everything else as the set-up lays it out; it keeps the settings, diary and photos above.
XDG_RUNTIME_DIR="$WORK/runtime" "$ROOT/tools/layout.sh" "$BUILD_DIR" "$PROGRAM"

log "taking the screenshots under Xvfb"
LC_ALL=C.UTF-8 XDG_RUNTIME_DIR="$WORK/runtime" xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
  "$SCREENSHOTS" "$PROGRAM" "$RAW" >&2

for shot in main-Tab_Enter main-Tab_Grph_Estb main-Tab_Boxing main-Tab_Trend main-readout setup list-0 list-1 list-2 \
  list-weeks list-months; do
  [ -s "$RAW/$shot.png" ] || die "trimbo-screenshots did not save $shot.png"
done

# --- the pictures the page uses ---------------------------------------------
# The main window is 872 x 669: the graph with its captions and bars is the
# top 392 rows, the tabs and buttons the rest.
keep() { # SOURCE NAME [convert options...]
  local source=$1 name=$2
  shift 2
  convert "$RAW/$source.png" "$@" +repage -strip "$OUTPUT_DIR/$name.png"
  log "$OUTPUT_DIR/$name.png"
}
keep main-Tab_Enter main
keep main-Tab_Enter graph -crop 872x392+0+0
keep main-Tab_Enter tab-enter -crop 872x279+0+390
keep main-Tab_Grph_Estb tab-graph -crop 872x279+0+390
keep main-Tab_Boxing tab-boxing -crop 872x279+0+390
keep main-Tab_Trend tab-trend -crop 872x279+0+390
keep setup setup
keep list-0 list-oneline
keep list-1 list-comments
keep list-2 list-photos
keep list-weeks list-weeks
keep main-readout readout -crop 872x392+0+0
