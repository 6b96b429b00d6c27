#include "DepositoServer.h"

#include "ConnessioneServer.h"
#include "Schema.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>

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
    if (!ConnessioneServer::apri(nome_, conninfo_, &db_, &errore_))
        return false;
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
    // One round trip per result: its session (the first result of a session brings it) and the
    // result itself. A pupil erased meanwhile leaves nothing behind: rows of a pupil no longer in
    // the register are skipped. The server stamps arrivo; the pupils' role may not write it.
    inserisci_ = std::make_unique<QSqlQuery>(db_);
    if (!inserisci_->prepare(QStringLiteral(
            "WITH a AS (SELECT id FROM alunni WHERE id = ?),"
            " s AS (INSERT INTO sessioni (id, alunno, macchina, inizio) SELECT ?, a.id, ?, ? FROM a"
            "  ON CONFLICT DO NOTHING)"
            " INSERT INTO risultati (id, alunno, sessione, quando, tipo, n, figura, risposta, esatto, aiuto,"
            "  intervento, secondi, inviato) SELECT ?, a.id, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ? FROM a"
            " ON CONFLICT DO NOTHING"))) {
        errore_ = testoErrore(inserisci_->lastError());
        chiudi();
        return false;
    }
    pronto_ = true;
    return true;
}

bool DepositoServer::consegna(const QList<Risultato> &risultati)
{
    if (!connetti())
        return false;
    if (!db_.transaction()) {
        errore_ = testoErrore(db_.lastError());
        chiudi();
        return false;
    }
    // The PC's clock now, as the server stamps its arrival: their difference is the PC's
    // clock error, which the reports use to trust or correct `quando` (Orario::momento).
    const qint64 inviato = QDateTime::currentMSecsSinceEpoch();
    QSqlQuery &q = *inserisci_;
    bool ok = true;
    for (auto r = risultati.cbegin(); ok && r != risultati.cend(); ++r) {
        const QVariant idSessione = Schema::id(r->sessione);
        const qint64 quando = r->quando.toMSecsSinceEpoch();
        for (const QVariant &v :
             {Schema::id(r->alunno), idSessione, QVariant(r->macchina), QVariant(quando), Schema::id(r->id), idSessione,
              QVariant(quando), QVariant(r->tipo), QVariant(r->n), QVariant(r->figura), QVariant(r->risposta),
              QVariant(r->esatto), QVariant(int(r->aiuto)), QVariant(r->intervento), QVariant(r->secondi),
              QVariant(inviato)})
            q.addBindValue(v);
        ok = q.exec();
    }
    if (ok && db_.commit())
        return true;
    errore_ = QStringLiteral("il server del registro (%1) non ha preso i risultati: %2")
                  .arg(ConnessioneServer::descrivi(conninfo_),
                       testoErrore(q.lastError().isValid() ? q.lastError() : db_.lastError()));
    // A lost connection is made again next time; so is one whose server was migrated meanwhile.
    if (db_.isOpen())
        db_.rollback();
    chiudi();
    return false;
}
