#!/usr/bin/env bash
# Takes the user's guide pictures in docs/ from the real program, under a virtual X display:
# a scratch folder gets sample pages, a favorites page and a base2.cfg, the program starts
# there, and xdotool presses its buttons as a person would.
#   scripts/screenshots.sh [PROGRAM]     (default build/src/app/quovadex3; needs xvfb-run,
#                                         xdotool and imagemagick)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --inside-display ]; then
    program=$(realpath "${1:-build/src/app/quovadex3}")
    [ -x "$program" ] || { echo "screenshots: $program not built; run 'make build'" >&2; exit 1; }
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" bash "$0" --inside-display "$program"
fi
program=$2
docs=$PWD/docs

# The folder name shows in the pictures' addresses.
work=$(mktemp -d /tmp/utente.XXXXXX)
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# --- The sample folder --------------------------------------------------------------------
page() { # page FILE TITLE BODY
    cat >"$work/$1" <<HTML
<!DOCTYPE html>
<html lang="it"><head><meta charset="utf-8"><title>$2</title>
<style>
  body { font-family: "Liberation Sans", sans-serif; margin: 10px 14px; background: #fff; }
  h1 { font-size: 19px; margin: 4px 0 10px; color: #123; }
  table { border-collapse: collapse; width: 100%; font-size: 14px; }
  th { background: #1d4f86; color: #fff; text-align: right; padding: 3px 8px; }
  th:first-child, td:first-child { text-align: left; }
  td { text-align: right; padding: 2px 8px; border-bottom: 1px solid #ddd; }
  .up { color: #1a7f2e; } .down { color: #c62828; }
  p { font-size: 14px; margin: 6px 0; }
</style></head><body>
$3
</body></html>
HTML
}

quotes='<h1>Borsa di Milano - titoli principali</h1>
<table><tr><th>Titolo</th><th>Prezzo</th><th>Var.</th><th>Ora</th></tr>'
while read -r name price change; do
    class=up; [ "${change:0:1}" = - ] && class=down
    quotes+="<tr><td>$name</td><td>$price</td><td class=$class>$change%</td><td>17:35</td></tr>"
done <<'ROWS'
ALFA-ENERGIA 15.691 -0.38
BANCA-DEL-PORTO 29.775 +1.46
COSTRUZIONI-RIVA 25.292 +2.51
DOLOMITI-ASSICURA 14.872 +0.22
EDITRICE-LAGUNA 47.225 -1.96
FERROVIE-NORD-EST 14.435 +0.56
GRANITI-SARDI 48.426 -1.84
IDROELETTRICA-ALPI 9.812 +0.12
LANIFICIO-BIELLA 3.207 -0.75
ROWS
page quotazioni.htm "Quotazioni" "$quotes</table>"

rates='<h1>Cambi del giorno</h1>
<table><tr><th>Valuta</th><th>Per 1 Euro</th><th>Var.</th></tr>'
while read -r name rate change; do
    class=up; [ "${change:0:1}" = - ] && class=down
    rates+="<tr><td>$name</td><td>$rate</td><td class=$class>$change%</td></tr>"
done <<'ROWS'
Dollaro-USA 1.0842 +0.21
Sterlina 0.8571 -0.08
Franco-svizzero 0.9613 +0.05
Yen 162.41 -0.33
Corona-svedese 11.283 +0.12
ROWS
page cambi.htm "Cambi" "$rates</table>"

page notizie.htm "Notizie" '<h1>Notizie dai mercati</h1>
<p><b>17:40</b> Chiusura positiva per il listino principale.</p>
<p><b>16:05</b> Volumi in crescita sui titoli delle costruzioni.</p>
<p><b>12:30</b> Stabile lo spread; cambi poco mossi.</p>'

# The favorites page as the program writes it: one link line per added page.
printf '<a href=%s>%s</a></font></p>\r\n' \
    "$work/quotazioni.htm" "Quotazioni" "$work/cambi.htm" "Cambi" >"$work/Preferiti.htm"

# base2.cfg: caption and address of the six sites, then the upper pane's start page.
printf '%s\r\n' \
    Borsa "$work/quotazioni.htm" \
    Cambi "$work/cambi.htm" \
    Notizie "$work/notizie.htm" \
    Indici "https://indici.example/ftse-mib" \
    Fondi "https://fondi.example/" \
    Meteo "https://meteo.example/milano" \
    "$work/quotazioni.htm" >"$work/base2.cfg"

# --- The program ----------------------------------------------------------------------------
mkdir -p "$work/home"
export HOME=$work/home XDG_RUNTIME_DIR=$work/home LANG=C.UTF-8 LC_ALL=C.UTF-8
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-background-networking --disable-component-update"
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
(cd "$work" && exec "$program" >"$work/program.log" 2>&1) &
app_pid=$!

main=$(xdotool search --sync --onlyvisible --name '^Doppio Quovadex$' | head -1)
sleep 6

# Clicks at a point given in the window's client pixels.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep "${4:-0.6}"; }

# Captures one window from the whole screen, as a person sees it; SIZE keeps only the
# window's top left corner.
shoot() { # shoot WINDOW FILE [SIZE]
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$1")"
    local size=${3:-${WIDTH}x${HEIGHT}}
    import -window root "$work/screen.png"
    convert "$work/screen.png" -crop "${size}+${X}+${Y}" +repage "$docs/$2"
    echo "screenshots: docs/$2 ($size)"
}

# Main window, 96 dpi: one twip is 1/15 pixel. Points are the middles of the controls.
site1=(68 12) site2=(125 12) site3=(182 12)
go_upper=(15 137) go_lower=(15 401)
file_button=(20 12) history_button=(648 12) configura=(417 12) calculator_icon=(693 25)

# Three addresses through the two "GO" buttons fill the history; the upper pane ends on the
# quotes, the lower one on the exchange rates.
click "$main" "${site3[@]}"; click "$main" "${go_upper[@]}" 1
click "$main" "${site2[@]}"; click "$main" "${go_lower[@]}" 1
click "$main" "${site1[@]}"; click "$main" "${go_upper[@]}" 3
shoot "$main" main-window.png

click "$main" "${history_button[@]}"
shoot "$main" history-list.png 570x240
click "$main" "${history_button[@]}"

click "$main" "${file_button[@]}"
shoot "$main" file-list.png 570x240
click "$main" "${file_button[@]}"

# Secondary windows open over the main one; without a window manager they are moved aside.
click "$main" "${configura[@]}" 1
editor=$(xdotool search --onlyvisible --name '^Configurazione$' | head -1)
xdotool windowmove "$editor" 0 660; sleep 0.5
shoot "$editor" settings-editor.png

click "$main" "${calculator_icon[@]}" 1
calc=$(xdotool search --onlyvisible --name '^Euro Calcolatore' | head -1)
xdotool windowmove "$calc" 900 0; sleep 0.5
# The keys 5, 0, 0, 0, 0 and "Euro" convert 50000 Lire to Euro.
key5=(61 159) key0=(41 239) euro=(39 50)
click "$calc" "${key5[@]}" 0.3
for _ in 1 2 3 4; do click "$calc" "${key0[@]}" 0.3; done
click "$calc" "${euro[@]}"
shoot "$calc" calculator.png
