#include "Schema.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QUuid>

namespace {

// The steps. Standard SQL only; {ID} is the one type the engines spell differently.
// Never change a step that has shipped: add one.
const QList<QStringList> &passi()
{
    static const QList<QStringList> elenco{
        // 1: classes, pupils, sessions and results
        {
            "CREATE TABLE quorvel_versione (versione INTEGER NOT NULL)",
            "INSERT INTO quorvel_versione (versione) VALUES (0)",
            "CREATE TABLE classi (id {ID} PRIMARY KEY, nome VARCHAR(60) NOT NULL UNIQUE,"
            " archiviata BOOLEAN NOT NULL)",
            "CREATE TABLE alunni (id {ID} PRIMARY KEY, classe {ID} NOT NULL REFERENCES classi (id),"
            " nome VARCHAR(60) NOT NULL, figura SMALLINT NOT NULL, colore SMALLINT NOT NULL,"
            " UNIQUE (classe, nome), UNIQUE (classe, figura, colore))",
            // One opening of the exercise window; the machine is said once here, not in every result.
            "CREATE TABLE sessioni (id {ID} PRIMARY KEY, alunno {ID} NOT NULL REFERENCES alunni (id),"
            " macchina VARCHAR(255) NOT NULL, inizio BIGINT NOT NULL)",
            // Times in milliseconds since 1970 UTC: quando by the PC's clock, arrivo when the
            // register stored it. No foreign key to sessioni: erasing a pupil would need one more
            // index of the whole table to check it.
            "CREATE TABLE risultati (id {ID} PRIMARY KEY, alunno {ID} NOT NULL REFERENCES alunni (id),"
            " sessione {ID} NOT NULL, quando BIGINT NOT NULL, tipo SMALLINT NOT NULL, n SMALLINT NOT NULL,"
            " figura SMALLINT NOT NULL, risposta SMALLINT NOT NULL, esatto BOOLEAN NOT NULL,"
            " aiuto SMALLINT NOT NULL, intervento BOOLEAN NOT NULL, secondi INTEGER NOT NULL,"
            " arrivo BIGINT NOT NULL)",
        },
        // 2: what the reports and erasing a pupil look up
        {
            // Covers the per-pupil summary (count, right, median seconds, per kind) and deleting by pupil.
            "CREATE INDEX risultati_alunno ON risultati (alunno, tipo, secondi, esatto)",
            "CREATE INDEX sessioni_alunno ON sessioni (alunno)",
        },
    };
    return elenco;
}

QString tipoId(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL") ? QStringLiteral("BYTEA") : QStringLiteral("BLOB");
}

QString motivo(const QSqlError &errore) { return errore.text().trimmed(); }

} // namespace

namespace Schema {

int versione() { return int(passi().size()); }

std::optional<int> versioneDi(QSqlDatabase &db, QString *errore)
{
    const QStringList tabelle = db.tables();
    if (!tabelle.contains(QLatin1String("quorvel_versione"))) {
        if (tabelle.isEmpty())
            return 0;
        *errore = QStringLiteral("il database non è un registro di Quorvel.");
        return std::nullopt;
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT versione FROM quorvel_versione")) || !q.next()) {
        *errore = QStringLiteral("non si legge la versione del registro: %1").arg(motivo(q.lastError()));
        return std::nullopt;
    }
    return q.value(0).toInt();
}

bool migra(QSqlDatabase &db, QString *errore, int finoA)
{
    for (;;) {
        const std::optional<int> attuale = versioneDi(db, errore);
        if (!attuale)
            return false;
        if (*attuale > versione()) {
            *errore = QStringLiteral("il registro è della versione %1, più nuova di questo programma (%2): "
                                     "non viene modificato; aggiornare Quorvel.")
                          .arg(*attuale)
                          .arg(versione());
            return false;
        }
        if (*attuale >= finoA)
            return true;
        Transazione t(db);
        if (!t.iniziata()) {
            *errore = QStringLiteral("il registro non si può aggiornare: %1").arg(motivo(t.errore()));
            return false;
        }
        // Another copy of the program may have taken the step while this one waited for the lock.
        const std::optional<int> ora = versioneDi(db, errore);
        if (!ora)
            return false;
        if (*ora != *attuale)
            continue;
        const int passo = *attuale + 1;
        QStringList istruzioni = passi()[passo - 1];
        istruzioni << QStringLiteral("UPDATE quorvel_versione SET versione = %1").arg(passo);
        for (QString istruzione : istruzioni) {
            istruzione.replace(QLatin1String("{ID}"), tipoId(db));
            QSqlQuery q(db);
            if (!q.exec(istruzione)) {
                *errore =
                    QStringLiteral("il passo %1 del registro non è riuscito: %2").arg(passo).arg(motivo(q.lastError()));
                return false;
            }
        }
        if (!t.conferma()) {
            *errore = QStringLiteral("il passo %1 del registro non è riuscito: %2").arg(passo).arg(motivo(t.errore()));
            return false;
        }
    }
}

QVariant id(const QString &testo)
{
    const QUuid uuid(testo);
    return uuid.isNull() ? QVariant(QByteArray()) : QVariant(uuid.toRfc4122());
}

QString id(const QVariant &valore) { return QUuid::fromRfc4122(valore.toByteArray()).toString(QUuid::WithoutBraces); }

QString nuovoId()
{
    // Version 7: 48 bits of milliseconds, then random bits.
    QByteArray b(16, Qt::Uninitialized);
    const quint64 ms = quint64(QDateTime::currentMSecsSinceEpoch());
    for (int i = 0; i < 6; ++i)
        b[i] = char((ms >> (8 * (5 - i))) & 0xff);
    QRandomGenerator *g = QRandomGenerator::system();
    for (int i = 6; i < 16; ++i)
        b[i] = char(g->bounded(256));
    b[6] = char((b[6] & 0x0f) | 0x70);
    b[8] = char((b[8] & 0x3f) | 0x80);
    return QUuid::fromRfc4122(b).toString(QUuid::WithoutBraces);
}

} // namespace Schema

Transazione::Transazione(QSqlDatabase &db) : db_(db)
{
    if (db_.driverName() == QLatin1String("QSQLITE")) {
        QSqlQuery q(db_);
        iniziata_ = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
        errore_ = q.lastError();
    } else {
        iniziata_ = db_.transaction();
        errore_ = db_.lastError();
    }
}

Transazione::~Transazione()
{
    if (iniziata_ && !finita_) {
        if (db_.driverName() == QLatin1String("QSQLITE"))
            QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
        else
            db_.rollback();
    }
}

bool Transazione::conferma()
{
    if (!iniziata_ || finita_)
        return false;
    bool ok = false;
    if (db_.driverName() == QLatin1String("QSQLITE")) {
        QSqlQuery q(db_);
        ok = q.exec(QStringLiteral("COMMIT"));
        errore_ = q.lastError();
    } else {
        ok = db_.commit();
        errore_ = db_.lastError();
    }
    finita_ = ok;
    return ok;
}
