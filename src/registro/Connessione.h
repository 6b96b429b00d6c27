#pragma once

#include <QSqlDatabase>
#include <QString>

#include <memory>

class InterruttoreServer;

// A connection to a SQLite file of the register, for the thread that makes it:
// Qt SQL connections belong to one thread, so each has a name of its own and is
// closed by its owner on that thread. Every connection has foreign keys on, WAL
// and a busy timeout, so a second copy of the program waits instead of failing.
class Connessione {
public:
    // `crea`: make the file (and the folders missing above it, 0700) when it is not there, 0600.
    // Without it a missing file is not made, and aperta() is false.
    // `attesaMs`: how long a write waits for another copy of the program holding the file.
    Connessione(const QString &file, bool crea, int attesaMs = 10000);
    // The school lab's server instead (a libpq connection string): aperta() when it answered.
    // `interruttore`, when given, can break off from another thread what waits on it.
    static std::unique_ptr<Connessione> alServer(const QString &conninfo, InterruttoreServer *interruttore = nullptr);
    ~Connessione();
    Connessione(const Connessione &) = delete;
    Connessione &operator=(const Connessione &) = delete;

    bool aperta() const { return aperta_; }
    QString errore() const { return errore_; }
    QSqlDatabase &db() { return db_; }

    // WAL mode changes the file: it waits until the schema is known to be this program's.
    // `sincronoPieno`: every commit reaches the disk before it returns, even against a power cut.
    // Nothing to do on the server.
    bool usaWal(bool sincronoPieno = false);
    bool server() const { return db_.driverName() == QLatin1String("QPSQL"); }

    // Makes `file` 0600 and the folders missing above it 0700, without opening it.
    static bool preparaFile(const QString &file, QString *errore);

private:
    Connessione() = default;

    QString nome_;
    QSqlDatabase db_;
    bool aperta_ = false;
    QString errore_;
    InterruttoreServer *interruttore_ = nullptr;
};
