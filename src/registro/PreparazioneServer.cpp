#include "PreparazioneServer.h"

#include "ConnessioneServer.h"
#include "Schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

const QString nomeConnessione = QStringLiteral("quorvel-prepara");

struct Permesso {
    const char *tabella;
    const char *alunni;     // what quorvel_alunni may do
    const char *insegnanti; // what quorvel_insegnanti may do
};

// The columns a client may write into a result: all but arrivo, which the server stamps.
constexpr const char *colonneRisultato =
    "(id, alunno, sessione, quando, tipo, n, figura, risposta, esatto, aiuto, intervento, secondi, inviato)";

// Every table of the register, with each group's privileges. A table added by a later
// schema step needs its line here, or no client can touch it.
QList<Permesso> permessi()
{
    static const QByteArray insertRisultato = QByteArray("INSERT ") + colonneRisultato;
    static const QByteArray insegnantiRisultato = QByteArray("SELECT, DELETE, INSERT ") + colonneRisultato;
    return {
        // Teachers keep the day before which results were erased, so that late ones are dropped, and
        // how many school years are kept.
        {"quorvel_versione", "SELECT", "SELECT, UPDATE (cancellati_prima, conservazione)"},
        {"classi", "SELECT", "SELECT, INSERT, UPDATE, DELETE"},
        {"alunni", "SELECT", "SELECT, INSERT, UPDATE, DELETE"},
        {"sessioni", "INSERT", "SELECT, INSERT, DELETE"},
        {"risultati", insertRisultato.constData(), insegnantiRisultato.constData()},
    };
}

class Lavoro {
public:
    explicit Lavoro(QSqlDatabase &db) : db_(db) {}

    bool esegui(const QString &sql)
    {
        QSqlQuery q(db_);
        if (q.exec(sql))
            return true;
        errore_ = q.lastError().databaseText().trimmed();
        if (errore_.isEmpty())
            errore_ = q.lastError().text().trimmed();
        return false;
    }

    // The first column of the first row, or a null string on failure.
    QString valore(const QString &sql)
    {
        QSqlQuery q(db_);
        if (!q.exec(sql)) {
            errore_ = q.lastError().databaseText().trimmed();
            return {};
        }
        const QString v = q.next() ? q.value(0).toString() : QString();
        return v.isNull() ? QStringLiteral("") : v;
    }

    bool ruoloEsiste(const char *ruolo)
    {
        QSqlQuery q(db_);
        q.prepare(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = ?"));
        q.addBindValue(QString::fromLatin1(ruolo));
        return q.exec() && q.next();
    }

    // Everything this program sets on the server besides the tables: who may do what, and
    // the arrival stamp. Equal before and after: there was nothing to do.
    QString impronta()
    {
        QStringList tabelle;
        for (const Permesso &p : permessi())
            tabelle << QStringLiteral("'%1'").arg(QLatin1String(p.tabella));
        return valore(QStringLiteral("SELECT string_agg(r, '|' ORDER BY r) FROM ("
                                     " SELECT c.relname || ':' || coalesce(c.relacl::text, '') AS r FROM pg_class c"
                                     "  WHERE c.relnamespace = 'public'::regnamespace AND c.relname IN (%1)"
                                     " UNION ALL SELECT c.relname || '.' || a.attname || ':' || a.attacl::text"
                                     "  FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid"
                                     "  WHERE c.relnamespace = 'public'::regnamespace AND c.relname IN (%1)"
                                     "  AND a.attacl IS NOT NULL"
                                     " UNION ALL SELECT 'arrivo=' || coalesce(pg_get_expr(d.adbin, d.adrelid), '')"
                                     "  FROM pg_attrdef d JOIN pg_attribute a ON a.attrelid = d.adrelid"
                                     "  AND a.attnum = d.adnum WHERE d.adrelid = 'public.risultati'::regclass"
                                     "  AND a.attname = 'arrivo'"
                                     " UNION ALL SELECT 'fn:' || proname || ':' || coalesce(proacl::text, '')"
                                     "  FROM pg_proc WHERE pronamespace = 'public'::regnamespace"
                                     " UNION ALL SELECT 'db:' || coalesce(datacl::text, '') FROM pg_database"
                                     "  WHERE datname = current_database()"
                                     " UNION ALL SELECT 'schema:' || coalesce(nspacl::text, '') FROM pg_namespace"
                                     "  WHERE nspname = 'public') x")
                          .arg(tabelle.join(QLatin1Char(','))));
    }

    bool concediPermessi()
    {
        const QString alunni = QString::fromLatin1(PreparazioneServer::ruoloAlunni);
        const QString insegnanti = QString::fromLatin1(PreparazioneServer::ruoloInsegnanti);
        const QString database = valore(QStringLiteral("SELECT quote_ident(current_database())"));
        if (database.isEmpty())
            return false;
        QStringList sql{
            // Only the owner and the two groups reach the database; nobody else creates anything in it.
            QStringLiteral("REVOKE ALL ON DATABASE %1 FROM PUBLIC").arg(database),
            QStringLiteral("GRANT CONNECT ON DATABASE %1 TO %2, %3").arg(database, alunni, insegnanti),
            QStringLiteral("REVOKE CREATE ON SCHEMA public FROM PUBLIC"),
            QStringLiteral("GRANT USAGE ON SCHEMA public TO %1, %2").arg(alunni, insegnanti),
            // A pupil's PC cannot backdate or postdate a result's arrival.
            QStringLiteral("ALTER TABLE risultati ALTER COLUMN arrivo"
                           " SET DEFAULT (extract(epoch FROM clock_timestamp()) * 1000)::bigint"),
            // Functions are everyone's to call unless taken back: only the groups may give a help's outcome.
            QStringLiteral("REVOKE ALL ON FUNCTION quorvel_esiti(text[], smallint[], boolean[]) FROM PUBLIC"),
            QStringLiteral("REVOKE ALL ON FUNCTION quorvel_arrivo() FROM PUBLIC"),
            QStringLiteral("GRANT EXECUTE ON FUNCTION quorvel_esiti(text[], smallint[], boolean[]) TO %1, %2")
                .arg(alunni, insegnanti),
        };
        for (const Permesso &p : permessi()) {
            const QString tabella = QString::fromLatin1(p.tabella);
            // From nothing each time, so that what a group may do is exactly this list.
            sql << QStringLiteral("REVOKE ALL ON %1 FROM PUBLIC, %2, %3").arg(tabella, alunni, insegnanti);
            for (const QString &colonna : colonne(tabella))
                sql << QStringLiteral("REVOKE ALL (%1) ON %2 FROM PUBLIC, %3, %4")
                           .arg(colonna, tabella, alunni, insegnanti);
            sql << QStringLiteral("GRANT %1 ON %2 TO %3").arg(QLatin1String(p.alunni), tabella, alunni);
            sql << QStringLiteral("GRANT %1 ON %2 TO %3").arg(QLatin1String(p.insegnanti), tabella, insegnanti);
        }
        for (const QString &s : sql)
            if (!esegui(s))
                return false;
        return true;
    }

    QStringList colonne(const QString &tabella)
    {
        QStringList elenco;
        QSqlQuery q(db_);
        q.prepare(QStringLiteral("SELECT quote_ident(attname) FROM pg_attribute WHERE attrelid = to_regclass(?)"
                                 " AND attnum > 0 AND NOT attisdropped"));
        q.addBindValue(QStringLiteral("public.") + tabella);
        if (q.exec())
            while (q.next())
                elenco << q.value(0).toString();
        return elenco;
    }

    QString errore() const { return errore_; }

private:
    QSqlDatabase &db_;
    QString errore_;
};

PreparazioneServer::Esito fallito(const QString &messaggio)
{
    PreparazioneServer::Esito e;
    e.messaggio = messaggio;
    return e;
}

PreparazioneServer::Esito prepara(QSqlDatabase &db, const QString &conninfo)
{
    using namespace PreparazioneServer;
    Lavoro lavoro(db);
    QString errore;
    const std::optional<int> prima = Schema::versioneDi(db, &errore);
    if (!prima)
        return fallito(errore);
    // The schema's owner must be the one preparing: someone else could neither migrate nor grant.
    if (*prima > 0) {
        const QString proprietario =
            lavoro.valore(QStringLiteral("SELECT pg_get_userbyid(relowner) = current_user FROM pg_class"
                                         " WHERE oid = 'public.quorvel_versione'::regclass"));
        if (proprietario != QLatin1String("true"))
            return fallito(
                QStringLiteral("il registro nel database %1 appartiene a un altro ruolo: eseguire --registro-prepara"
                               " come proprietario del database.")
                    .arg(ConnessioneServer::descrivi(conninfo)));
    }
    if (!Schema::migra(db, &errore))
        return fallito(errore);

    Esito esito;
    esito.versionePrima = *prima;
    esito.versione = Schema::versione();
    esito.cambiato = esito.versione != esito.versionePrima;
    for (const char *ruolo : {ruoloAlunni, ruoloInsegnanti}) {
        if (lavoro.ruoloEsiste(ruolo))
            continue;
        if (!lavoro.esegui(QStringLiteral("CREATE ROLE %1 NOLOGIN").arg(QLatin1String(ruolo))))
            return fallito(QStringLiteral("non si crea il ruolo %1 (il proprietario ha bisogno di CREATEROLE): %2")
                               .arg(QLatin1String(ruolo), lavoro.errore()));
        esito.cambiato = true;
    }

    if (!db.transaction())
        return fallito(db.lastError().text());
    const QString primaImpronta = lavoro.impronta();
    if (primaImpronta.isNull() || !lavoro.concediPermessi()) {
        const QString motivo = lavoro.errore();
        db.rollback();
        return fallito(QStringLiteral("i permessi sul registro non si possono dare: %1").arg(motivo));
    }
    if (lavoro.impronta() == primaImpronta)
        db.rollback();
    else if (db.commit())
        esito.cambiato = true;
    else
        return fallito(db.lastError().text());

    esito.riuscito = true;
    const QString dove = ConnessioneServer::descrivi(conninfo);
    if (!esito.cambiato)
        esito.messaggio = QStringLiteral("Il registro nel database %1 è già pronto (versione %2): niente da fare.")
                              .arg(dove)
                              .arg(esito.versione);
    else if (esito.versionePrima == 0)
        esito.messaggio = QStringLiteral("Registro creato nel database %1 (versione %2), con i ruoli %3 e %4.")
                              .arg(dove)
                              .arg(esito.versione)
                              .arg(QLatin1String(ruoloAlunni), QLatin1String(ruoloInsegnanti));
    else
        esito.messaggio =
            QStringLiteral("Registro nel database %1 aggiornato dalla versione %2 alla %3; ruoli %4 e %5 pronti.")
                .arg(dove)
                .arg(esito.versionePrima)
                .arg(esito.versione)
                .arg(QLatin1String(ruoloAlunni), QLatin1String(ruoloInsegnanti));
    return esito;
}

} // namespace

PreparazioneServer::Esito PreparazioneServer::prepara(const QString &conninfo)
{
    Esito esito;
    {
        QSqlDatabase db;
        QString errore;
        // The administrator's own command, with nobody waiting at a window: a long migration may take its time.
        if (!ConnessioneServer::apri(nomeConnessione, conninfo, &db, &errore, 30, 0))
            esito = fallito(errore);
        else
            esito = ::prepara(db, conninfo);
        db.close();
    }
    QSqlDatabase::removeDatabase(nomeConnessione);
    return esito;
}
