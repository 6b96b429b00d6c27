#!/usr/bin/env bash
# A private print server for the tests, wholly inside FOLDER: its own
# configuration, spool and logs, a socket in FOLDER, and queues that write
# PostScript files into FOLDER/out. Nothing of the system's print set-up is
# read or changed. Works as root and as an ordinary user.
#
#   scripts/cups-test.sh FOLDER
#
# Runs until it gets SIGTERM, then stops its server. When the server answers
# and the queues exist, FOLDER/pronto appears. Clients reach it with
#   CUPS_SERVER=FOLDER/cups.sock CUPS_SERVERROOT=FOLDER/client
# (the second keeps lpoptions and instances in FOLDER too, also for root).
#
# Queues, each printing to FOLDER/out/<queue>.ps (other characters than
# letters, digits, - and _ as _ in the file's name):
#   PDF_Prova          printable area the whole A4 page; the server's default;
#                      instance PDF_Prova/bozza
#   Aula-3_Stampante.è as PDF_Prova
#   Margini_18         A4 with 18 pt margins all round
#   Lettera            US Letter only, 18 pt margins
#   <b>Grassetto<b>    as PDF_Prova, a name that looks like markup
set -euo pipefail

d=$(realpath "$1")
mkdir -p "$d"/root/ppd "$d"/root/ssl "$d"/spool/tmp "$d"/cache "$d"/state "$d"/log "$d"/out "$d"/client "$d"/ppd
# Run as root the server hands jobs to its filters as the user lp, which must reach the folder.
chmod 0711 "$d"
chmod 0777 "$d"/out

{
  echo "ServerRoot $d/root"
  echo "CacheDir $d/cache"
  echo "StateDir $d/state"
  echo "RequestRoot $d/spool"
  echo "TempDir $d/spool/tmp"
  echo "AccessLog $d/log/access_log"
  echo "ErrorLog $d/log/error_log"
  echo "PageLog $d/log/page_log"
  # Else the server rewrites the system's printcap.
  echo "Printcap $d/printcap"
  echo "FileDevice Yes"
  [ "$(id -u)" -eq 0 ] && echo "SystemGroup root"
} >"$d/root/cups-files.conf"
cat >"$d/root/cupsd.conf" <<EOF
Listen $d/cups.sock
WebInterface No
Browsing No
LogLevel info
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF

ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
sed 's|^\*ImageableArea A4/A4: .*|*ImageableArea A4/A4: "18 18 577 824"|' "$ppd" >"$d/ppd/margini18.ppd"
# Letter only: every other paper size left out.
awk '/^\*(PageSize|PageRegion|ImageableArea|PaperDimension) / && !/^\*[A-Za-z]+ Letter\// { next }
     /^\*Default(PageSize|PageRegion|ImageableArea|PaperDimension):/ { sub(/: .*/, ": Letter") }
     /^\*ImageableArea Letter\// { $0 = "*ImageableArea Letter/US Letter: \"18 18 594 774\"" }
     { print }' "$ppd" >"$d/ppd/lettera.ppd"

server=
stop() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  exit 0
}
trap stop TERM INT EXIT

/usr/sbin/cupsd -f -c "$d/root/cupsd.conf" -s "$d/root/cups-files.conf" >>"$d/log/cupsd.out" 2>&1 &
server=$!

export CUPS_SERVER=$d/cups.sock CUPS_SERVERROOT=$d/client
for _ in $(seq 200); do lpstat -r >/dev/null 2>&1 && break; sleep 0.05; done
lpstat -r >/dev/null 2>&1 || { echo "the test print server did not start: see $d/log" >&2; stop; }

# The file is named after the queue with every character but letters, digits, - and _ as _.
queue() {
  lpadmin -p "$1" -v "file://$d/out/$(printf %s "$1" | LC_ALL=C tr -c 'A-Za-z0-9_-' _).ps" -E "${@:2}" \
    2> >(grep -v deprecated >&2 || true)
}
if [ ! -e "$d/root/printers.conf" ]; then
  queue PDF_Prova -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -D "Stampante di prova"
  queue "Aula-3_Stampante.è" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -D "Stampante dell'aula"
  queue Margini_18 -P "$d/ppd/margini18.ppd"
  queue Lettera -P "$d/ppd/lettera.ppd"
  queue "<b>Grassetto<b>" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
  lpadmin -d PDF_Prova
  # The clients' own file (read by every user), so an instance needs no home folder.
  echo "Dest PDF_Prova/bozza job-priority=10" >"$d/client/lpoptions"
fi
touch "$d/pronto"
wait "$server" || true
