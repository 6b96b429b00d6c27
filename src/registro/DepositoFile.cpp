#include "DepositoFile.h"

#include "Connessione.h"
#include "RegistroFile.h"
#include "Schema.h"

#include <QDateTime>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

DepositoFile::DepositoFile(const QString &file) : file_(file) {}

DepositoFile::~DepositoFile() = default;

bool DepositoFile::consegna(const QList<Risultato> &risultati)
{
    if (!connetti())
        return false;
    QSqlDatabase &db = connessione_->db();
    Transazione t(db);
    if (!t.iniziata())
        return fallisce(t.errore());
    // A pupil erased meanwhile takes their results with them: those rows are not written.
    // (Should one go between this look and the insert, the foreign key refuses the
    // transaction and the next try leaves the row out.)
    QHash<QString, bool> presenti;
    QSqlQuery presente(db);
    presente.prepare(QStringLiteral("SELECT COUNT(*) FROM alunni WHERE id = ?"));
    QSqlQuery sessione(db);
    sessione.prepare(QStringLiteral("INSERT INTO sessioni (id, alunno, macchina, inizio) VALUES (?, ?, ?, ?)"
                                    " ON CONFLICT (id) DO NOTHING"));
    // The moment is the PC's clock here (the table says so); a result of an erased period is
    // dropped by the table's trigger.
    QSqlQuery risultato(db);
    risultato.prepare(
        QStringLiteral("INSERT INTO risultati (id, alunno, sessione, quando, tipo, n, figura, risposta, esatto,"
                       " aiuto, intervento, secondi, arrivo, livello, abilita)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                       " ON CONFLICT (id) DO UPDATE SET aiuto = excluded.aiuto, intervento = excluded.intervento"
                       " WHERE risultati.aiuto = %1 AND excluded.aiuto IN (%2, %3)")
            .arg(int(Risultato::Aiuto::Offerto))
            .arg(int(Risultato::Aiuto::Accettato))
            .arg(int(Risultato::Aiuto::Rifiutato)));
    // Results may come out of order (two PCs, a late outbox): a place on the path replaces only an older one.
    QSqlQuery percorso(db);
    percorso.prepare(QStringLiteral("UPDATE alunni SET abilita = ?, risposte_percorso = ? WHERE id = ?"
                                    " AND (risposte_percorso IS NULL OR risposte_percorso < ?)"));
    const qint64 adesso = QDateTime::currentMSecsSinceEpoch();
    for (const Risultato &r : risultati) {
        const QVariant alunno = Schema::id(r.alunno);
        auto noto = presenti.find(r.alunno);
        if (noto == presenti.end()) {
            presente.addBindValue(alunno);
            if (!presente.exec() || !presente.next())
                return fallisce(presente.lastError());
            noto = presenti.insert(r.alunno, presente.value(0).toInt() > 0);
            presente.finish();
        }
        if (!*noto)
            continue;
        const qint64 quando = r.quando.toMSecsSinceEpoch();
        for (const QVariant &v : {Schema::id(r.sessione), alunno, QVariant(r.macchina), QVariant(quando)})
            sessione.addBindValue(v);
        if (!sessione.exec())
            return fallisce(sessione.lastError());
        for (const QVariant &v :
             {Schema::id(r.id), alunno, Schema::id(r.sessione), QVariant(quando), QVariant(r.tipo), QVariant(r.n),
              QVariant(r.figura), QVariant(r.risposta), QVariant(r.esatto), QVariant(int(r.aiuto)),
              QVariant(r.intervento), QVariant(r.secondi), QVariant(adesso), QVariant(r.livello),
              r.percorso ? QVariant(r.percorso->abilita) : QVariant(QMetaType(QMetaType::Double))})
            risultato.addBindValue(v);
        if (!risultato.exec())
            return fallisce(risultato.lastError());
        if (r.percorso) {
            for (const QVariant &v : {QVariant(r.percorso->abilita), QVariant(r.percorso->risposte), alunno,
                                      QVariant(r.percorso->risposte)})
                percorso.addBindValue(v);
            if (!percorso.exec())
                return fallisce(percorso.lastError());
        }
    }
    if (!t.conferma())
        return fallisce(t.errore());
    errore_.clear();
    return true;
}

QString DepositoFile::identita() { return connetti() ? identita_ : QString(); }

bool DepositoFile::connetti()
{
    // After a failure the connection may be the trouble (file replaced, disk full): a fresh
    // one, dropped here where no transaction holds it.
    if (rinnova_)
        connessione_.reset();
    rinnova_ = false;
    if (connessione_)
        return true;
    // A missing file is not made here: results wait in the outbox for the register.
    auto c = RegistroFile::apriFile(file_, false, &errore_);
    // Results leave the outbox once committed here: the commit must survive a power cut too.
    if (!c || !c->usaWal(true)) {
        if (c)
            errore_ = c->errore();
        return false;
    }
    const std::optional<QString> id = Schema::identitaDi(c->db());
    if (!id) {
        errore_ = QStringLiteral("non si legge l'identità del registro.");
        return false;
    }
    identita_ = *id;
    connessione_ = std::move(c);
    return true;
}

bool DepositoFile::fallisce(const QSqlError &e)
{
    errore_ = QStringLiteral("i risultati non si scrivono nel registro: %1").arg(e.text());
    rinnova_ = true;
    return false;
}
