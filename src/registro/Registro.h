#pragma once

#include "registro/Alunno.h"
#include "registro/Classe.h"
#include "registro/Risultato.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// The class register, as the windows and the command line see it, whatever
// keeps it (a SQLite file on this PC, or the school lab's server behind a
// local outbox). Qt Core only. Every call but registra() answers on the
// thread that opened the register (its database connection belongs to that
// thread); registra() returns at once and never loses the result.
class Registro {
public:
    virtual ~Registro() = default;

    // The register the program uses. `dove` is --registro's value: a libpq connection string
    // (with "=" in it, or a postgresql:// URI) for the school lab's server, else a SQLite file.
    // Without it, the server of the system-wide settings (registro/database), else
    // registro.sqlite in the user's data folder. Opening writes nothing: a file is made by the
    // first class created.
    static std::unique_ptr<Registro> apri(const QString &dove = {});
    static QString filePredefinito();
    // A new id for a result or a session (a UUID whose first bytes are the time).
    static QString nuovoId();
    // The name as it is kept (trimmed, composed), or empty with `errore` saying why it cannot be
    // a pupil's or a class's: 1-60 characters, no control characters.
    static QString nomeValido(const QString &nome, QString *errore);
    static constexpr int lunghezzaNome = 60;

    // Where the data lives, for the teacher ("/home/.../registro.sqlite", "server quorvel su lab").
    virtual QString descrizione() const = 0;
    // The last failure's message, in Italian, for the teacher or the command line.
    virtual QString errore() const = 0;
    // The register's SQLite file on this PC; empty for the lab's server, where the
    // server checks the teacher's own login instead of a password kept beside the file.
    virtual QString fileLocale() const { return {}; }
    // This PC's outbox, where each result waits until the register has it; empty when results
    // are never recorded through this object.
    virtual QString uscitaPc() const { return {}; }
    // The register's own id, the same on every PC that reaches it: what a setting about this
    // register is kept under. Empty when the register cannot be reached (or does not exist yet).
    virtual QString identita() { return {}; }

    // The lab's server as it tells of itself, for the families' notice: where the register is
    // and who administers it. None on failure (errore()), and for a file on this PC.
    struct Server {
        QString host; // as this PC reaches it: a name, an address, or a socket's folder
        QString database;
        QString proprietario; // the login that owns the register's tables (the administrator)
    };
    virtual std::optional<Server> server() { return std::nullopt; }

    // Makes, on the thread that calls it, a register that reads the same data on a connection of
    // that thread and records nothing: a long read then keeps no window waiting. Null when this
    // register can be read only where it was opened.
    using Fabbrica = std::function<std::unique_ptr<Registro>()>;
    virtual Fabbrica fabbricaLettore() const { return {}; }

    // How many school years of results the register keeps, this one included: the lab's PCs
    // share it. Nothing is erased by it: the teacher's window offers to, once a school year.
    virtual std::optional<int> conservazione() = 0;
    virtual bool impostaConservazione(int anniScolastici) = 0;
    static constexpr int conservazionePredefinita = 2;
    static constexpr int conservazioneMassima = 10;

    // ---- what the pupil's side reads
    // Classes (not archived unless asked), by name. Empty when the register holds none (or does not exist yet).
    virtual QList<Classe> classi(bool ancheArchiviate = false) = 0;
    virtual QList<Alunno> alunni(const QString &classe) = 0;

    // ---- what the pupil's side writes
    // Queues the result and returns at once: written off the window's thread,
    // retried, kept locally until it is written. Never shown to the pupil. Handed
    // over again with the same id, it is still one result: only an "offerto" help
    // takes the outcome the second one carries.
    virtual void registra(const Risultato &risultato) = 0;
    // Results handed over but not yet stored where the register lives.
    virtual int inAttesa() = 0;
    // Waits up to `ms` for the queue to drain (end of the program, tests). True when empty.
    virtual bool svuota(int ms) = 0;
    // Why results wait on this PC, in one sentence for the teacher; empty when nothing failed.
    virtual QString motivoAttesa() { return {}; }

    // ---- classes and pupils (command line, teacher's window); false and errore() on failure
    virtual std::optional<Classe> creaClasse(const QString &nome) = 0;
    virtual bool rinominaClasse(const QString &classe, const QString &nome) = 0;
    virtual bool archiviaClasse(const QString &classe, bool archiviata) = 0;
    // All the rows or none; nuovi[i].contrassegno may be invalid: one is assigned. On success
    // nuovi holds the pupils as kept (ids, names, contrassegni); on failure `sbagliato` the
    // index of the row at fault, or -1.
    virtual bool aggiungiAlunni(const QString &classe, QList<Alunno> &nuovi, int *sbagliato = nullptr) = 0;
    // The same into the class named `nomeClasse`, made in the same transaction when it is new.
    virtual std::optional<Classe> importaAlunni(const QString &nomeClasse, QList<Alunno> &nuovi,
                                                int *sbagliato = nullptr) = 0;
    virtual bool modificaAlunno(const Alunno &alunno) = 0; // name, class, contrassegno
    // The level of a class (`alunno` empty) or of one of its pupils; nothing set: the pupil follows
    // the class, the class has the usual draws. A pupil's place on a path stays: it is theirs.
    virtual bool impostaLivello(const QString &classe, const QString &alunno, const ImpostazioneLivello &livello) = 0;
    // Removes the pupil and every result of theirs in one transaction; the count of results removed.
    virtual std::optional<int> cancellaAlunno(const QString &alunno) = 0;
    virtual std::optional<int> cancellaRisultatiPrimaDel(const QDate &data) = 0;
    // On the lab's server a class belongs to its teachers (their server logins), who alone see it;
    // a teacher of the class may give it to a colleague. A register on one PC has no logins.
    virtual bool teamDocenti() const { return false; }
    virtual std::optional<QStringList> insegnanti(const QString &classe) = 0;
    virtual bool aggiungiInsegnante(const QString &classe, const QString &login) = 0;

    // ---- reading results (teacher's window, export, reports)
    struct Filtro {
        QString classe; // empty: every class
        QString alunno; // empty: every pupil
        QDate dal;      // null: no bound; Italian calendar days (Europe/Rome), inclusive, of `momento`
        QDate al;
        int tipo = -1;   // -1: every kind
        int livello = 0; // 0: every level
    };
    // Calls `riga` for each result in time order (with the pupil's and class's names); false on failure.
    struct RigaRisultato {
        Risultato risultato;
        QString nomeAlunno;
        QString nomeClasse;
        QDateTime arrivo; // when the register stored it (the server's clock on the lab's server)
        // When it happened: the PC's clock, corrected when it was wrong (Orario), fixed by the
        // register when the result arrived. Every filter, figure, erasure and export uses it.
        QDateTime momento;
        // On the lab's server, the login the server saw send it (one per PC if the school wants to tell).
        QString accesso;
    };
    virtual bool risultati(const Filtro &filtro, const std::function<void(const RigaRisultato &)> &riga) = 0;

    // The few fields the teacher's figures need, in no set order, so a school year is read in one
    // pass: the pupil and when it happened in ms since 1970 UTC, corrected as `momento` above.
    struct RigaBreve {
        QString alunno;
        qint64 quando = 0;
        int tipo = 0;
        bool esatto = false;
        Risultato::Aiuto aiuto = Risultato::Aiuto::NonOfferto;
        bool intervento = false;
        qint64 secondi = 0;
        int livello = 4;
    };
    // By default read through risultati(); a store overrides it with a narrower query.
    virtual bool risultatiBrevi(const Filtro &filtro, const std::function<void(const RigaBreve &)> &riga);

    // Per pupil and kind: how many results, how many right, the median answer seconds.
    struct Riassunto {
        QString alunno;
        int tipo = 0;
        int esercizi = 0;
        int esatti = 0;
        double secondiMediani = 0;
    };
    virtual std::optional<QList<Riassunto>> riassunto(const Filtro &filtro) = 0;
};
