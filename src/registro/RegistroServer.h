#pragma once

#include "registro/InterruttoreServer.h"
#include "registro/LettoreServer.h"
#include "registro/RegistroSql.h"
#include "registro/Sorvegliante.h"

#include <QElapsedTimer>
#include <QJsonObject>

// The register on the school lab's PostgreSQL server: the same tables and queries as the
// file on a PC, reached with the login in the connection string (the pupils' PCs with one
// in <database>_alunni, a teacher with their own in <database>_insegnanti, who sees only the
// classes given to them: the server's row-level security decides). Every result goes to
// this PC's outbox first and reaches the server in the background; the server must be at
// this program's version (quorvel --registro-prepara), or nothing is read or written there.
// A server that stops answering (hung, cut off) keeps no window waiting more than about 2 s.
class RegistroServer : public RegistroSql {
public:
    // `chiave`: what this PC's copy of the classes is named after, when `conninfo` holds a
    // password that must not reach a file name (a teacher's login); `conninfo` by default.
    RegistroServer(const QString &conninfo, const QString &fileUscita, const QString &chiave = {});

    // The register as the teacher `utente` on the lab's server of `conninfo` (the administrator's
    // string, whose login is replaced): the server checks the password; the login must be in
    // the register's teachers' group. The password stays in this object's memory only. Null with *errore in
    // Italian for the teacher when the server refuses the login or the login is not a teacher's.
    static std::unique_ptr<Registro> accedi(const QString &conninfo, const QString &utente, const QString &password,
                                            QString *errore);

    QString descrizione() const override;
    // After a call broken off because the server did not answer, one sentence saying so.
    QString errore() const override;
    // The connection string this register was opened with.
    QString conninfo() const { return conninfo_; }

    // From the server when it answers within 2 s, else as it last answered on this PC: a pupil
    // still finds their name in "Chi sei?" while the server is down or hung, and their results
    // wait in the outbox. The copy holds classes and pupils only (ids, names, contrassegni), 0600.
    QList<Classe> classi(bool ancheArchiviate) override;
    QList<Alunno> alunni(const QString &classe) override;

    // The teacher's calls, watched: a server that stops answering fails them within about 2 s.
    std::optional<Classe> creaClasse(const QString &nome) override;
    bool rinominaClasse(const QString &classe, const QString &nome) override;
    bool archiviaClasse(const QString &classe, bool archiviata) override;
    bool aggiungiAlunni(const QString &classe, QList<Alunno> &nuovi, int *sbagliato) override;
    std::optional<Classe> importaAlunni(const QString &nomeClasse, QList<Alunno> &nuovi, int *sbagliato) override;
    bool modificaAlunno(const Alunno &alunno) override;
    bool impostaLivello(const QString &classe, const QString &alunno, const ImpostazioneLivello &livello) override;
    std::optional<int> cancellaAlunno(const QString &alunno) override;
    std::optional<int> cancellaRisultatiPrimaDel(const QDate &data) override;
    bool teamDocenti() const override { return true; }
    std::optional<QStringList> insegnanti(const QString &classe) override;
    bool aggiungiInsegnante(const QString &classe, const QString &login) override;
    bool risultati(const Filtro &filtro, const std::function<void(const RigaRisultato &)> &riga) override;
    bool risultatiBrevi(const Filtro &filtro, const std::function<void(const RigaBreve &)> &riga) override;
    std::optional<QList<Riassunto>> riassunto(const Filtro &filtro) override;
    std::optional<Server> server() override;
    // A reader with no outbox nor copy of the classes: its every call is watched, as a window's.
    Fabbrica fabbricaLettore() const override;
    std::optional<int> conservazione() override;
    bool impostaConservazione(int anniScolastici) override;
    // This PC's outbox for the lab's server, in the user's data folder. Whatever the connection
    // string says, each result in it carries the id of its register, and only that register takes it.
    static QString fileUscita();

    // A connection to the server of `conninfo` at the program's version, linked to `interruttore`;
    // none once that has broken a call off. Only the administrator's --registro-prepara migrates the
    // server: at another version it is neither read nor written.
    static std::unique_ptr<Connessione> apriServer(const QString &conninfo, InterruttoreServer &interruttore,
                                                   QString *errore);

protected:
    std::unique_ptr<Connessione> apri(bool crea, QString *errore) override;
    Spedizioniere::Fabbrica fabbricaDeposito() const override;
    void dimenticato(const QString &alunno) override;

private:
    // After the server did not answer, the copy serves for a while without asking again, so a
    // window is not kept waiting by every read.
    bool inPausa() const;
    QJsonObject copia() const;
    void salva(const QJsonObject &copia) const;

    QString conninfo_;
    QString chiave_;
    bool soloLettura_ = false;
    InterruttoreServer interruttore_;
    QString fileCopia_;
    QElapsedTimer guasto_;
    LettoreServer lettore_;
    Sorvegliante sorvegliante_;
};
