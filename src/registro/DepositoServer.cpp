#include "DepositoServer.h"

#include "ConnessioneServer.h"
#include "Schema.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace {

QAtomicInt contatore;

QString testoErrore(const QSqlError &e)
{
    const QString testo = e.databaseText().trimmed();
    return testo.isEmpty() ? e.text().trimmed() : testo;
}

} // namespace

DepositoServer::DepositoServer(const QString &conninfo)
    : conninfo_(conninfo), nome_(QStringLiteral("quorvel-deposito-%1").arg(contatore.fetchAndAddRelaxed(1)))
{
}

DepositoServer::~DepositoServer() { chiudi(); }

void DepositoServer::chiudi()
{
    inserisci_.reset();
    identita_.clear();
    interruttore_.scollega();
    if (db_.isValid()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(nome_);
    }
    pronto_ = false;
}

bool DepositoServer::connetti()
{
    if (pronto_ && db_.isOpen())
        return true;
    chiudi();
    if (interruttore_.interrotto()) {
        errore_ = QStringLiteral("il server del registro (%1) non risponde: i risultati restano su questo PC.")
                      .arg(ConnessioneServer::descrivi(conninfo_));
        return false;
    }
    if (!ConnessioneServer::apri(nome_, conninfo_, &db_, &errore_))
        return false;
    interruttore_.collega(db_);
    // Pupils' PCs never migrate: that is the administrator's --registro-prepara.
    const std::optional<int> versione = Schema::versioneDi(db_, &errore_);
    if (!versione)
        return false;
    if (*versione != Schema::versione()) {
        errore_ = QStringLiteral("il registro sul server (%1) è della versione %2, questo programma della %3: "
                                 "i risultati restano su questo PC finché l'amministratore non esegue "
                                 "quorvel --registro-prepara con la versione giusta.")
                      .arg(ConnessioneServer::descrivi(conninfo_))
                      .arg(*versione)
                      .arg(Schema::versione());
        return false;
    }
    const std::optional<QString> identita = Schema::identitaDi(db_);
    if (!identita) {
        errore_ = QStringLiteral("il server del registro (%1) non dice quale registro è.")
                      .arg(ConnessioneServer::descrivi(conninfo_));
        return false;
    }
    identita_ = *identita;
    // One round trip for a whole batch, whatever its size: the columns go as arrays (ids in hex),
    // the statement runs on its own, so it is one transaction without BEGIN and COMMIT. Each
    // session comes with its results. A pupil erased meanwhile leaves nothing behind: rows of a
    // pupil no longer in the register are skipped. The server stamps arrivo; the pupils' role may
    // not write it.
    inserisci_ = std::make_unique<QSqlQuery>(db_);
    if (!inserisci_->prepare(QStringLiteral(
            "WITH v AS (SELECT decode(v.id, 'hex') AS id, alunni.id AS alunno, decode(v.sessione, 'hex') AS sessione,"
            "  v.quando, v.macchina, v.tipo, v.n, v.figura, v.risposta, v.esatto, v.aiuto, v.intervento, v.secondi,"
            "  v.livello, v.abilita, v.risposte"
            "  FROM unnest(?::text[], ?::text[], ?::text[], ?::bigint[], ?::text[], ?::smallint[], ?::smallint[],"
            "   ?::smallint[], ?::smallint[], ?::boolean[], ?::smallint[], ?::boolean[], ?::integer[],"
            "   ?::smallint[], ?::real[], ?::integer[])"
            "   AS v (id, alunno, sessione, quando, macchina, tipo, n, figura, risposta, esatto, aiuto, intervento,"
            "   secondi, livello, abilita, risposte)"
            "  JOIN alunni ON alunni.id = decode(v.alunno, 'hex')),"
            " s AS (INSERT INTO sessioni (id, alunno, macchina, inizio)"
            "  SELECT DISTINCT ON (sessione) sessione, alunno, macchina, quando FROM v ORDER BY sessione, quando"
            "  ON CONFLICT DO NOTHING),"
            // Each pupil's newest place on the path; one that arrives late replaces nothing newer.
            " p AS (UPDATE alunni a SET abilita = x.abilita, risposte_percorso = x.risposte"
            "  FROM (SELECT DISTINCT ON (alunno) alunno, abilita, risposte FROM v WHERE risposte IS NOT NULL"
            "   ORDER BY alunno, risposte DESC) x"
            "  WHERE a.id = x.alunno AND (a.risposte_percorso IS NULL OR a.risposte_percorso < x.risposte))"
            " INSERT INTO risultati (id, alunno, sessione, quando, tipo, n, figura, risposta, esatto, aiuto,"
            "  intervento, secondi, inviato, livello, abilita)"
            " SELECT id, alunno, sessione, quando, tipo, n, figura, risposta, esatto, aiuto, intervento, secondi, ?,"
            "  livello, abilita"
            " FROM v ON CONFLICT DO NOTHING"))) {
        errore_ = testoErrore(inserisci_->lastError());
        chiudi();
        return false;
    }
    pronto_ = true;
    return true;
}

qint64 DepositoServer::orologioPc() const { return QDateTime::currentMSecsSinceEpoch(); }

QString DepositoServer::identita() { return connetti() ? identita_ : QString(); }

bool DepositoServer::consegna(const QList<Risultato> &tutti)
{
    if (!connetti())
        return false;
    // One row per id, with its latest help outcome: a statement may not meet an id twice.
    QList<Risultato> risultati;
    QHash<QString, qsizetype> posto;
    QStringList esiti[3];
    for (const Risultato &r : tutti) {
        if (const auto it = posto.constFind(r.id); it != posto.cend())
            risultati[*it] = r;
        else {
            posto.insert(r.id, risultati.size());
            risultati.append(r);
        }
    }
    // The PC's clock now, as the server stamps its arrival: their difference is the PC's
    // clock error, which the reports use to trust or correct `quando` (Orario::momento).
    const qint64 inviato = orologioPc();
    // The server refuses what it could not have been sent by a PC in working order, and one such row
    // would hold back the whole batch for ever: a result older than the server takes (a PC that was
    // off for over a year) is dropped here, an answer that took more than a day counts as a day.
    const qint64 piuVecchio = inviato - Schema::attesaMassimaMs + 24LL * 3600 * 1000;
    risultati.removeIf([piuVecchio](const Risultato &r) {
        if (r.quando.toMSecsSinceEpoch() >= piuVecchio)
            return false;
        qWarning("risultato %s del %s troppo vecchio per il server del registro: non viene mandato", qPrintable(r.id),
                 qPrintable(r.quando.toString(Qt::ISODate)));
        return true;
    });
    if (risultati.isEmpty())
        return true;
    // Array literals of ids in hex, numbers, booleans and quoted names: nothing in them is SQL,
    // and the whole of each is one bound value.
    QStringList colonne[16];
    const auto esadecimale = [](const QString &id) {
        return QLatin1Char('"') + QString::fromLatin1(Schema::id(id).toByteArray().toHex()) + QLatin1Char('"');
    };
    for (const Risultato &r : risultati) {
        QString macchina = r.macchina;
        macchina.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
        const QString valori[16] = {esadecimale(r.id),
                                    esadecimale(r.alunno),
                                    esadecimale(r.sessione),
                                    QString::number(r.quando.toMSecsSinceEpoch()),
                                    QLatin1Char('"') + macchina + QLatin1Char('"'),
                                    QString::number(r.tipo),
                                    QString::number(r.n),
                                    QString::number(r.figura),
                                    QString::number(r.risposta),
                                    QLatin1String(r.esatto ? "t" : "f"),
                                    QString::number(int(r.aiuto)),
                                    QLatin1String(r.intervento ? "t" : "f"),
                                    QString::number(std::clamp<qint64>(r.secondi, 0, 86399)),
                                    QString::number(r.livello),
                                    r.percorso ? QString::number(r.percorso->abilita, 'g', 9) : QStringLiteral("NULL"),
                                    r.percorso ? QString::number(r.percorso->risposte) : QStringLiteral("NULL")};
        for (int c = 0; c < 16; ++c)
            colonne[c] << valori[c];
    }
    const auto matrice = [](const QStringList &c) {
        return QLatin1Char('{') + c.join(QLatin1Char(',')) + QLatin1Char('}');
    };
    QSqlQuery &q = *inserisci_;
    for (const QStringList &c : colonne)
        q.addBindValue(matrice(c));
    q.addBindValue(inviato);
    if (q.exec()) {
        // A help outcome that came after its result had been stored. Run again if this fails:
        // both statements take what is already there only once.
        for (const Risultato &r : risultati)
            if (r.aiuto == Risultato::Aiuto::Accettato || r.aiuto == Risultato::Aiuto::Rifiutato) {
                esiti[0] << esadecimale(r.id);
                esiti[1] << QString::number(int(r.aiuto));
                esiti[2] << QLatin1String(r.intervento ? "t" : "f");
            }
        if (esiti[0].isEmpty())
            return true;
        QSqlQuery e(db_);
        e.prepare(QStringLiteral("SELECT quorvel_esiti(?::text[], ?::smallint[], ?::boolean[])"));
        for (const QStringList &c : esiti)
            e.addBindValue(matrice(c));
        if (e.exec())
            return true;
        errore_ = QStringLiteral("il server del registro (%1) non ha preso l'esito dell'aiuto: %2")
                      .arg(ConnessioneServer::descrivi(conninfo_), testoErrore(e.lastError()));
        chiudi();
        return false;
    }
    errore_ = QStringLiteral("il server del registro (%1) non ha preso i risultati: %2")
                  .arg(ConnessioneServer::descrivi(conninfo_), testoErrore(q.lastError()));
    // A lost connection is made again next time; so is one whose server was migrated meanwhile.
    chiudi();
    return false;
}
