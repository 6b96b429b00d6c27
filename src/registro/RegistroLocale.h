#pragma once

#include "registro/InterruttoreServer.h"
#include "registro/Registro.h"

#include <QSqlDatabase>
#include <QThread>

#include <memory>

class Connessione;
class Spedizioniere;

// The register in a SQLite file on this PC. Calls but registra() run on the
// caller's thread, on a connection of that thread; results go through the sender.
class RegistroLocale : public Registro {
public:
    // `fileUscita`: the outbox for the results not yet written.
    RegistroLocale(const QString &file, const QString &fileUscita) : RegistroLocale(file, fileUscita, {}) {}
    ~RegistroLocale() override;

    QString descrizione() const override;
    QString errore() const override { return errore_; }
    QString fileLocale() const override { return file_; }

    QList<Classe> classi(bool ancheArchiviate) override;
    QList<Alunno> alunni(const QString &classe) override;

    void registra(const Risultato &risultato) override;
    int inAttesa() override;
    bool svuota(int ms) override;

    std::optional<Classe> creaClasse(const QString &nome) override;
    bool rinominaClasse(const QString &classe, const QString &nome) override;
    bool archiviaClasse(const QString &classe, bool archiviata) override;
    bool aggiungiAlunni(const QString &classe, QList<Alunno> &nuovi, int *sbagliato) override;
    std::optional<Classe> importaAlunni(const QString &nomeClasse, QList<Alunno> &nuovi, int *sbagliato) override;
    bool modificaAlunno(const Alunno &alunno) override;
    std::optional<int> cancellaAlunno(const QString &alunno) override;
    std::optional<int> cancellaRisultatiPrimaDel(const QDate &data) override;

    bool risultati(const Filtro &filtro, const std::function<void(const RigaRisultato &)> &riga) override;
    bool risultatiBrevi(const Filtro &filtro, const std::function<void(const RigaBreve &)> &riga) override;
    std::optional<QList<Riassunto>> riassunto(const Filtro &filtro) override;

protected:
    // With `conninfo`, the same register on the school lab's server (RegistroServer) instead of `file`;
    // `vecchieUscite`: outboxes an earlier version left, taken into `fileUscita`.
    RegistroLocale(const QString &file, const QString &fileUscita, const QString &conninfo,
                   const QStringList &vecchieUscite = {});
    QString conninfo() const { return conninfo_; }
    // A pupil was erased: what this PC keeps of them besides the register goes too.
    virtual void dimenticato(const QString &alunno) { Q_UNUSED(alunno); }

    // The register's own id, once it has been reached (Schema::identitaDi).
    QString identita_;
    // Breaks off, from another thread, what this register's connection to the server waits for.
    InterruttoreServer &interruttore() { return interruttore_; }

private:
    // The connection of the calling thread, at the program's version; null (and errore_) when
    // there is none. Without `crea` a missing file is not made, and that is no error.
    Connessione *connessione(bool crea);
    Spedizioniere &spedizioniere();
    bool fallisce(const QString &messaggio);
    // The pupils into the class, inside the caller's transaction.
    bool aggiungi(QSqlDatabase &db, const QString &classe, QList<Alunno> &nuovi, int &indice);
    // The class of that name (any case), if there is one: its id and name.
    std::optional<Classe> classeDiNome(QSqlDatabase &db, const QString &nome);

    QString file_;
    QString fileUscita_;
    QStringList vecchieUscite_;
    QString conninfo_;
    QString errore_;
    InterruttoreServer interruttore_;
    std::unique_ptr<Connessione> connessione_;
    QThread *thread_ = nullptr;
    std::unique_ptr<Spedizioniere> spedizioniere_;
};
