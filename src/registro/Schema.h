#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVariant>

#include <optional>

// The register's tables, as one numbered list of steps that runs on SQLite and
// on PostgreSQL alike. The database keeps the number of the last step it took;
// each step is one transaction, so a file is always at one version or the next.
namespace Schema {

// The number of the last step this program knows.
int versione();

// The lab's server takes a result at most three years after it was answered (by its own clock),
// well beyond the school years a register keeps, and beyond a PC's clock a year wrong; a PC that
// still held a result after that drops it.
constexpr qint64 attesaMassimaMs = 1096LL * 24 * 3600 * 1000;

// The version the database is at: 0 for an empty one, nothing when it holds
// tables that are not a register's (and `errore` says so).
std::optional<int> versioneDi(QSqlDatabase &db, QString *errore);

// Takes the steps the database has not taken yet, up to `finoA` (the last by
// default). Refuses, without writing, a database newer than the program.
bool migra(QSqlDatabase &db, QString *errore, int finoA = versione());

// The register's own id, made with it: results waiting on a PC are meant for one register,
// whatever the connection string or file name that reaches it. Nothing when it cannot be read.
std::optional<QString> identitaDi(QSqlDatabase &db);

// What two names of a class (or two classes) must not share: "Marco" and "marco" are one pupil.
QString chiave(const QString &nome);

// Ids are UUIDs made by the program, kept as their 16 bytes: the text form would
// make a school year's file half as big again.
QVariant id(const QString &testo);
QString id(const QVariant &valore);
// A new id whose first bytes are the time, so that new rows go to the end of the indexes.
QString nuovoId();

} // namespace Schema

// One write transaction. SQLite takes the write lock at the start (BEGIN
// IMMEDIATE), so a second copy of the program waits its turn in the busy
// timeout instead of failing half-way; other engines start an ordinary one.
// It holds its own handle of the connection: whoever drops the connection while
// the transaction is open (a failed write that closes it) leaves the guard a
// closed handle to roll back on, never freed memory.
class Transazione {
public:
    explicit Transazione(const QSqlDatabase &db);
    ~Transazione(); // rolls back unless confermata
    bool iniziata() const { return iniziata_; }
    bool conferma();
    // Why it did not start or commit.
    QSqlError errore() const { return errore_; }

private:
    QSqlDatabase db_;
    bool iniziata_ = false;
    bool finita_ = false;
    QSqlError errore_;
};
