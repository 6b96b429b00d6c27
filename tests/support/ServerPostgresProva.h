#pragma once

#include <QString>
#include <QTemporaryDir>

// A private PostgreSQL server in a temporary folder of its own (scripts/pg-test.sh):
// a Unix socket there, no TCP port, a database quorvel owned by the role quorvel.
// Stopped by its pid when this object goes, and by the script's watcher if the
// test process dies first.
class ServerPostgresProva {
public:
    ServerPostgresProva();
    ~ServerPostgresProva();

    // Makes the cluster the first time and starts it; false with errore() saying exactly why.
    bool avvia();
    // fast: as an administrator stops it; immediate: as a crash.
    bool ferma(bool immediato = false);
    // A hung server that keeps its connections open: SIGSTOP to the postmaster and its children,
    // SIGCONT to them again. A stopped server is not a down one: clients wait unless they bound it.
    bool sospendi();
    bool riprendi();
    QString errore() const { return errore_; }

    QString cartella() const { return cartella_.path() + QStringLiteral("/pg"); }
    // A connection string for `utente` (the owner by default) to the database quorvel.
    QString conninfo(const QString &utente = QStringLiteral("quorvel")) const;
    // Runs SQL as the superuser with psql; its output, or a null string with errore() set.
    QString psql(const QString &sql, const QString &database = QStringLiteral("quorvel"));

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
