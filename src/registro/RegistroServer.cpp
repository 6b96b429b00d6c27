#include "RegistroServer.h"

#include "PreparazioneServer.h"

#include "Connessione.h"
#include "ConnessioneServer.h"
#include "CopiaClassi.h"
#include "DepositoServer.h"
#include "Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSqlQuery>
#include <QStandardPaths>

namespace {

QString impronta(const QString &conninfo)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(conninfo.trimmed().toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
}

QString nonInsegnante(const QString &utente, const QString &gruppo = {})
{
    return QStringLiteral("«%1» non è un accesso da insegnante (gruppo %2 sul server): "
                          "il registro si apre solo agli insegnanti.")
        .arg(utente.trimmed(), gruppo.isEmpty() ? QStringLiteral("degli insegnanti") : gruppo);
}

QString cartellaDati() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

// Outboxes of earlier versions, one per connection string: a changed setting left the old one behind.
QStringList vecchieUscite(const QString &fileUscita)
{
    QStringList vecchie;
    if (fileUscita.isEmpty())
        return vecchie;
    const QDir cartella = QFileInfo(fileUscita).absoluteDir();
    for (const QString &nome : cartella.entryList({QStringLiteral("server-*-uscita.sqlite")}, QDir::Files))
        if (nome.size() == int(sizeof("server--uscita.sqlite")) - 1 + 16)
            vecchie << cartella.filePath(nome);
    return vecchie;
}
// What a pupil's window waits for the server before it shows this PC's copy.
constexpr LettoreServer::Attesa attesaFinestra{2000};

} // namespace

RegistroServer::RegistroServer(const QString &conninfo, const QString &fileUscita, const QString &chiave)
    : RegistroSql(fileUscita, vecchieUscite(fileUscita)), conninfo_(conninfo), chiave_(chiave),
      fileCopia_(cartellaDati() + QStringLiteral("/server-") + impronta(chiave.isEmpty() ? conninfo : chiave) +
                 QStringLiteral("-classi.json")),
      lettore_(conninfo), sorvegliante_(interruttore_, lettore_)
{
    // Until the server answers, the register is the one this PC's copy came from.
    identita_ = copia().value(QLatin1String("registro")).toString();
    consegnaLasciati();
}

std::unique_ptr<Connessione> RegistroServer::apriServer(const QString &conninfo, InterruttoreServer &interruttore,
                                                        QString *errore)
{
    if (interruttore.interrotto()) {
        // Broken off for not answering: no new connection keeps the caller waiting again.
        *errore =
            QStringLiteral("il server del registro (%1) non risponde.").arg(ConnessioneServer::descrivi(conninfo));
        return nullptr;
    }
    auto c = Connessione::alServer(conninfo, &interruttore);
    if (!c->aperta()) {
        *errore = c->errore();
        return nullptr;
    }
    const std::optional<int> versione = Schema::versioneDi(c->db(), errore);
    if (!versione)
        return nullptr;
    if (*versione != Schema::versione()) {
        *errore = QStringLiteral("il registro sul server (%1) è della versione %2, questo programma della %3: "
                                 "l'amministratore esegua quorvel --registro-prepara con la versione giusta.")
                      .arg(ConnessioneServer::descrivi(conninfo))
                      .arg(*versione)
                      .arg(Schema::versione());
        return nullptr;
    }
    return c;
}

std::unique_ptr<Connessione> RegistroServer::apri(bool crea, QString *errore)
{
    Q_UNUSED(crea); // the administrator makes the register on the server
    return apriServer(conninfo_, interruttore_, errore);
}

Spedizioniere::Fabbrica RegistroServer::fabbricaDeposito() const
{
    return [conninfo = conninfo_] { return std::make_unique<DepositoServer>(conninfo); };
}

std::unique_ptr<Registro> RegistroServer::accedi(const QString &conninfo, const QString &utente,
                                                 const QString &password, QString *errore)
{
    if (utente.trimmed().isEmpty()) {
        *errore = QStringLiteral("Scrivere il nome di accesso al server.");
        return nullptr;
    }
    // Without one libpq would take a password from a file of this account (~/.pgpass): a pupils'
    // PC must never open the teacher's window on what it keeps.
    if (password.isEmpty()) {
        *errore = QStringLiteral("Scrivere la password.");
        return nullptr;
    }
    const QString normale = ConnessioneServer::normalizza(conninfo, errore);
    if (normale.isEmpty())
        return nullptr;
    // Later keys win in libpq: the teacher's login replaces the pupils' PC's.
    const QString chiave = normale + QStringLiteral(" user=") + ConnessioneServer::citato(utente.trimmed());
    // No password file either, whatever the administrator's string or the environment says.
    const QString completa =
        chiave + QStringLiteral(" passfile=/dev/null password=") + ConnessioneServer::citato(password);
    bool insegnante = false;
    const QString nome = QStringLiteral("quorvel-accesso-insegnante");
    {
        QSqlDatabase db;
        QString rifiuto;
        if (!ConnessioneServer::apri(nome, completa, &db, &rifiuto)) {
            // libpq's own words for a refused login: the teacher gets one plain sentence.
            const bool negato = rifiuto.contains(QLatin1String("authentication failed")) ||
                                rifiuto.contains(QLatin1String("does not exist")) ||
                                rifiuto.contains(QLatin1String("no password supplied")) ||
                                rifiuto.contains(QLatin1String("no pg_hba.conf entry"));
            if (negato)
                *errore = QStringLiteral("Il server non accetta questo nome di accesso con questa password.");
            else if (rifiuto.contains(QLatin1String("permission denied for database")))
                *errore = nonInsegnante(utente); // no right on the register's database: no teacher's login either
            else
                *errore = rifiuto;
        } else {
            // The register's own teachers: another register on the same server has a group of its own.
            QSqlQuery q(db);
            const QString gruppo = q.exec(QStringLiteral("SELECT current_database()")) && q.next()
                                       ? PreparazioneServer::ruoloInsegnanti(q.value(0).toString())
                                       : QString();
            q.prepare(
                QStringLiteral("SELECT pg_has_role(current_user, oid, 'MEMBER') FROM pg_roles WHERE rolname = ?"));
            q.addBindValue(gruppo);
            insegnante = !gruppo.isEmpty() && q.exec() && q.next() && q.value(0).toBool();
            if (!insegnante)
                *errore = nonInsegnante(utente, gruppo);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(nome);
    if (!insegnante)
        return nullptr;
    return std::make_unique<RegistroServer>(completa, fileUscita(), chiave);
}

bool RegistroServer::inPausa() const
{
    constexpr qint64 pausa = 30000;
    return guasto_.isValid() && guasto_.elapsed() < pausa;
}

QJsonObject RegistroServer::copia() const { return CopiaClassi(fileCopia_).leggi(); }

void RegistroServer::salva(const QJsonObject &copia) const { CopiaClassi(fileCopia_).scrivi(copia); }

Registro::Fabbrica RegistroServer::fabbricaLettore() const
{
    return [conninfo = conninfo_, chiave = chiave_]() -> std::unique_ptr<Registro> {
        auto lettore = std::make_unique<RegistroServer>(conninfo, QString(), chiave);
        lettore->soloLettura_ = true;
        return lettore;
    };
}

QList<Classe> RegistroServer::classi(bool ancheArchiviate)
{
    if (soloLettura_) {
        const Sorvegliante::Turno turno(sorvegliante_);
        return RegistroSql::classi(ancheArchiviate);
    }
    // Inside a teacher's change: the server's own list, on the change's watched connection.
    if (sorvegliante_.inCorso())
        return RegistroSql::classi(ancheArchiviate);
    QJsonObject c = copia();
    std::optional<QList<Classe>> letto;
    if (!inPausa()) {
        QString identita;
        letto = lettore_.classi(attesaFinestra, &identita);
        if (letto) {
            guasto_.invalidate();
            // The register the pupils are chosen from: their results are meant for it.
            if (!identita.isEmpty())
                identita_ = identita;
        } else
            guasto_.start();
    }
    if (letto) {
        const QList<Classe> &elenco = *letto;
        QJsonArray classi;
        for (const Classe &k : elenco)
            classi.append(QJsonArray{k.id, k.nome, k.archiviata, k.livello.da, k.livello.a});
        if (c.value(QLatin1String("classi")).toArray() != classi ||
            c.value(QLatin1String("registro")).toString() != identita_) {
            // Another register behind the same setting: none of the old one's pupils is shown.
            if (c.value(QLatin1String("registro")).toString() != identita_)
                c.remove(QLatin1String("alunni"));
            c.insert(QLatin1String("registro"), identita_);
            c.insert(QLatin1String("classi"), classi);
            salva(c);
        }
        if (ancheArchiviate)
            return elenco;
        QList<Classe> attive;
        for (const Classe &k : elenco)
            if (!k.archiviata)
                attive.append(k);
        return attive;
    }
    QList<Classe> elenco;
    for (const QJsonValue &v : c.value(QLatin1String("classi")).toArray()) {
        const QJsonArray k = v.toArray();
        if (!k.at(2).toBool() || ancheArchiviate)
            elenco.append({k.at(0).toString(), k.at(1).toString(), k.at(2).toBool(),
                           ImpostazioneLivello{k.at(3).toInt(), k.at(4).toInt()}});
    }
    return elenco;
}

QList<Alunno> RegistroServer::alunni(const QString &classe)
{
    if (soloLettura_) {
        const Sorvegliante::Turno turno(sorvegliante_);
        return RegistroSql::alunni(classe);
    }
    if (sorvegliante_.inCorso())
        return RegistroSql::alunni(classe);
    QJsonObject c = copia();
    QJsonObject perClasse = c.value(QLatin1String("alunni")).toObject();
    std::optional<QList<Alunno>> letto;
    if (!inPausa()) {
        letto = lettore_.alunni(classe, attesaFinestra);
        if (letto)
            guasto_.invalidate();
        else
            guasto_.start();
    }
    if (letto) {
        const QList<Alunno> &elenco = *letto;
        QJsonArray alunni;
        for (const Alunno &a : elenco)
            alunni.append(QJsonArray{a.id, a.nome, a.contrassegno.figura, a.contrassegno.colore, a.livello.da,
                                     a.livello.a, a.stato.abilita, a.stato.risposte});
        if (perClasse.value(classe).toArray() != alunni) {
            perClasse.insert(classe, alunni);
            c.insert(QLatin1String("alunni"), perClasse);
            salva(c);
        }
        return elenco;
    }
    QList<Alunno> elenco;
    for (const QJsonValue &v : perClasse.value(classe).toArray()) {
        const QJsonArray a = v.toArray();
        elenco.append({a.at(0).toString(), classe, a.at(1).toString(), Contrassegno{a.at(2).toInt(), a.at(3).toInt()},
                       ImpostazioneLivello{a.at(4).toInt(), a.at(5).toInt()},
                       StatoPercorso{a.at(6).toDouble(), a.at(7).toInt()}});
    }
    return elenco;
}

QString RegistroServer::descrizione() const
{
    return QStringLiteral("server %1").arg(ConnessioneServer::descrivi(conninfo()));
}

QString RegistroServer::fileUscita() { return cartellaDati() + QStringLiteral("/server-uscita.sqlite"); }

void RegistroServer::dimenticato(const QString &alunno) { CopiaClassi::dimentica(cartellaDati(), alunno); }

QString RegistroServer::errore() const
{
    if (sorvegliante_.interrotta())
        return QStringLiteral("il server del registro (%1) non risponde: nessuna risposta in 2 secondi.")
            .arg(ConnessioneServer::descrivi(conninfo()));
    return RegistroSql::errore();
}

std::optional<Classe> RegistroServer::creaClasse(const QString &nome)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::creaClasse(nome);
}

bool RegistroServer::impostaLivello(const QString &classe, const QString &alunno, const ImpostazioneLivello &livello)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::impostaLivello(classe, alunno, livello);
}

bool RegistroServer::rinominaClasse(const QString &classe, const QString &nome)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::rinominaClasse(classe, nome);
}

bool RegistroServer::archiviaClasse(const QString &classe, bool archiviata)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::archiviaClasse(classe, archiviata);
}

bool RegistroServer::aggiungiAlunni(const QString &classe, QList<Alunno> &nuovi, int *sbagliato)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::aggiungiAlunni(classe, nuovi, sbagliato);
}

std::optional<Classe> RegistroServer::importaAlunni(const QString &nomeClasse, QList<Alunno> &nuovi, int *sbagliato)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::importaAlunni(nomeClasse, nuovi, sbagliato);
}

bool RegistroServer::modificaAlunno(const Alunno &alunno)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::modificaAlunno(alunno);
}

std::optional<int> RegistroServer::cancellaAlunno(const QString &alunno)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::cancellaAlunno(alunno);
}

std::optional<QStringList> RegistroServer::insegnanti(const QString &classe)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::insegnanti(classe);
}

bool RegistroServer::aggiungiInsegnante(const QString &classe, const QString &login)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::aggiungiInsegnante(classe, login);
}

std::optional<int> RegistroServer::cancellaRisultatiPrimaDel(const QDate &data)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::cancellaRisultatiPrimaDel(data);
}

bool RegistroServer::risultati(const Filtro &filtro, const std::function<void(const RigaRisultato &)> &riga)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::risultati(filtro, riga);
}

bool RegistroServer::risultatiBrevi(const Filtro &filtro, const std::function<void(const RigaBreve &)> &riga)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::risultatiBrevi(filtro, riga);
}

std::optional<QList<Registro::Riassunto>> RegistroServer::riassunto(const Filtro &filtro)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::riassunto(filtro);
}

std::optional<Registro::Server> RegistroServer::server()
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::server();
}

std::optional<int> RegistroServer::conservazione()
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::conservazione();
}

bool RegistroServer::impostaConservazione(int anniScolastici)
{
    const Sorvegliante::Turno turno(sorvegliante_);
    return RegistroSql::impostaConservazione(anniScolastici);
}
