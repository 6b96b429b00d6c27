#include "Schema.h"

#include "Orario.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QSet>
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
        // 3: on the lab's server, the PC's clock when its sender handed the result over; with the
        // server's arrivo it tells how wrong the PC's clock was (Orario). Empty on a PC's own file.
        {
            "ALTER TABLE risultati ADD COLUMN inviato BIGINT",
        },
        // 4: a register of its own identity, whatever reaches it; every result's corrected moment,
        // fixed when it arrives, which every filter, figure, erasure and export uses; erasures that
        // hold for results arriving late; names unique whatever their case, settled by the database.
        {
            "ALTER TABLE quorvel_versione ADD COLUMN registro VARCHAR(36)",
            "UPDATE quorvel_versione SET registro = '{NUOVO_ID}'",
            // Results whose corrected moment is before this (ms since 1970 UTC) were erased.
            "ALTER TABLE quorvel_versione ADD COLUMN cancellati_prima BIGINT NOT NULL DEFAULT 0",
            // On a PC's own file the PC's clock is the only one: the moment is when it was answered,
            // and costs no room.
            "{PG}ALTER TABLE risultati ADD COLUMN momento BIGINT",
            "{PG}UPDATE risultati SET momento = {MOMENTO}",
            "{SQLITE}ALTER TABLE risultati ADD COLUMN momento BIGINT GENERATED ALWAYS AS (quando) VIRTUAL",
            // A server's periods come from its index. A PC's file reads a class's year in the table's
            // own order, faster than through any index, and an index would make it bigger.
            "{PG}CREATE INDEX risultati_momento ON risultati (momento)",
            "ALTER TABLE classi ADD COLUMN chiave VARCHAR(240)",
            "ALTER TABLE alunni ADD COLUMN chiave VARCHAR(240)",
            "{CHIAVI}",
            "CREATE UNIQUE INDEX classi_chiave ON classi (chiave)",
            "CREATE UNIQUE INDEX alunni_chiave ON alunni (classe, chiave)",
            // The server fixes the moment itself, from its own clock: no PC can choose it. A result
            // of an erased period is dropped on arrival, on either engine.
            "{PG}CREATE FUNCTION quorvel_arrivo() RETURNS trigger LANGUAGE plpgsql AS $$"
            " BEGIN"
            "  NEW.momento := {MOMENTO_NEW};"
            "  IF NEW.momento < (SELECT cancellati_prima FROM quorvel_versione) THEN RETURN NULL; END IF;"
            "  RETURN NEW;"
            " END $$",
            "{PG}CREATE TRIGGER risultati_arrivo BEFORE INSERT ON risultati"
            " FOR EACH ROW EXECUTE FUNCTION quorvel_arrivo()",
            // The one change a pupils' PC may make to a stored result: the help offered at VERIFICA
            // gets its outcome (accepted or refused, and whether the program stepped in), once.
            "{PG}CREATE FUNCTION quorvel_esiti(ids text[], aiuti smallint[], interventi boolean[])"
            " RETURNS void LANGUAGE sql SECURITY DEFINER SET search_path = public, pg_temp AS $$"
            " UPDATE risultati r SET aiuto = e.aiuto, intervento = e.intervento"
            " FROM unnest(ids, aiuti, interventi) AS e (id, aiuto, intervento)"
            " WHERE r.id = decode(e.id, 'hex') AND r.aiuto = 1 AND e.aiuto IN (2, 3) $$",
            "{SQLITE}CREATE TRIGGER risultati_cancellati BEFORE INSERT ON risultati"
            " WHEN NEW.quando < (SELECT cancellati_prima FROM quorvel_versione)"
            " BEGIN SELECT RAISE(IGNORE); END",
        },
        // 5: how many school years the register keeps; on the server, the teachers of each class
        // (the server shows a teacher only those), and what a result can hold. The checks hold for
        // rows to come: one odd old row must not stop the upgrade.
        {
            "ALTER TABLE quorvel_versione ADD COLUMN conservazione SMALLINT NOT NULL DEFAULT 2",
            "{PG}CREATE TABLE docenze (classe {ID} NOT NULL REFERENCES classi (id) ON DELETE CASCADE,"
            " login VARCHAR(63) NOT NULL, PRIMARY KEY (classe, login))",
            "{PG}CREATE INDEX docenze_login ON docenze (login)",
            // The server's login that sent a session, which no PC can choose: with a login per PC the
            // teacher knows which PC sent what. Empty on a PC's own file.
            "ALTER TABLE sessioni ADD COLUMN accesso VARCHAR(63)",
            "{PG}ALTER TABLE sessioni ALTER COLUMN accesso SET DEFAULT session_user",
            "{PG}ALTER TABLE risultati ADD CONSTRAINT risultati_id CHECK (length(id) = 16 AND length(sessione) = 16)"
            " NOT VALID",
            "{PG}ALTER TABLE risultati ADD CONSTRAINT risultati_tipo CHECK (tipo BETWEEN 0 AND 2) NOT VALID",
            // The grid has 15 slots: no set, and no answer, is larger.
            "{PG}ALTER TABLE risultati ADD CONSTRAINT risultati_n CHECK (n BETWEEN 1 AND 15) NOT VALID",
            "{PG}ALTER TABLE risultati ADD CONSTRAINT risultati_risposta CHECK (risposta BETWEEN 0 AND 15) NOT VALID",
            "{PG}ALTER TABLE risultati ADD CONSTRAINT risultati_figura CHECK (figura BETWEEN 1 AND 12) NOT VALID",
            // Right means N - 1 built; help is offered after a wrong answer only, and the program steps
            // in only after a refusal.
            "{PG}ALTER TABLE risultati ADD CONSTRAINT risultati_esito CHECK (esatto = (risposta = n - 1)"
            " AND esatto = (aiuto = 0) AND aiuto BETWEEN 0 AND 3 AND (NOT intervento OR aiuto = 3)) NOT VALID",
            "{PG}ALTER TABLE risultati ADD CONSTRAINT risultati_secondi CHECK (secondi BETWEEN 0 AND 86399) NOT VALID",
            // Not after its arrival by the server's clock, nor long before it.
            "{PG}ALTER TABLE risultati ADD CONSTRAINT risultati_momento CHECK (quando > 0 AND momento <= arrivo"
            " AND momento >= arrivo - {ATTESA_MASSIMA}) NOT VALID",
            "{PG}ALTER TABLE sessioni ADD CONSTRAINT sessioni_plausibili CHECK (length(id) = 16 AND inizio > 0)"
            " NOT VALID",
        },
        // 6: the level a teacher sets for a class or a pupil (a fixed one when both ends are equal, a
        // path between them otherwise, nothing set when null); a pupil's place on a path, which only
        // a newer one (more answers) replaces; the level of each result, and the place it left.
        {
            "ALTER TABLE classi ADD COLUMN livello_da SMALLINT",
            "ALTER TABLE classi ADD COLUMN livello_a SMALLINT",
            "ALTER TABLE alunni ADD COLUMN livello_da SMALLINT",
            "ALTER TABLE alunni ADD COLUMN livello_a SMALLINT",
            "ALTER TABLE alunni ADD COLUMN abilita REAL",
            "ALTER TABLE alunni ADD COLUMN risposte_percorso INTEGER",
            // Results stored before levels were all at the usual draws, level 4.
            "ALTER TABLE risultati ADD COLUMN livello SMALLINT NOT NULL DEFAULT 4",
            "ALTER TABLE risultati ADD COLUMN abilita REAL",
            "{PG}ALTER TABLE classi ADD CONSTRAINT classi_livello CHECK ((livello_da IS NULL AND livello_a IS NULL)"
            " OR (livello_da BETWEEN 1 AND livello_a AND livello_a <= 6))",
            "{PG}ALTER TABLE alunni ADD CONSTRAINT alunni_livello CHECK ((livello_da IS NULL AND livello_a IS NULL)"
            " OR (livello_da BETWEEN 1 AND livello_a AND livello_a <= 6))",
            "{PG}ALTER TABLE alunni ADD CONSTRAINT alunni_percorso CHECK ((abilita IS NULL) = (risposte_percorso IS "
            "NULL)"
            " AND abilita BETWEEN -10 AND 20 AND risposte_percorso > 0)",
            "{PG}ALTER TABLE risultati ADD CONSTRAINT risultati_livello CHECK (livello BETWEEN 1 AND 6"
            " AND abilita BETWEEN -10 AND 20) NOT VALID",
        },
    };
    return elenco;
}

QString tipoId(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL") ? QStringLiteral("BYTEA") : QStringLiteral("BLOB");
}

QString motivo(const QSqlError &errore) { return errore.text().trimmed(); }

// Orario::momento in SQL, on the columns of a row (`riga`: "" or "NEW.").
QString momento(const QString &riga)
{
    return QStringLiteral("CASE WHEN %1inviato IS NULL OR %1inviato <= 0 OR %1arrivo <= 0 THEN %1quando"
                          " WHEN abs(%1arrivo - %1inviato) > %2 THEN (CASE WHEN %1quando + %1arrivo - %1inviato"
                          " < %1arrivo THEN %1quando + %1arrivo - %1inviato ELSE %1arrivo END)"
                          " ELSE (CASE WHEN %1quando < %1arrivo THEN %1quando ELSE %1arrivo END) END")
        .arg(riga)
        .arg(Orario::tolleranzaMs);
}

// Each class's and pupil's key from its name. Names that a race let in twice (before the
// database settled it) keep a null key, which the unique index lets be.
bool chiavi(QSqlDatabase &db, QString *errore)
{
    for (const auto &[tabella, gruppo] : {std::pair{"classi", ""}, std::pair{"alunni", "classe"}}) {
        QSqlQuery leggi(db);
        const QString gruppoSql = *gruppo ? QLatin1String(gruppo) : QStringLiteral("NULL");
        if (!leggi.exec(
                QStringLiteral("SELECT id, nome, %1 FROM %2 ORDER BY id").arg(gruppoSql, QLatin1String(tabella)))) {
            *errore = motivo(leggi.lastError());
            return false;
        }
        QSet<QString> viste;
        QSqlQuery scrivi(db);
        scrivi.prepare(QStringLiteral("UPDATE %1 SET chiave = ? WHERE id = ?").arg(QLatin1String(tabella)));
        while (leggi.next()) {
            const QString chiave = Schema::chiave(leggi.value(1).toString());
            const QString tutto = leggi.value(2).toByteArray().toHex() + QLatin1Char('/') + chiave;
            if (viste.contains(tutto))
                continue;
            viste.insert(tutto);
            scrivi.addBindValue(chiave);
            scrivi.addBindValue(leggi.value(0));
            if (!scrivi.exec()) {
                *errore = motivo(scrivi.lastError());
                return false;
            }
        }
    }
    return true;
}

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
        const bool server = db.driverName() == QLatin1String("QPSQL");
        for (QString istruzione : istruzioni) {
            if (istruzione.startsWith(QLatin1String("{PG}")) || istruzione.startsWith(QLatin1String("{SQLITE}"))) {
                if (istruzione.startsWith(QLatin1String("{PG}")) != server)
                    continue;
                istruzione.remove(0, istruzione.indexOf(QLatin1Char('}')) + 1);
            }
            if (istruzione == QLatin1String("{CHIAVI}")) {
                QString motivoChiavi;
                if (!chiavi(db, &motivoChiavi)) {
                    *errore =
                        QStringLiteral("il passo %1 del registro non è riuscito: %2").arg(passo).arg(motivoChiavi);
                    return false;
                }
                continue;
            }
            istruzione.replace(QLatin1String("{ID}"), tipoId(db));
            istruzione.replace(QLatin1String("{NUOVO_ID}"), nuovoId());
            istruzione.replace(QLatin1String("{MOMENTO_NEW}"), momento(QStringLiteral("NEW.")));
            istruzione.replace(QLatin1String("{MOMENTO}"), momento(QString()));
            istruzione.replace(QLatin1String("{ATTESA_MASSIMA}"), QString::number(Schema::attesaMassimaMs));
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

QString chiave(const QString &nome) { return nome.normalized(QString::NormalizationForm_C).toCaseFolded(); }

std::optional<QString> identitaDi(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT registro FROM quorvel_versione")) || !q.next())
        return std::nullopt;
    return q.value(0).toString();
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

Transazione::Transazione(const QSqlDatabase &db) : db_(db)
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
    if (iniziata_ && !finita_ && db_.isOpen()) {
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
