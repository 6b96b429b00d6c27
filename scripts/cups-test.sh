# Sourced by scripts/test: a print server with two PDF queues for the print tests.
# Adds the server's pid to the caller's "pids" and exports where the PDFs land.

cups_running() { lpstat -r 2>/dev/null | grep -qv 'not running'; }

start_cups() {
  local out=/var/spool/cups-pdf/quorvel
  mkdir -p "$out"
  chmod 0777 "$out"
  # One fixed folder for every job, whatever user prints.
  sed -i "s|^#\?Out .*|Out $out|" /etc/cups/cups-pdf.conf
  if ! cups_running; then
    /usr/sbin/cupsd -f >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 200); do cups_running && break; sleep 0.05; done
  fi
  local ppd=lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
  { lpadmin -p PDF_Prova -v cups-pdf:/ -E -m "$ppd" -D "Stampante di prova"
  lpadmin -p "Aula-3_Stampante.è" -v cups-pdf:/ -E -m "$ppd" -D "Stampante dell'aula"
  lpadmin -d PDF_Prova; } 2> >(grep -v "deprecated" >&2)
  export QUORVEL_CUPS=1
  export QUORVEL_CUPS_OUT=$out
  export QUORVEL_CUPS_DEFAULT=PDF_Prova
  export QUORVEL_CUPS_OTHER="Aula-3_Stampante.è"
}
