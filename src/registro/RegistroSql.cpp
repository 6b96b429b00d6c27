#include "RegistroSql.h"

#include "Connessione.h"
#include "PostaUscita.h"
#include "Schema.h"
#include "Spedizioniere.h"

#include "core/Livello.h"

#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTimeZone>
#include <QUuid>

#include <algorithm>

#include <libpq-fe.h>

namespace {

QString virgolette(const QString &testo) { return QStringLiteral("«") + testo + QStringLiteral("»"); }

qint64 inizioGiorno(const QDate &giorno)
{
    // The school's calendar days; the local zone when the zone database is missing.
    static const QTimeZone roma("Europe/Rome");
    return roma.isValid() ? QDateTime(giorno, QTime(0, 0), roma).toMSecsSinceEpoch()
                          : QDateTime(giorno, QTime(0, 0)).toMSecsSinceEpoch();
}

// The WHERE clause of a filter on risultati r.
QString condizioni(const Registro::Filtro &filtro, QVariantList *valori)
{
    QStringList parti;
    if (!filtro.classe.isEmpty()) {
        // A list of the class's pupils rather than a join: the results are then read in the
        // order of their index, pupil by pupil, with nothing to sort.
        parti << QStringLiteral("r.alunno IN (SELECT id FROM alunni WHERE classe = ?)");
        *valori << Schema::id(filtro.classe);
    }
    if (!filtro.alunno.isEmpty()) {
        parti << QStringLiteral("r.alunno = ?");
        *valori << Schema::id(filtro.alunno);
    }
    if (filtro.dal.isValid()) {
        parti << QStringLiteral("r.momento >= ?");
        *valori << inizioGiorno(filtro.dal);
    }
    if (filtro.al.isValid()) {
        parti << QStringLiteral("r.momento < ?");
        *valori << inizioGiorno(filtro.al.addDays(1));
    }
    if (filtro.tipo >= 0) {
        parti << QStringLiteral("r.tipo = ?");
        *valori << filtro.tipo;
    }
    if (filtro.livello > 0) {
        parti << QStringLiteral("r.livello = ?");
        *valori << filtro.livello;
    }
    return parti.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parti.join(QStringLiteral(" AND "));
}

// A unique index refused the row: on `colonna` when given ("chiave": a name the class or the
// register has already, whatever its case).
bool doppione(const QSqlError &e, const QString &colonna = {})
{
    const bool unico = e.nativeErrorCode() == QLatin1String("23505") ||
                       e.databaseText().contains(QLatin1String("UNIQUE constraint failed"));
    return unico && (colonna.isEmpty() || e.databaseText().contains(colonna));
}

bool esegui(QSqlQuery &q, const QString &sql, const QVariantList &valori)
{
    if (!q.prepare(sql))
        return false;
    for (const QVariant &v : valori)
        q.addBindValue(v);
    return q.exec();
}

Risultato::Aiuto aiuto(int valore)
{
    return valore >= 0 && valore <= int(Risultato::Aiuto::Rifiutato) ? Risultato::Aiuto(valore)
                                                                     : Risultato::Aiuto::NonOfferto;
}

// The level set in columns livello_da and livello_a from `primo` on; one out of the ladder is none.
ImpostazioneLivello livelloDi(const QSqlQuery &q, int primo)
{
    const ImpostazioneLivello l{q.value(primo).toInt(), q.value(primo + 1).toInt()};
    return Livello::valido(l.da) && Livello::valido(l.a) && l.da <= l.a ? l : ImpostazioneLivello{};
}

} // namespace

RegistroSql::RegistroSql(const QString &fileUscita, const QStringList &vecchieUscite)
    : fileUscita_(fileUscita), vecchieUscite_(vecchieUscite), thread_(QThread::currentThread())
{
}

RegistroSql::~RegistroSql()
{
    spedizioniere_.reset();
    connessione_.reset();
}

void RegistroSql::consegnaLasciati()
{
    // Results left in the outbox by an earlier run are written now, in the background.
    if (!fileUscita_.isEmpty() && (QFileInfo::exists(fileUscita_) || !vecchieUscite_.isEmpty()))
        spedizioniere();
}

Connessione *RegistroSql::connessione(bool crea)
{
    Q_ASSERT(QThread::currentThread() == thread_);
    if (connessione_ && connessione_->db().isOpen()) {
        // A server may have gone away since (restarted, network cut): then one fresh connection.
        if (!connessione_->server() || QSqlQuery(connessione_->db()).exec(QStringLiteral("SELECT 1")))
            return connessione_.get();
    }
    connessione_.reset();
    errore_.clear();
    connessione_ = apri(crea, &errore_);
    if (connessione_)
        if (const std::optional<QString> id = Schema::identitaDi(connessione_->db()))
            identita_ = *id;
    return connessione_.get();
}

Spedizioniere &RegistroSql::spedizioniere()
{
    if (!spedizioniere_)
        spedizioniere_ = std::make_unique<Spedizioniere>(fabbricaDeposito(), fileUscita_, vecchieUscite_);
    return *spedizioniere_;
}

bool RegistroSql::fallisce(const QString &messaggio)
{
    errore_ = messaggio;
    return false;
}

QList<Classe> RegistroSql::classi(bool ancheArchiviate)
{
    errore_.clear();
    QList<Classe> elenco;
    Connessione *c = connessione(false);
    if (!c)
        return elenco;
    QSqlQuery q(c->db());
    if (!q.exec(QStringLiteral("SELECT id, nome, archiviata, livello_da, livello_a FROM classi"))) {
        errore_ = q.lastError().text();
        return elenco;
    }
    while (q.next()) {
        const bool archiviata = q.value(2).toBool();
        if (!archiviata || ancheArchiviate)
            elenco.append({Schema::id(q.value(0)), q.value(1).toString(), archiviata, livelloDi(q, 3)});
    }
    std::sort(elenco.begin(), elenco.end(),
              [](const Classe &a, const Classe &b) { return a.nome.localeAwareCompare(b.nome) < 0; });
    return elenco;
}

QList<Alunno> RegistroSql::alunni(const QString &classe)
{
    errore_.clear();
    QList<Alunno> elenco;
    Connessione *c = connessione(false);
    if (!c)
        return elenco;
    QSqlQuery q(c->db());
    if (!esegui(q,
                QStringLiteral("SELECT id, classe, nome, figura, colore, livello_da, livello_a, abilita,"
                               " risposte_percorso FROM alunni WHERE classe = ?"),
                {Schema::id(classe)})) {
        errore_ = q.lastError().text();
        return elenco;
    }
    while (q.next())
        elenco.append({Schema::id(q.value(0)), Schema::id(q.value(1)), q.value(2).toString(),
                       Contrassegno{q.value(3).toInt(), q.value(4).toInt()}, livelloDi(q, 5),
                       StatoPercorso{q.value(7).toDouble(), q.value(8).toInt()}});
    std::sort(elenco.begin(), elenco.end(),
              [](const Alunno &a, const Alunno &b) { return a.nome.localeAwareCompare(b.nome) < 0; });
    return elenco;
}

void RegistroSql::registra(const Risultato &risultato)
{
    if (risultato.alunno.isEmpty())
        return; // a guest's
    if (QUuid(risultato.alunno).isNull()) {
        qWarning("registro: un risultato senza un alunno valido (%s) non viene registrato.",
                 qPrintable(risultato.alunno));
        return;
    }
    // A row the register would refuse would hold up every other one in its batch, again and
    // again: what can be made whole here is.
    Risultato r = risultato;
    if (QUuid(r.id).isNull())
        r.id = nuovoId();
    if (QUuid(r.sessione).isNull())
        r.sessione = nuovoId();
    if (!r.quando.isValid())
        r.quando = QDateTime::currentDateTimeUtc();
    if (r.macchina.isEmpty())
        r.macchina = QSysInfo::machineHostName();
    // For the register the pupil was chosen from, and no other, whatever reaches this PC later.
    if (r.registro.isEmpty())
        r.registro = identita_;
    r.macchina.truncate(255);
    r.livello = Livello::valido(r.livello) ? r.livello : Livello::consueto;
    if (r.percorso)
        r.percorso->abilita =
            std::clamp(r.percorso->abilita, StatoPercorso::abilitaMinima, StatoPercorso::abilitaMassima);
    if (r.percorso && r.percorso->risposte <= 0)
        r.percorso.reset();
    spedizioniere().metti(r);
}

int RegistroSql::inAttesa() { return spedizioniere_ ? spedizioniere_->inAttesa() : 0; }

bool RegistroSql::svuota(int ms) { return !spedizioniere_ || spedizioniere_->svuota(ms); }

std::optional<Classe> RegistroSql::creaClasse(const QString &nome)
{
    const QString pulito = nomeValido(nome, &errore_);
    if (pulito.isEmpty())
        return std::nullopt;
    Connessione *c = connessione(true);
    if (!c)
        return std::nullopt;
    const Classe classe{nuovoId(), pulito, false};
    QSqlQuery q(c->db());
    if (!esegui(q, QStringLiteral("INSERT INTO classi (id, nome, archiviata, chiave) VALUES (?, ?, ?, ?)"),
                {Schema::id(classe.id), classe.nome, false, Schema::chiave(pulito)})) {
        // The database settles who came first, however many teachers try at once.
        if (doppione(q.lastError()))
            errore_ = QStringLiteral("la classe %1 c'è già.").arg(virgolette(pulito));
        else
            errore_ =
                QStringLiteral("la classe %1 non si può creare: %2").arg(virgolette(pulito), q.lastError().text());
        return std::nullopt;
    }
    return classe;
}

bool RegistroSql::rinominaClasse(const QString &classe, const QString &nome)
{
    const QString pulito = nomeValido(nome, &errore_);
    if (pulito.isEmpty())
        return false;
    Connessione *c = connessione(false);
    if (!c)
        return false;
    QSqlQuery q(c->db());
    if (!esegui(q, QStringLiteral("UPDATE classi SET nome = ?, chiave = ? WHERE id = ?"),
                {pulito, Schema::chiave(pulito), Schema::id(classe)}) ||
        q.numRowsAffected() != 1)
        return fallisce(doppione(q.lastError())
                            ? QStringLiteral("la classe %1 c'è già.").arg(virgolette(pulito))
                            : QStringLiteral("la classe non si può rinominare: %1").arg(q.lastError().text()));
    return true;
}

bool RegistroSql::impostaLivello(const QString &classe, const QString &alunno, const ImpostazioneLivello &livello)
{
    if (livello.impostata() && (!Livello::valido(livello.da) || !Livello::valido(livello.a) || livello.da > livello.a))
        return fallisce(QStringLiteral("i livelli vanno da %1 a %2.").arg(Livello::primo).arg(Livello::ultimo));
    Connessione *c = connessione(false);
    if (!c)
        return false;
    const QVariant nessuno(QMetaType(QMetaType::Int));
    const QVariant da = livello.impostata() ? QVariant(livello.da) : nessuno;
    const QVariant a = livello.impostata() ? QVariant(livello.a) : nessuno;
    QSqlQuery q(c->db());
    const bool fatto =
        alunno.isEmpty()
            ? esegui(q, QStringLiteral("UPDATE classi SET livello_da = ?, livello_a = ? WHERE id = ?"),
                     {da, a, Schema::id(classe)})
            : esegui(q, QStringLiteral("UPDATE alunni SET livello_da = ?, livello_a = ? WHERE id = ? AND classe = ?"),
                     {da, a, Schema::id(alunno), Schema::id(classe)});
    if (!fatto || q.numRowsAffected() != 1)
        return fallisce(QStringLiteral("il livello non si può impostare: %1")
                            .arg(fatto ? QStringLiteral("la classe o l'alunno non c'è più.") : q.lastError().text()));
    return true;
}

bool RegistroSql::archiviaClasse(const QString &classe, bool archiviata)
{
    Connessione *c = connessione(false);
    if (!c)
        return false;
    QSqlQuery q(c->db());
    if (!esegui(q, QStringLiteral("UPDATE classi SET archiviata = ? WHERE id = ?"), {archiviata, Schema::id(classe)}) ||
        q.numRowsAffected() != 1)
        return fallisce(QStringLiteral("la classe non si può archiviare: %1").arg(q.lastError().text()));
    return true;
}

bool RegistroSql::aggiungiAlunni(const QString &classe, QList<Alunno> &nuovi, int *sbagliato)
{
    int nessuno = -1;
    int &indice = sbagliato ? *sbagliato : nessuno;
    indice = -1;
    Connessione *c = connessione(false);
    if (!c)
        return errore_.isEmpty() ? fallisce(QStringLiteral("il registro non ha classi.")) : false;
    QSqlDatabase &db = c->db();
    Transazione t(db);
    if (!t.iniziata())
        return fallisce(t.errore().text());
    QSqlQuery q(db);
    if (!esegui(q, QStringLiteral("SELECT COUNT(*) FROM classi WHERE id = ?"), {Schema::id(classe)}) || !q.next() ||
        q.value(0).toInt() != 1)
        return fallisce(QStringLiteral("la classe non c'è nel registro."));
    if (!aggiungi(db, classe, nuovi, indice))
        return false;
    if (!t.conferma())
        return fallisce(t.errore().text());
    return true;
}

std::optional<Classe> RegistroSql::classeDiNome(QSqlDatabase &db, const QString &nome)
{
    QSqlQuery q(db);
    if (esegui(q, QStringLiteral("SELECT id, nome, archiviata FROM classi WHERE chiave = ?"), {Schema::chiave(nome)}) &&
        q.next())
        return Classe{Schema::id(q.value(0)), q.value(1).toString(), q.value(2).toBool()};
    return std::nullopt;
}

std::optional<Classe> RegistroSql::importaAlunni(const QString &nomeClasse, QList<Alunno> &nuovi, int *sbagliato)
{
    int nessuno = -1;
    int &indice = sbagliato ? *sbagliato : nessuno;
    indice = -1;
    const QString pulito = nomeValido(nomeClasse, &errore_);
    if (pulito.isEmpty())
        return std::nullopt;
    Connessione *c = connessione(true);
    if (!c)
        return std::nullopt;
    QSqlDatabase &db = c->db();
    Transazione t(db);
    if (!t.iniziata()) {
        fallisce(t.errore().text());
        return std::nullopt;
    }
    std::optional<Classe> classe = classeDiNome(db, pulito);
    if (!classe) {
        classe = Classe{nuovoId(), pulito, false};
        QSqlQuery q(db);
        if (!esegui(q, QStringLiteral("INSERT INTO classi (id, nome, archiviata, chiave) VALUES (?, ?, ?, ?)"),
                    {Schema::id(classe->id), classe->nome, false, Schema::chiave(pulito)})) {
            fallisce(q.lastError().text());
            return std::nullopt;
        }
    }
    if (!aggiungi(db, classe->id, nuovi, indice))
        return std::nullopt;
    if (!t.conferma()) {
        fallisce(t.errore().text());
        return std::nullopt;
    }
    return classe;
}

bool RegistroSql::aggiungi(QSqlDatabase &db, const QString &classe, QList<Alunno> &nuovi, int &indice)
{
    QSqlQuery q(db);
    // What the class holds already, read inside the transaction so that another copy cannot slip in.
    QSet<QString> nomi;
    QSet<int> usati;
    const auto chiave = [](const Contrassegno &k) { return k.figura * Contrassegno::numeroColori + k.colore; };
    if (!esegui(q, QStringLiteral("SELECT nome, figura, colore FROM alunni WHERE classe = ?"), {Schema::id(classe)}))
        return fallisce(q.lastError().text());
    while (q.next()) {
        nomi.insert(Schema::chiave(q.value(0).toString()));
        usati.insert(chiave({q.value(1).toInt(), q.value(2).toInt()}));
    }
    for (int i = 0; i < nuovi.size(); ++i) {
        Alunno &a = nuovi[i];
        indice = i;
        QString motivo;
        a.nome = nomeValido(a.nome, &motivo);
        if (a.nome.isEmpty())
            return fallisce(motivo);
        if (nomi.contains(Schema::chiave(a.nome)))
            return fallisce(QStringLiteral("%1 è già nella classe.").arg(virgolette(a.nome)));
        nomi.insert(Schema::chiave(a.nome));
        if (a.contrassegno.figura != 0 || a.contrassegno.colore != 0) {
            if (!a.contrassegno.valido())
                return fallisce(QStringLiteral("il contrassegno di %1 non esiste: figura da 1 a %2, colore da 0 a %3.")
                                    .arg(virgolette(a.nome))
                                    .arg(Contrassegno::numeroFigure)
                                    .arg(Contrassegno::numeroColori - 1));
            if (usati.contains(chiave(a.contrassegno)))
                return fallisce(QStringLiteral("il contrassegno di %1 è già di un altro alunno della classe.")
                                    .arg(virgolette(a.nome)));
            usati.insert(chiave(a.contrassegno));
        }
    }
    // Missing contrassegni: every picture first, so the first twelve pupils tell themselves apart by
    // picture alone, each round on colours shifted by one, so neighbours differ in colour too.
    for (int i = 0; i < nuovi.size(); ++i) {
        Alunno &a = nuovi[i];
        if (a.contrassegno.valido())
            continue;
        indice = i;
        bool trovato = false;
        constexpr int posti = Contrassegno::numeroFigure * Contrassegno::numeroColori;
        for (int posto = 0; posto < posti && !trovato; ++posto) {
            const int figura = posto % Contrassegno::numeroFigure;
            const Contrassegno segno{figura + 1,
                                     (figura + posto / Contrassegno::numeroFigure) % Contrassegno::numeroColori};
            if (!usati.contains(chiave(segno))) {
                a.contrassegno = segno;
                usati.insert(chiave(segno));
                trovato = true;
            }
        }
        if (!trovato)
            return fallisce(QStringLiteral("la classe è piena: ha già %1 alunni, uno per contrassegno.")
                                .arg(Contrassegno::numeroFigure * Contrassegno::numeroColori));
    }
    q.prepare(
        QStringLiteral("INSERT INTO alunni (id, classe, nome, figura, colore, chiave) VALUES (?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < nuovi.size(); ++i) {
        Alunno &a = nuovi[i];
        indice = i;
        a.id = nuovoId();
        a.classe = classe;
        for (const QVariant &v :
             {Schema::id(a.id), Schema::id(classe), QVariant(a.nome), QVariant(a.contrassegno.figura),
              QVariant(a.contrassegno.colore), QVariant(Schema::chiave(a.nome))})
            q.addBindValue(v);
        if (!q.exec())
            return fallisce(
                doppione(q.lastError(), QStringLiteral("chiave"))
                    ? QStringLiteral("%1 è già nella classe.").arg(virgolette(a.nome))
                    : QStringLiteral("%1 non si può aggiungere: %2").arg(virgolette(a.nome), q.lastError().text()));
    }
    indice = -1;
    return true;
}

bool RegistroSql::modificaAlunno(const Alunno &alunno)
{
    QString nome = nomeValido(alunno.nome, &errore_);
    if (nome.isEmpty())
        return false;
    if (!alunno.contrassegno.valido())
        return fallisce(QStringLiteral("il contrassegno di %1 non esiste.").arg(virgolette(nome)));
    Connessione *c = connessione(false);
    if (!c)
        return false;
    QSqlDatabase &db = c->db();
    Transazione t(db);
    if (!t.iniziata())
        return fallisce(t.errore().text());
    QSqlQuery q(db);
    if (!esegui(q, QStringLiteral("SELECT nome, figura, colore FROM alunni WHERE classe = ? AND id <> ?"),
                {Schema::id(alunno.classe), Schema::id(alunno.id)}))
        return fallisce(q.lastError().text());
    while (q.next()) {
        if (Schema::chiave(q.value(0).toString()) == Schema::chiave(nome))
            return fallisce(QStringLiteral("%1 è già nella classe.").arg(virgolette(nome)));
        if (Contrassegno{q.value(1).toInt(), q.value(2).toInt()} == alunno.contrassegno)
            return fallisce(QStringLiteral("il contrassegno scelto è di %1.").arg(virgolette(q.value(0).toString())));
    }
    if (!esegui(
            q,
            QStringLiteral("UPDATE alunni SET classe = ?, nome = ?, figura = ?, colore = ?, chiave = ? WHERE id = ?"),
            {Schema::id(alunno.classe), nome, alunno.contrassegno.figura, alunno.contrassegno.colore,
             Schema::chiave(nome), Schema::id(alunno.id)}) ||
        q.numRowsAffected() != 1)
        return fallisce(
            doppione(q.lastError(), QStringLiteral("chiave"))
                ? QStringLiteral("%1 è già nella classe.").arg(virgolette(nome))
                : QStringLiteral("%1 non si può modificare: %2").arg(virgolette(nome), q.lastError().text()));
    if (!t.conferma())
        return fallisce(t.errore().text());
    return true;
}

std::optional<int> RegistroSql::cancellaAlunno(const QString &alunno)
{
    Connessione *c = connessione(false);
    if (!c) {
        fallisce(QStringLiteral("l'alunno non c'è nel registro."));
        return std::nullopt;
    }
    QSqlDatabase &db = c->db();
    std::optional<int> tolti;
    {
        Transazione t(db);
        if (!t.iniziata()) {
            fallisce(t.errore().text());
            return std::nullopt;
        }
        const QVariant id = Schema::id(alunno);
        QSqlQuery q(db);
        if (!esegui(q, QStringLiteral("DELETE FROM risultati WHERE alunno = ?"), {id})) {
            fallisce(q.lastError().text());
            return std::nullopt;
        }
        const int risultati = q.numRowsAffected();
        if (!esegui(q, QStringLiteral("DELETE FROM sessioni WHERE alunno = ?"), {id}) ||
            !esegui(q, QStringLiteral("DELETE FROM alunni WHERE id = ?"), {id})) {
            fallisce(q.lastError().text());
            return std::nullopt;
        }
        if (q.numRowsAffected() != 1) {
            fallisce(QStringLiteral("l'alunno non c'è nel registro."));
            return std::nullopt;
        }
        if (!t.conferma()) {
            fallisce(t.errore().text());
            return std::nullopt;
        }
        tolti = risultati;
    }
    // Erased means gone from the file too: the pages were zeroed (secure_delete), and the
    // journal that still holds the old ones is folded in and emptied.
    if (!c->server())
        QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    // And from this PC: what still waited to be sent (the register would drop it anyway).
    QString motivo;
    if (!PostaUscita::dimentica(fileUscita_, alunno, &motivo))
        qWarning("registro: posta in uscita: %s", qPrintable(motivo));
    dimenticato(alunno);
    return tolti;
}

std::optional<QStringList> RegistroSql::insegnanti(const QString &classe)
{
    Connessione *c = connessione(false);
    if (!c)
        return std::nullopt;
    if (!c->server()) {
        fallisce(QStringLiteral("un registro su questo PC non ha insegnanti per classe: solo quello del server."));
        return std::nullopt;
    }
    QSqlQuery q(c->db());
    if (!esegui(q, QStringLiteral("SELECT login FROM docenze WHERE classe = ? ORDER BY login"), {Schema::id(classe)})) {
        fallisce(QStringLiteral("gli insegnanti della classe non si leggono: %1")
                     .arg(q.lastError().databaseText().trimmed()));
        return std::nullopt;
    }
    QStringList elenco;
    while (q.next())
        elenco << q.value(0).toString();
    return elenco;
}

bool RegistroSql::aggiungiInsegnante(const QString &classe, const QString &login)
{
    const QString nome = login.trimmed();
    if (nome.isEmpty())
        return fallisce(QStringLiteral("manca il nome di accesso dell'insegnante."));
    Connessione *c = connessione(false);
    if (!c)
        return false;
    if (!c->server())
        return fallisce(
            QStringLiteral("un registro su questo PC non ha insegnanti per classe: solo quello del server."));
    QSqlQuery q(c->db());
    if (esegui(q, QStringLiteral("INSERT INTO docenze (classe, login) VALUES (?, ?) ON CONFLICT DO NOTHING"),
               {Schema::id(classe), nome}))
        return true;
    // The server decides: a login that is not one of its teachers, or a class that is not the caller's.
    const QString motivo = q.lastError().databaseText();
    if (motivo.contains(QLatin1String("does not exist")))
        return fallisce(QStringLiteral("sul server non c'è nessun accesso di nome «%1».").arg(nome));
    if (motivo.contains(QLatin1String("row-level security")))
        return fallisce(QStringLiteral("«%1» non è un accesso da insegnante di questo registro, o la classe non è tra "
                                       "le proprie: la classe si affida solo a un'altra insegnante.")
                            .arg(nome));
    return fallisce(QStringLiteral("la classe non si può affidare a «%1»: %2").arg(nome, motivo.trimmed()));
}

QString RegistroSql::motivoAttesa() { return spedizioniere_ ? spedizioniere_->errore() : QString(); }

QString RegistroSql::identita()
{
    connessione(false);
    return identita_;
}

std::optional<Registro::Server> RegistroSql::server()
{
    Connessione *c = connessione(false);
    if (!c || !c->server())
        return std::nullopt;
    Server s;
    // Where this connection went, as libpq resolved it: a service or the environment may have chosen it.
    const QVariant handle = c->db().driver()->handle();
    if (handle.isValid() && (qstrcmp(handle.typeName(), "PGconn*") == 0 || qstrcmp(handle.typeName(), "pg_conn*") == 0))
        if (PGconn *pg = *static_cast<PGconn *const *>(handle.constData()))
            s.host = QString::fromLocal8Bit(PQhost(pg));
    QSqlQuery q(c->db());
    if (!q.exec(QStringLiteral("SELECT current_database(), pg_get_userbyid(relowner) FROM pg_class"
                               " WHERE oid = 'risultati'::regclass")) ||
        !q.next()) {
        fallisce(q.lastError().text());
        return std::nullopt;
    }
    s.database = q.value(0).toString();
    s.proprietario = q.value(1).toString();
    return s;
}

std::optional<int> RegistroSql::conservazione()
{
    errore_.clear();
    Connessione *c = connessione(false);
    if (!c)
        return errore_.isEmpty() ? std::optional(conservazionePredefinita) : std::nullopt;
    QSqlQuery q(c->db());
    if (!q.exec(QStringLiteral("SELECT conservazione FROM quorvel_versione")) || !q.next()) {
        fallisce(q.lastError().text());
        return std::nullopt;
    }
    return q.value(0).toInt();
}

bool RegistroSql::impostaConservazione(int anniScolastici)
{
    if (anniScolastici < 1 || anniScolastici > conservazioneMassima)
        return fallisce(QStringLiteral("gli anni scolastici da conservare vanno da 1 a %1.").arg(conservazioneMassima));
    Connessione *c = connessione(false);
    if (!c)
        return errore_.isEmpty() ? fallisce(QStringLiteral("il registro non ha classi.")) : false;
    QSqlQuery q(c->db());
    if (!esegui(q, QStringLiteral("UPDATE quorvel_versione SET conservazione = ?"), {anniScolastici}) ||
        q.numRowsAffected() != 1)
        return fallisce(QStringLiteral("la durata di conservazione non si può cambiare: %1").arg(q.lastError().text()));
    return true;
}

std::optional<int> RegistroSql::cancellaRisultatiPrimaDel(const QDate &data)
{
    Connessione *c = connessione(false);
    if (!c)
        return 0;
    QSqlDatabase &db = c->db();
    std::optional<int> tolti;
    {
        Transazione t(db);
        if (!t.iniziata()) {
            fallisce(t.errore().text());
            return std::nullopt;
        }
        QSqlQuery q(db);
        const qint64 limite = inizioGiorno(data);
        // Kept, so that a result of the period still waiting on some PC is dropped when it arrives.
        if (!esegui(q, QStringLiteral("UPDATE quorvel_versione SET cancellati_prima = ? WHERE cancellati_prima < ?"),
                    {limite, limite}) ||
            !esegui(q, QStringLiteral("DELETE FROM risultati WHERE momento < ?"), {limite})) {
            fallisce(q.lastError().text());
            return std::nullopt;
        }
        const int risultati = q.numRowsAffected();
        // The sessions left with no result go too. Not by their start, which is the PC's clock: a
        // session of a PC a year behind holds results of today.
        if (!esegui(q, QStringLiteral("DELETE FROM sessioni WHERE id NOT IN (SELECT sessione FROM risultati)"), {}) ||
            !t.conferma()) {
            fallisce(q.lastError().text());
            return std::nullopt;
        }
        tolti = risultati;
    }
    if (!c->server())
        QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return tolti;
}

bool RegistroSql::risultati(const Filtro &filtro, const std::function<void(const RigaRisultato &)> &riga)
{
    Connessione *c = connessione(false);
    if (!c)
        return errore_.isEmpty();
    QVariantList valori;
    const QString sql =
        QStringLiteral("SELECT r.id, r.alunno, r.sessione, r.quando, s.macchina,"
                       " r.tipo, r.n, r.figura, r.risposta,"
                       " r.esatto, r.aiuto, r.intervento, r.secondi, r.arrivo, a.nome, c.nome, r.momento, s.accesso,"
                       " r.livello, r.abilita"
                       " FROM risultati r JOIN alunni a ON a.id = r.alunno JOIN classi c ON c.id = a.classe"
                       " LEFT JOIN sessioni s ON s.id = r.sessione") +
        condizioni(filtro, &valori) + QStringLiteral(" ORDER BY r.momento, r.id");
    QSqlQuery q(c->db());
    q.setForwardOnly(true);
    if (!esegui(q, sql, valori))
        return fallisce(q.lastError().text());
    RigaRisultato r;
    while (q.next()) {
        r.risultato.id = Schema::id(q.value(0));
        r.risultato.alunno = Schema::id(q.value(1));
        r.risultato.sessione = Schema::id(q.value(2));
        r.risultato.quando = QDateTime::fromMSecsSinceEpoch(q.value(3).toLongLong(), Qt::UTC);
        r.risultato.macchina = q.value(4).toString();
        r.risultato.tipo = q.value(5).toInt();
        r.risultato.n = q.value(6).toInt();
        r.risultato.figura = q.value(7).toInt();
        r.risultato.risposta = q.value(8).toInt();
        r.risultato.esatto = q.value(9).toBool();
        r.risultato.aiuto = aiuto(q.value(10).toInt());
        r.risultato.intervento = q.value(11).toBool();
        r.risultato.secondi = q.value(12).toLongLong();
        // Stamped by this PC's own clock, the arrival tells nothing quando does not: left null,
        // so the reports correct only by a server's clock.
        r.nomeAlunno = q.value(14).toString();
        r.nomeClasse = q.value(15).toString();
        r.momento = QDateTime::fromMSecsSinceEpoch(q.value(16).toLongLong(), Qt::UTC);
        r.accesso = q.value(17).toString();
        r.risultato.livello = q.value(18).toInt();
        // The place on the path is kept; how many answers led there only the pupil's row needs.
        r.risultato.percorso.reset();
        if (!q.value(19).isNull())
            r.risultato.percorso = StatoPercorso{q.value(19).toDouble(), 0};
        riga(r);
    }
    if (q.lastError().isValid())
        return fallisce(q.lastError().text());
    return true;
}

bool RegistroSql::risultatiBrevi(const Filtro &filtro, const std::function<void(const RigaBreve &)> &riga)
{
    Connessione *c = connessione(false);
    if (!c)
        return errore_.isEmpty();
    // The class's pupils are looked up first and the period's rows read in the table's own
    // order: through the pupils' index each row would cost a random read of the table,
    // ten times slower for a school year.
    QHash<QByteArray, QString> alunni;
    Filtro periodo = filtro;
    if (!filtro.classe.isEmpty()) {
        QSqlQuery q(c->db());
        if (!esegui(q, QStringLiteral("SELECT id FROM alunni WHERE classe = ?"), {Schema::id(filtro.classe)}))
            return fallisce(q.lastError().text());
        while (q.next())
            alunni.insert(q.value(0).toByteArray(), Schema::id(q.value(0)));
        periodo.classe.clear();
    }
    QVariantList valori;
    const QString sql = QStringLiteral("SELECT r.alunno, r.momento, r.tipo, r.esatto, r.aiuto, r.intervento, r.secondi,"
                                       " r.livello FROM risultati r") +
                        condizioni(periodo, &valori);
    QSqlQuery q(c->db());
    q.setForwardOnly(true);
    if (!esegui(q, sql, valori))
        return fallisce(q.lastError().text());
    RigaBreve r;
    while (q.next()) {
        const QVariant alunno = q.value(0);
        const QByteArray chiave = alunno.toByteArray();
        auto it = alunni.find(chiave);
        if (it == alunni.end()) {
            if (!filtro.classe.isEmpty())
                continue;
            // Each pupil's id is turned into text once.
            it = alunni.insert(chiave, Schema::id(alunno));
        }
        r.alunno = *it;
        r.quando = q.value(1).toLongLong();
        r.tipo = q.value(2).toInt();
        r.esatto = q.value(3).toBool();
        r.aiuto = aiuto(q.value(4).toInt());
        r.intervento = q.value(5).toBool();
        r.secondi = q.value(6).toLongLong();
        r.livello = q.value(7).toInt();
        riga(r);
    }
    if (q.lastError().isValid())
        return fallisce(q.lastError().text());
    return true;
}

std::optional<QList<Registro::Riassunto>> RegistroSql::riassunto(const Filtro &filtro)
{
    QList<Riassunto> elenco;
    Connessione *c = connessione(false);
    if (!c)
        return errore_.isEmpty() ? std::optional(elenco) : std::nullopt;
    // One row per pupil, kind and answer time, straight from the index: the median is read
    // off those counts, with no median function needed from the engine.
    QVariantList valori;
    const QString sql =
        QStringLiteral("SELECT r.alunno, r.tipo, r.secondi, COUNT(*), SUM(CASE WHEN r.esatto THEN 1 ELSE 0 END)"
                       " FROM risultati r") +
        condizioni(filtro, &valori) + QStringLiteral(" GROUP BY r.alunno, r.tipo, r.secondi");
    QSqlQuery q(c->db());
    q.setForwardOnly(true);
    if (!esegui(q, sql, valori)) {
        fallisce(q.lastError().text());
        return std::nullopt;
    }
    struct Gruppo {
        Riassunto r;
        QMap<qint64, int> tempi;
    };
    QMap<std::pair<QByteArray, int>, Gruppo> gruppi;
    while (q.next()) {
        Gruppo &g = gruppi[{q.value(0).toByteArray(), q.value(1).toInt()}];
        const int quanti = q.value(3).toInt();
        g.r.esercizi += quanti;
        g.r.esatti += q.value(4).toInt();
        g.tempi[q.value(2).toLongLong()] += quanti;
    }
    for (auto it = gruppi.begin(); it != gruppi.end(); ++it) {
        Riassunto r = it->r;
        r.alunno = Schema::id(QVariant(it.key().first));
        r.tipo = it.key().second;
        // The middle answer, or the mean of the two middle ones.
        const int basso = (r.esercizi - 1) / 2, alto = r.esercizi / 2;
        int visti = 0;
        std::optional<qint64> primo;
        for (auto t = it->tempi.cbegin(); t != it->tempi.cend(); ++t) {
            visti += t.value();
            if (!primo && visti > basso)
                primo = t.key();
            if (visti > alto) {
                r.secondiMediani = (double(*primo) + double(t.key())) / 2;
                break;
            }
        }
        elenco.append(r);
    }
    return elenco;
}
