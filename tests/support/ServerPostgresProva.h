#pragma once

#include <QString>
#include <QTemporaryDir>

// A private PostgreSQL server in a temporary folder of its own (scripts/pg-test.sh), set up
// as the README's "Il registro in laboratorio" tells: clients over TLS on 127.0.0.1, the
// server's certificate verified (verify-full), passwords checked by SCRAM; the database
// quorvel owned by the role quorvel, without CREATEROLE; the register's groups made by the
// administrator's SQL. Stopped by its pid when this object goes, and by the script's watcher
// if the test process dies first.
class ServerPostgresProva {
public:
    ServerPostgresProva();
    ~ServerPostgresProva();

    // Makes the cluster the first time and starts it, then runs the administrator's SQL (which
    // changes nothing the second time); false with errore() saying exactly why.
    bool avvia();
    // fast: as an administrator stops it; immediate: as a crash.
    bool ferma(bool immediato = false);
    // A hung server that keeps its connections open: SIGSTOP to the postmaster and its children,
    // SIGCONT to them again. A stopped server is not a down one: clients wait unless they bound it.
    bool sospendi();
    bool riprendi();
    QString errore() const { return errore_; }

    QString cartella() const { return cartella_.path() + QStringLiteral("/pg"); }
    int porta() const;
    // A connection string for `utente` (the owner by default) to `database`, as a lab's PC writes it:
    // verify-full against the server's certificate, or against `certificato` (a file in tls/).
    QString conninfo(const QString &utente = QStringLiteral("quorvel"),
                     const QString &database = QStringLiteral("quorvel"),
                     const QString &certificato = QStringLiteral("server.crt")) const;
    // Every login of the tests has this password, which conninfo()'s password file holds.
    QString password() const;
    // A login with that password, in `gruppo` when given.
    bool creaLogin(const QString &nome, const QString &gruppo = {});
    // Runs SQL as the superuser with psql; its output, or a null string with errore() set.
    QString psql(const QString &sql, const QString &database = QStringLiteral("quorvel"));
    // Runs SQL with psql as `utente` over TLS, as a PC reaches the server (conninfo, then `altro`);
    // its output, or a null string with errore() holding psql's words.
    QString psqlCome(const QString &utente, const QString &sql, const QString &altro = {});

private:
    bool script(const QStringList &argomenti);
    // The postmaster's pid and those of its children, or empty with errore_ set.
    QList<qint64> processi();
    bool segnala(int segnale);

    QTemporaryDir cartella_;
    QString errore_;
    bool acceso_ = false;
    bool sospeso_ = false;
};
