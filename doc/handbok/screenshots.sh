#!/usr/bin/env bash
# The handbook's example books and its screenshots, made again from nothing.
#
#   doc/handbok/screenshots.sh [-b BINDIR] [-o OUTDIR] [-k HOMEDIR] [SHOT ...]
#
#   -b BINDIR   where bfnolk and bfnolkw64 are (default: build/bin of this work tree)
#   -o OUTDIR   where the pictures go (default: doc/handbok/bilder of this work tree)
#   -k HOMEDIR  build the books in this home folder and keep it (default: /tmp/hb, made
#               for the run and removed at the end)
#   SHOT        only these pictures (their names without .png); default all
#
# The books are the association "Föreningen" of the handbook's examples: a chart of accounts,
# a template and a year of monthly verifications, all entered with bfnolk at fixed dates so
# that every run gives the same books. Each picture is then taken by tools/screenshots.sh,
# which starts the window program on a private X server in that home and drives it with
# keys. Needs Xvfb, xdotool and ImageMagick (Debian: xvfb, xdotool, imagemagick); the
# pictures are reduced to 128 colours so that they stay small. The window program reads the
# machine's clock, so the date of the new verification in its picture is the day of the run.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$here/../.." && pwd)
bindir="$tree/build/bin"
outdir="$here/bilder"
keephome=""

while getopts "b:o:k:h" option; do
  case $option in
    b) bindir=$OPTARG ;;
    o) outdir=$OPTARG ;;
    k) keephome=$OPTARG ;;
    *) sed -n '2,/^set -euo/p' "$0" | sed -e '$d' -e 's/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
bindir=$(cd "$bindir" && pwd)
mkdir -p "$outdir"
outdir=$(cd "$outdir" && pwd)

# The main window shows the data directory, so the home has a short name that stays the same.
if [ -n "$keephome" ]; then
  rm -rf "$keephome"
  mkdir -p "$keephome"
  home=$(cd "$keephome" && pwd)
else
  home=/tmp/hb
  mkdir "$home" || { echo "screenshots: $home is there already (another run, or one that was stopped: remove it)" >&2; exit 1; }
  trap 'rm -rf "$home"' EXIT
fi

# --- The example books --------------------------------------------------------------------
books() {
  export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
  export XDG_CACHE_HOME="$home/.cache" XDG_DOCUMENTS_DIR="$home/Documents" XDG_RUNTIME_DIR="$home/runtime"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_DOCUMENTS_DIR" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  local b="$bindir/bfnolk" data="$home/Documents/BFNOLKW64/data"
  at() {
    "$b" --now "$1 10:00:00" "${@:2}" >/dev/null 2>"$home/bfnolk.err" || { cat "$home/bfnolk.err" >&2; return 1; }
  }

  at 2026-01-02 init --yes
  at 2026-01-02 new --name Föreningen --from 2026-01-01 --to 2026-12-31
  at 2026-01-02 account add 1910 --name Kassa --ref Kontantkassa --sign + --opening 500
  at 2026-01-02 account add 1930 --name Bank --ref Föreningskonto --sign + --opening 12000
  at 2026-01-02 account add 2440 --name Skulder --ref "Obetalda fakturor" --sign -
  at 2026-01-02 account add 3010 --name Medlem --ref Medlemsavgifter --sign - --budget 24000
  at 2026-01-02 account add 3020 --name Bidrag --ref "Bidrag och gåvor" --sign - --budget 5000
  at 2026-01-02 account add 5010 --name Hyra --ref Lokalhyra --sign + --budget 18000
  at 2026-01-02 account add 6110 --name Kontor --ref Kontorsmaterial --sign + --budget 2000
  # One account comes from an exchange file, as an account plan from another bookkeeping would.
  printf '%s\r\n' '; ett konto att läsa in' '6570,Bankkost,+,Bankavgifter,0.00,600.00,0.00' |
    iconv -f UTF-8 -t WINDOWS-1252 >"$home/bankkost.bfr"
  at 2026-01-02 import plan "$home/bankkost.bfr" --balance opening
  # Sum group 1: the money the association has, chosen account by account.
  at 2026-01-02 change 1 --group 0=Övriga --group-accounts 1=1910,1930

  # The members' address labels and the electricity bill's plusgiro form.
  at 2026-01-02 label add --line "Föreningen" --line "Storgatan 1" --line "123 45 Orten"
  at 2026-01-02 label add --line "Kassören" --line "Parkvägen 3" --line "123 46 Orten"
  at 2026-01-02 giro plus add --payee Elleverantören --account1 18 --amount 250 --message "Elräkning januari" --sender Föreningen

  # The template of the monthly rent: the month's name in the text, the amount fixed.
  printf '%s\r\n' '; hyran för lokalen, betalas från banken' 'Hyra #MONTH' '5010,1500,+' '1930,0,=' |
    iconv -f UTF-8 -t WINDOWS-1252 >"$data/hyra.ver"
  printf '%s\r\n' '; medlemsavgifter insatta på banken: skriv beloppet' 'Avgifter #MONTH' '1930,0,+' '3010,0,=' |
    iconv -f UTF-8 -t WINDOWS-1252 >"$data/avgifter.ver"

  # A year in date order: the rent on the first of each month, the rest as it came.
  local month
  for month in 01 02 03 04 05 06 07 08 09 10 11 12; do
    at "2026-$month-01" ver play "$data/hyra.ver"
    case $month in
      01) at 2026-01-20 ver play "$data/avgifter.ver" --amount 1=9600 ;;
      02) at 2026-02-14 ver add --text "Kontorsmaterial" 6110:+:245.50 1910:-:245.50 ;;
      03) at 2026-03-31 ver add --text "Bankavgift kvartal 1" 6570:+:150 1930:-:150 ;;
      04) at 2026-04-10 ver add --text "Bidrag från kommunen" 1930:+:5000 3020:-:5000 ;;
      05) at 2026-05-20 ver play "$data/avgifter.ver" --amount 1=7200 ;;
      06) at 2026-06-30 ver add --text "Bankavgift kvartal 2" 6570:+:150 1930:-:150 ;;
      09) at 2026-09-15 ver play "$data/avgifter.ver" --amount 1=4800
          at 2026-09-30 ver add --text "Bankavgift kvartal 3" 6570:+:150 1930:-:150 ;;
      10) at 2026-10-05 ver add --text "Papper och porto" 6110:+:380 2440:-:380 ;;
      11) at 2026-11-02 ver add --text "Faktura papper betald" 2440:+:380 1930:-:380 ;;
    esac
  done
  "$b" verify >/dev/null
}

# --- The pictures -------------------------------------------------------------------------
# Each picture is one run of the window program: its name, then the steps of tools/screenshots.sh
# from the main window on, the last of which saves the picture under that name.
shots=(
  "huvudfonster|win:huvudfonster"
  "bokforing|key:alt+a key:Down key:Down key:Return wait:^bokföring$ win:bokforing key:Escape"
  "kontoregister|key:alt+k key:Return wait:^kontoregister$ win:kontoregister key:Escape"
  "konto|key:alt+k key:Return wait:^kontoregister$ key:Down key:Tab key:Tab key:space wait:^konto$ win:konto key:Escape"
  "verifikation|key:alt+v key:Return wait:^inmating.verifikation$ type:Kassa.till.bank key:Return type:1930 key:Tab type:200 key:Return key:Return type:1910 key:equal key:Return win:verifikation key:Escape"
  "grafiskt|key:alt+s key:Return sleep:2 shot:grafiskt"
  "etikettregister|key:alt+x key:Down key:Down key:Down key:Return wait:^etikettregister$ win:etikettregister key:Escape"
  "giroblankett|key:alt+x key:Return wait:^plusgiroregister$ key:Down key:Tab key:Tab key:space wait:^plusgiroblankett$ win:giroblankett key:Escape"
  "huvudbok|key:alt+v key:Down key:Down key:Return wait:^Välj.konto key:Down key:Return sleep:2 shot:huvudbok"
)

take() {
  local name=$1 steps=$2 scratch
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/handbok-shot.XXXXXX")
  # The steps are words; a "." in a text to type or a title stands for a blank.
  local words=() word
  for word in $steps; do words+=("${word//./ }"); done
  # A run now and then loses a race with the X server; one more try then.
  "$tree/tools/screenshots.sh" -p "$bindir/bfnolkw64" -H "$home" -o "$scratch" -g 1280x800x24 \
    -w '^BFNOLKW64' -- "${words[@]}" >/dev/null ||
    "$tree/tools/screenshots.sh" -p "$bindir/bfnolkw64" -H "$home" -o "$scratch" -g 1280x800x24 \
      -w '^BFNOLKW64' -- "${words[@]}" >/dev/null
  # A picture of the screen loses the X server's black around the windows; 128 colours keep
  # every picture small.
  local trim=()
  [[ " $steps " == *" shot:$name "* ]] && trim=(-trim +repage)
  convert "$scratch/$name.png" "${trim[@]}" -strip +dither -colors 128 -define png:compression-level=9 "$outdir/$name.png"
  rm -rf "$scratch"
  echo "$outdir/$name.png"
}

books
for shot in "${shots[@]}"; do
  name=${shot%%|*}
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
  take "$name" "${shot#*|}"
done
# The pictures leave the books as they were.
"$bindir/bfnolk" verify >/dev/null
