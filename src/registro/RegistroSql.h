#pragma once

#include "registro/Registro.h"
#include "registro/Spedizioniere.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QThread>

#include <memory>

class Connessione;

// What both engines share: the register's tables and every query on them, on a connection of
// the calling thread, and the path of results through this PC's outbox and the sender. An
// engine says how its connection is opened and which store the sender hands results to
// (RegistroFile for a SQLite file on this PC, RegistroServer for the lab's server).
class RegistroSql : public Registro {
public:
    ~RegistroSql() override;

    QString errore() const override { return errore_; }
    QString uscitaPc() const override { return fileUscita_; }
    QString identita() override;
    std::optional<Server> server() override;
    std::optional<int> conservazione() override;
    bool impostaConservazione(int anniScolastici) override;

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
    bool impostaLivello(const QString &classe, const QString &alunno, const ImpostazioneLivello &livello) override;
    std::optional<int> cancellaAlunno(const QString &alunno) override;
    std::optional<int> cancellaRisultatiPrimaDel(const QDate &data) override;
    std::optional<QStringList> insegnanti(const QString &classe) override;
    bool aggiungiInsegnante(const QString &classe, const QString &login) override;
    QString motivoAttesa() override;

    bool risultati(const Filtro &filtro, const std::function<void(const RigaRisultato &)> &riga) override;
    bool risultatiBrevi(const Filtro &filtro, const std::function<void(const RigaBreve &)> &riga) override;
    std::optional<QList<Riassunto>> riassunto(const Filtro &filtro) override;

protected:
    // `fileUscita`: this register's outbox (none: results are never recorded through it);
    // `vecchieUscite`: outboxes an earlier version left, taken into it.
    explicit RegistroSql(const QString &fileUscita, const QStringList &vecchieUscite = {});

    // A connection at the program's version, or null with *errore; without `crea` a register that
    // does not exist yet is not made, and that is no error (*errore stays empty).
    virtual std::unique_ptr<Connessione> apri(bool crea, QString *errore) = 0;
    // The store the sender hands results to, made on the sender's thread.
    virtual Spedizioniere::Fabbrica fabbricaDeposito() const = 0;
    // A pupil was erased: what this PC keeps of them besides the register and the outbox goes too.
    virtual void dimenticato(const QString &alunno) { Q_UNUSED(alunno); }
    // Called last by an engine's constructor: results an earlier run left in the outbox go now.
    void consegnaLasciati();

    // The register's own id, once it has been reached (Schema::identitaDi).
    QString identita_;

private:
    // The connection of the calling thread, at the program's version; null (and errore_) when
    // there is none.
    Connessione *connessione(bool crea);
    Spedizioniere &spedizioniere();
    bool fallisce(const QString &messaggio);
    // The pupils into the class, inside the caller's transaction.
    bool aggiungi(QSqlDatabase &db, const QString &classe, QList<Alunno> &nuovi, int &indice);
    // The class of that name (any case), if there is one: its id and name.
    std::optional<Classe> classeDiNome(QSqlDatabase &db, const QString &nome);

    QString fileUscita_;
    QStringList vecchieUscite_;
    QString errore_;
    std::unique_ptr<Connessione> connessione_;
    QThread *thread_ = nullptr;
    std::unique_ptr<Spedizioniere> spedizioniere_;
};
