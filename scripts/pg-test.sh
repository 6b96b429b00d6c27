#!/usr/bin/env bash
# A private PostgreSQL server for the tests and the benchmark, wholly inside
# FOLDER: its cluster in FOLDER/data, its Unix socket in FOLDER, no TCP port,
# its log in FOLDER/log. Nothing of the system's clusters or services is read
# or changed. Run as root, the server runs as the user postgres (PostgreSQL
# refuses root), so every folder above FOLDER must let that user through.
#
#   scripts/pg-test.sh avvia FOLDER [PID]   makes the cluster the first time, starts it;
#                                           with PID, stops it when that process ends
#   scripts/pg-test.sh ferma FOLDER [fast|immediate]
#
# The first start makes the superuser postgres and a role quorvel (LOGIN
# CREATEROLE) owning the database quorvel, as the README tells an
# administrator to; clients reach it with "host=FOLDER dbname=quorvel user=quorvel".
# Every failure says why and ends with status 1.
set -euo pipefail

azione=${1:-}
[ $# -ge 2 ] || { echo "uso: $0 avvia|ferma FOLDER [...]" >&2; exit 2; }
d=$(realpath -m "$2")
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -n "$bin" ] && [ -x "$bin/pg_ctl" ] || {
  echo "PostgreSQL non installato: manca /usr/lib/postgresql/*/bin/pg_ctl (scripts/deps test)" >&2
  exit 1
}

come=()
if [ "$(id -u)" -eq 0 ]; then
  id postgres >/dev/null 2>&1 || { echo "manca l'utente postgres (pacchetto postgresql)" >&2; exit 1; }
  come=(runuser -u postgres --)
fi

ferma() {
  [ -f "$d/data/postmaster.pid" ] || return 0
  "${come[@]}" "$bin/pg_ctl" -D "$d/data" -m "${1:-fast}" -w -t 60 stop >/dev/null
}

case $azione in
avvia)
  mkdir -p "$d"
  if [ ${#come[@]} -gt 0 ]; then
    chown postgres: "$d"
    chmod 0700 "$d"
    "${come[@]}" test -x "$d" || {
      echo "l'utente postgres non raggiunge $d: ogni cartella sopra deve permettere l'attraversamento (chmod o+x)" >&2
      exit 1
    }
  fi
  if [ ! -f "$d/data/PG_VERSION" ]; then
    "${come[@]}" "$bin/initdb" -D "$d/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 >"$d/initdb.log" 2>&1 || {
      echo "initdb non riuscito:" >&2
      tail -n 20 "$d/initdb.log" >&2
      exit 1
    }
    nuovo=1
  fi
  "${come[@]}" "$bin/pg_ctl" -D "$d/data" -l "$d/log" -w -t 60 \
    -o "-k $d -c listen_addresses='' -c fsync=off -c full_page_writes=off" start >/dev/null 2>&1 || {
    echo "il server PostgreSQL di prova non parte:" >&2
    tail -n 20 "$d/log" >&2
    exit 1
  }
  if [ -n "${nuovo:-}" ]; then
    "${come[@]}" "$bin/psql" -X -q -h "$d" -U postgres -d postgres -v ON_ERROR_STOP=1 \
      -c "CREATE ROLE quorvel LOGIN CREATEROLE" -c "CREATE DATABASE quorvel OWNER quorvel" >&2
  fi
  if [ -n "${3:-}" ]; then
    # Stops the server when the process that asked for it ends, even killed.
    custode=$3
    pidserver=$(head -n 1 "$d/data/postmaster.pid")
    (
      trap '' HUP INT TERM
      while kill -0 "$custode" 2>/dev/null && kill -0 "$pidserver" 2>/dev/null; do sleep 1; done
      if kill -0 "$pidserver" 2>/dev/null && [ "$(head -n 1 "$d/data/postmaster.pid" 2>/dev/null)" = "$pidserver" ]; then
        kill -INT "$pidserver"
        # A test that hung the server (kill -STOP) and died before letting it go: let it hear the INT.
        for p in "$pidserver" $(ps -o pid= --ppid "$pidserver"); do kill -CONT "$p" 2>/dev/null || true; done
      fi
    ) </dev/null >/dev/null 2>&1 &
  fi
  ;;
ferma)
  ferma "${3:-fast}" || { echo "il server PostgreSQL di prova non si ferma: vedi $d/log" >&2; exit 1; }
  ;;
*)
  echo "uso: $0 avvia|ferma FOLDER [...]" >&2
  exit 2
  ;;
esac
