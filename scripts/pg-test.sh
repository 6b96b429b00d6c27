#!/usr/bin/env bash
# A private PostgreSQL server for the tests and the benchmark, wholly inside
# FOLDER: its cluster in FOLDER/data, its Unix socket in FOLDER (for the
# administrator only), TCP on 127.0.0.1 at a free port written in FOLDER/porta,
# TLS only, passwords checked by SCRAM, its log in FOLDER/log. Nothing of the
# system's clusters or services is read or changed. Run as root, the server runs
# as the user postgres (PostgreSQL refuses root), so every folder above FOLDER
# must let that user through.
#
#   scripts/pg-test.sh avvia FOLDER [PID]   makes the cluster the first time, starts it;
#                                           with PID, stops it when that process ends
#   scripts/pg-test.sh ferma FOLDER [fast|immediate]
#
# The first start follows the README's "Il registro in laboratorio": a server
# certificate made with openssl (FOLDER/tls/server.crt, the PCs' sslrootcert),
# another one no PC trusts (FOLDER/tls/altro.crt), hostssl lines only, and a role
# quorvel without CREATEROLE owning the database quorvel. Every login of the
# tests has the password in FOLDER/password; FOLDER/pgpass (0600) holds it for
# libpq. Every failure says why and ends with status 1.
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
    # The server's certificate, as the README makes it, for the name the PCs use; and one of another server.
    mkdir -p "$d/tls"
    certificato() {
      openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=$2" -addext "subjectAltName=$3" \
        -keyout "$d/tls/$1.key" -out "$d/tls/$1.crt" >"$d/tls/$1.log" 2>&1 || {
        echo "openssl non fa il certificato $1:" >&2
        cat "$d/tls/$1.log" >&2
        exit 1
      }
    }
    certificato server localhost "DNS:localhost,IP:127.0.0.1"
    certificato altro localhost "DNS:localhost,IP:127.0.0.1"
    chmod 0644 "$d/tls/"*.crt
    chmod 0600 "$d/tls/"*.key
    [ ${#come[@]} -eq 0 ] || chown postgres: "$d/tls/server.key"
    # The administrator over the server's own socket; everyone else over TLS with a password.
    cat >"$d/data/pg_hba.conf" <<'HBA'
local    all       postgres                               trust
hostssl  quorvel   quorvel                 127.0.0.1/32   scram-sha-256
hostssl  quorvel   +quorvel_alunni         127.0.0.1/32   scram-sha-256
hostssl  quorvel   +quorvel_insegnanti     127.0.0.1/32   scram-sha-256
hostssl  all       all                     127.0.0.1/32   scram-sha-256
HBA
    [ ${#come[@]} -eq 0 ] || chown postgres: "$d/data/pg_hba.conf"
    password="prova-$(od -An -N8 -tx1 /dev/urandom | tr -d ' \n')"
    printf '%s\n' "$password" >"$d/password"
    printf '*:*:*:*:%s\n' "$password" >"$d/pgpass"
    chmod 0600 "$d/password" "$d/pgpass"
    nuovo=1
  fi
  # A free port, kept across restarts; another process may take it meanwhile, so a failed start tries the next.
  occupate() {
    local f sl locale remoto stato resto
    for f in /proc/net/tcp /proc/net/tcp6; do
      [ -r "$f" ] || continue
      while read -r sl locale remoto stato resto; do
        [ "$stato" = 0A ] && echo $((16#${locale##*:}))
      done < <(tail -n +2 "$f")
    done
  }
  partito=
  for tentativo in 1 2 3 4 5 6 7 8; do
    if [ -s "$d/porta" ] && [ "$tentativo" -eq 1 ]; then
      porta=$(cat "$d/porta")
    else
      porta=$((20000 + (RANDOM * 32768 + RANDOM) % 40000))
      occupate | grep -x "$porta" >/dev/null && continue
    fi
    if "${come[@]}" "$bin/pg_ctl" -D "$d/data" -l "$d/log" -w -t 60 \
      -o "-k $d -p $porta -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off -c ssl=on \
          -c ssl_cert_file=$d/tls/server.crt -c ssl_key_file=$d/tls/server.key \
          -c password_encryption=scram-sha-256" start >/dev/null 2>&1; then
      partito=1
      break
    fi
    tail -n 5 "$d/log" | grep "could not bind\|Address already in use" >/dev/null || break
  done
  [ -n "$partito" ] || {
    echo "il server PostgreSQL di prova non parte:" >&2
    tail -n 20 "$d/log" >&2
    exit 1
  }
  echo "$porta" >"$d/porta"
  if [ -n "${nuovo:-}" ]; then
    # The register's owner, without CREATEROLE: the groups are the administrator's (ServerPostgresProva).
    printf '%s\n' "CREATE ROLE quorvel LOGIN PASSWORD :'password';" "CREATE DATABASE quorvel OWNER quorvel;" |
      "${come[@]}" "$bin/psql" -X -q -h "$d" -p "$porta" -U postgres -d postgres -v ON_ERROR_STOP=1 \
        -v password="$(cat "$d/password")" >&2
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
