#include "PreparazioneServer.h"

#include "ConnessioneServer.h"
#include "Schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

const QString nomeConnessione = QStringLiteral("quorvel-prepara");

// {A} is the pupils' group, {I} the teachers', as identifiers; {A_TESTO} and {I_TESTO} as strings.
struct Permesso {
    const char *tabella;
    const char *alunni;     // what the pupils' group may do; empty: nothing
    const char *insegnanti; // what the teachers' group may do
};

// The columns a client may write into a result: all but arrivo and momento, which the server stamps.
constexpr const char *colonneRisultato =
    "(id, alunno, sessione, quando, tipo, n, figura, risposta, esatto, aiuto, intervento, secondi, inviato,"
    " livello, abilita)";

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
        // "Chi sei?" needs the names, the contrassegni and the levels, nothing else; a pupil's PC moves
        // a pupil along their path, and cannot change the level the teacher set.
        {"classi", "SELECT (id, nome, archiviata, livello_da, livello_a)", "SELECT, INSERT, UPDATE, DELETE"},
        {"alunni",
         "SELECT (id, classe, nome, figura, colore, livello_da, livello_a, abilita, risposte_percorso),"
         " UPDATE (abilita, risposte_percorso)",
         "SELECT, INSERT, UPDATE, DELETE"},
        // The server writes who sent a session.
        {"sessioni", "INSERT (id, alunno, macchina, inizio)", "SELECT, INSERT (id, alunno, macchina, inizio), DELETE"},
        {"risultati", insertRisultato.constData(), insegnantiRisultato.constData()},
        {"docenze", "", "SELECT, INSERT"},
    };
}

// Row-level security: which rows each group's statements see and may write. The owner, whose
// tables they are, sees every row.
struct Regola {
    const char *tabella;
    const char *nome;
    const char *comando;
    bool insegnanti;       // else the pupils'
    const char *usando;    // the rows it sees; null for INSERT
    const char *controllo; // the rows it may write; null: as usando
};

QList<Regola> regole()
{
    static constexpr const char *mie = "id IN (SELECT quorvel_mie_classi())";
    static constexpr const char *dellaClasse = "classe IN (SELECT quorvel_mie_classi())";
    // alunni's own rules choose the pupils each group sees.
    static constexpr const char *deiSuoiAlunni = "alunno IN (SELECT id FROM alunni)";
    return {
        {"classi", "quorvel_insegnanti_vedono", "SELECT", true, mie, nullptr},
        // The new class is given to whoever made it (quorvel_nuova_classe).
        {"classi", "quorvel_insegnanti_creano", "INSERT", true, nullptr, "true"},
        {"classi", "quorvel_insegnanti_cambiano", "UPDATE", true, mie, "true"},
        {"classi", "quorvel_insegnanti_cancellano", "DELETE", true, mie, nullptr},
        {"classi", "quorvel_alunni_vedono", "SELECT", false, "NOT archiviata", nullptr},
        {"alunni", "quorvel_insegnanti", "ALL", true, dellaClasse, dellaClasse},
        {"alunni", "quorvel_alunni_vedono", "SELECT", false, "classe IN (SELECT id FROM classi)", nullptr},
        {"alunni", "quorvel_alunni_avanzano", "UPDATE", false, "classe IN (SELECT id FROM classi)", nullptr},
        {"sessioni", "quorvel_insegnanti", "ALL", true, deiSuoiAlunni, deiSuoiAlunni},
        {"sessioni", "quorvel_alunni_aggiungono", "INSERT", false, nullptr, deiSuoiAlunni},
        {"risultati", "quorvel_insegnanti", "ALL", true, deiSuoiAlunni, deiSuoiAlunni},
        {"risultati", "quorvel_alunni_aggiungono", "INSERT", false, nullptr, deiSuoiAlunni},
        {"docenze", "quorvel_insegnanti_vedono", "SELECT", true, dellaClasse, nullptr},
        // A colleague, who must be a teacher of this register.
        {"docenze", "quorvel_insegnanti_aggiungono", "INSERT", true, nullptr,
         "classe IN (SELECT quorvel_mie_classi()) AND pg_has_role(login, {I_TESTO}, 'MEMBER')"},
    };
}

// The functions the rules call, owned by the register's owner: they read docenze past its rules,
// which would otherwise call themselves. session_user is the login, whoever owns the function.
QStringList funzioni()
{
    return {
        QStringLiteral("CREATE OR REPLACE FUNCTION quorvel_mie_classi() RETURNS SETOF bytea LANGUAGE sql STABLE"
                       " SECURITY DEFINER SET search_path = public, pg_temp AS"
                       " $$ SELECT classe FROM docenze WHERE login = session_user $$"),
        QStringLiteral("CREATE OR REPLACE FUNCTION quorvel_nuova_classe() RETURNS trigger LANGUAGE plpgsql"
                       " SECURITY DEFINER SET search_path = public, pg_temp AS $$"
                       " BEGIN"
                       "  IF pg_has_role(session_user, {I_TESTO}, 'MEMBER') THEN"
                       "   INSERT INTO docenze (classe, login) VALUES (NEW.id, session_user);"
                       "  END IF;"
                       "  RETURN NULL;"
                       " END $$"),
        QStringLiteral("CREATE OR REPLACE TRIGGER classi_insegnante AFTER INSERT ON classi"
                       " FOR EACH ROW EXECUTE FUNCTION quorvel_nuova_classe()"),
    };
}

// The functions of the register that a group may call; every other is the owner's alone.
constexpr const char *funzioniAlunni[] = {"quorvel_esiti(text[], smallint[], boolean[])"};
constexpr const char *funzioniInsegnanti[] = {"quorvel_esiti(text[], smallint[], boolean[])", "quorvel_mie_classi()"};
constexpr const char *funzioniProprietario[] = {"quorvel_arrivo()", "quorvel_nuova_classe()"};

class Lavoro {
public:
    Lavoro(QSqlDatabase &db, QString alunni, QString insegnanti)
        : db_(db), alunni_(std::move(alunni)), insegnanti_(std::move(insegnanti))
    {
    }

    bool esegui(const QString &sql)
    {
        QSqlQuery q(db_);
        if (q.exec(gruppi(sql)))
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
        if (!q.exec(gruppi(sql))) {
            errore_ = q.lastError().databaseText().trimmed();
            return {};
        }
        const QString v = q.next() ? q.value(0).toString() : QString();
        return v.isNull() ? QStringLiteral("") : v;
    }

    bool ruoloEsiste(const QString &ruolo)
    {
        QSqlQuery q(db_);
        q.prepare(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = ?"));
        q.addBindValue(ruolo);
        return q.exec() && q.next();
    }

    // Everything this program sets on the server besides the tables: who may do what, which rows,
    // and the arrival stamp. Equal before and after: there was nothing to do.
    QString impronta()
    {
        QStringList tabelle;
        for (const Permesso &p : permessi())
            tabelle << QStringLiteral("'%1'").arg(QLatin1String(p.tabella));
        return valore(QStringLiteral("SELECT string_agg(r, '|' ORDER BY r) FROM ("
                                     " SELECT c.relname || ':' || coalesce(c.relacl::text, '') || ':'"
                                     "  || c.relrowsecurity AS r FROM pg_class c"
                                     "  WHERE c.relnamespace = 'public'::regnamespace AND c.relname IN (%1)"
                                     " UNION ALL SELECT c.relname || '.' || a.attname || ':' || a.attacl::text"
                                     "  FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid"
                                     "  WHERE c.relnamespace = 'public'::regnamespace AND c.relname IN (%1)"
                                     "  AND a.attacl IS NOT NULL"
                                     " UNION ALL SELECT 'arrivo=' || coalesce(pg_get_expr(d.adbin, d.adrelid), '')"
                                     "  FROM pg_attrdef d JOIN pg_attribute a ON a.attrelid = d.adrelid"
                                     "  AND a.attnum = d.adnum WHERE d.adrelid = 'public.risultati'::regclass"
                                     "  AND a.attname = 'arrivo'"
                                     " UNION ALL SELECT 'fn:' || proname || ':' || coalesce(proacl::text, '') || ':'"
                                     "  || prosrc FROM pg_proc WHERE pronamespace = 'public'::regnamespace"
                                     " UNION ALL SELECT 'pol:' || tablename || ':' || policyname || ':' || cmd || ':'"
                                     "  || roles::text || ':' || coalesce(qual, '') || ':' || coalesce(with_check, '')"
                                     "  FROM pg_policies WHERE schemaname = 'public'"
                                     " UNION ALL SELECT 'tg:' || pg_get_triggerdef(oid) FROM pg_trigger"
                                     "  WHERE tgrelid = 'public.classi'::regclass AND NOT tgisinternal"
                                     " UNION ALL SELECT 'db:' || coalesce(datacl::text, '') FROM pg_database"
                                     "  WHERE datname = current_database()"
                                     " UNION ALL SELECT 'schema:' || coalesce(nspacl::text, '') FROM pg_namespace"
                                     "  WHERE nspname = 'public') x")
                          .arg(tabelle.join(QLatin1Char(','))));
    }

    bool concediPermessi()
    {
        const QString database = valore(QStringLiteral("SELECT quote_ident(current_database())"));
        if (database.isEmpty())
            return false;
        QStringList sql{
            // Only the owner and the two groups reach the database; nobody else creates anything in it,
            // not even temporary tables.
            QStringLiteral("REVOKE ALL ON DATABASE %1 FROM PUBLIC").arg(database),
            QStringLiteral("GRANT CONNECT ON DATABASE %1 TO {A}, {I}").arg(database),
            QStringLiteral("REVOKE CREATE ON SCHEMA public FROM PUBLIC"),
            QStringLiteral("GRANT USAGE ON SCHEMA public TO {A}, {I}"),
            // A pupil's PC cannot backdate or postdate a result's arrival.
            QStringLiteral("ALTER TABLE risultati ALTER COLUMN arrivo"
                           " SET DEFAULT (extract(epoch FROM clock_timestamp()) * 1000)::bigint"),
        };
        sql << funzioni();
        // Functions are everyone's to call unless taken back.
        for (const char *f : funzioniProprietario)
            sql << QStringLiteral("REVOKE ALL ON FUNCTION %1 FROM PUBLIC").arg(QLatin1String(f));
        for (const char *f : funzioniInsegnanti)
            sql << QStringLiteral("REVOKE ALL ON FUNCTION %1 FROM PUBLIC").arg(QLatin1String(f))
                << QStringLiteral("GRANT EXECUTE ON FUNCTION %1 TO {I}").arg(QLatin1String(f));
        for (const char *f : funzioniAlunni)
            sql << QStringLiteral("GRANT EXECUTE ON FUNCTION %1 TO {A}").arg(QLatin1String(f));
        for (const Permesso &p : permessi()) {
            const QString tabella = QString::fromLatin1(p.tabella);
            // From nothing each time, so that what a group may do is exactly this list.
            sql << QStringLiteral("REVOKE ALL ON %1 FROM PUBLIC, {A}, {I}").arg(tabella);
            for (const QString &colonna : colonne(tabella))
                sql << QStringLiteral("REVOKE ALL (%1) ON %2 FROM PUBLIC, {A}, {I}").arg(colonna, tabella);
            if (*p.alunni)
                sql << QStringLiteral("GRANT %1 ON %2 TO {A}").arg(QLatin1String(p.alunni), tabella);
            sql << QStringLiteral("GRANT %1 ON %2 TO {I}").arg(QLatin1String(p.insegnanti), tabella);
            if (tabella != QLatin1String("quorvel_versione"))
                sql << QStringLiteral("ALTER TABLE %1 ENABLE ROW LEVEL SECURITY").arg(tabella);
        }
        for (const Regola &r : regole()) {
            QString regola = QStringLiteral("CREATE POLICY %1 ON %2 FOR %3 TO %4")
                                 .arg(QLatin1String(r.nome), QLatin1String(r.tabella), QLatin1String(r.comando),
                                      r.insegnanti ? QStringLiteral("{I}") : QStringLiteral("{A}"));
            if (r.usando)
                regola += QStringLiteral(" USING (%1)").arg(QLatin1String(r.usando));
            if (r.controllo)
                regola += QStringLiteral(" WITH CHECK (%1)").arg(QLatin1String(r.controllo));
            sql << QStringLiteral("DROP POLICY IF EXISTS %1 ON %2").arg(QLatin1String(r.nome), QLatin1String(r.tabella))
                << regola;
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

    // Lines for the administrator: what the register works without, but should not.
    QStringList avvisi()
    {
        QStringList righe;
        const QString senza = valore(QStringLiteral("SELECT count(*) FROM classi WHERE id NOT IN"
                                                    " (SELECT classe FROM docenze)"));
        if (senza.toInt() > 0)
            righe << QStringLiteral("%1 senza insegnante: solo il proprietario le vede, finché non le assegna con "
                                    "quorvel --registro CONNESSIONE --classe C --insegnante LOGIN.")
                         .arg(senza.toInt() == 1 ? QStringLiteral("1 classe è")
                                                 : QStringLiteral("%1 classi sono").arg(senza));
        const QString liberi =
            valore(QStringLiteral("SELECT string_agg(r.rolname, ', ' ORDER BY r.rolname) FROM pg_roles r"
                                  " JOIN pg_auth_members m ON m.member = r.oid JOIN pg_roles g ON g.oid = m.roleid"
                                  " WHERE g.rolname = {A_TESTO} AND r.rolcanlogin AND (r.rolconnlimit < 0 OR NOT EXISTS"
                                  " (SELECT FROM unnest(r.rolconfig) c WHERE c LIKE 'statement\\_timeout=%'))"));
        if (!liberi.isEmpty())
            righe << QStringLiteral("i login degli alunni %1 non hanno un limite di connessioni o di durata delle "
                                    "istruzioni: l'amministratore del server li dà con ALTER ROLE LOGIN CONNECTION "
                                    "LIMIT 30 e ALTER ROLE LOGIN SET statement_timeout = '10s'.")
                         .arg(liberi);
        return righe;
    }

    QString errore() const { return errore_; }

private:
    QString gruppi(QString sql) const
    {
        const auto testo = [](QString nome) {
            return QLatin1Char('\'') + nome.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
        };
        const auto identificatore = [](QString nome) {
            return QLatin1Char('"') + nome.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
        };
        return sql.replace(QLatin1String("{A_TESTO}"), testo(alunni_))
            .replace(QLatin1String("{I_TESTO}"), testo(insegnanti_))
            .replace(QLatin1String("{A}"), identificatore(alunni_))
            .replace(QLatin1String("{I}"), identificatore(insegnanti_));
    }

    QSqlDatabase &db_;
    QString alunni_;
    QString insegnanti_;
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
    const QString dove = ConnessioneServer::descrivi(conninfo);
    QString database;
    {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT current_database()")) || !q.next())
            return fallito(q.lastError().text());
        database = q.value(0).toString();
    }
    const QString alunni = ruoloAlunni(database);
    const QString insegnanti = ruoloInsegnanti(database);
    Lavoro lavoro(db, alunni, insegnanti);

    // The groups and the defaults taken back are the administrator's, before anything is changed.
    QStringList mancano;
    for (const QString &ruolo : {alunni, insegnanti})
        if (!lavoro.ruoloEsiste(ruolo))
            mancano << ruolo;
    const QString comando =
        QStringLiteral("quorvel --registro-amministrazione | sudo -u postgres psql -d %1").arg(database);
    if (!mancano.isEmpty())
        return fallito(QStringLiteral("mancano %1 %2 nel server del database %3: l'amministratore del server li crea "
                                      "con %4, poi si esegue di nuovo --registro-prepara.")
                           .arg(mancano.size() == 1 ? QStringLiteral("il ruolo") : QStringLiteral("i ruoli"),
                                mancano.join(QStringLiteral(" e ")), dove, comando));
    if (lavoro.valore(QStringLiteral("SELECT has_function_privilege({A_TESTO}, 'pg_catalog.lo_from_bytea(oid, bytea)',"
                                     " 'EXECUTE')")) != QLatin1String("false"))
        return fallito(QStringLiteral("nel database %1 chiunque può ancora creare large object, con cui si riempie il "
                                      "disco del server: l'amministratore del server lo toglie con %2, poi si esegue "
                                      "di nuovo --registro-prepara.")
                           .arg(dove, comando));

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
                    .arg(dove));
    }
    if (!Schema::migra(db, &errore))
        return fallito(errore);

    Esito esito;
    esito.versionePrima = *prima;
    esito.versione = Schema::versione();
    esito.cambiato = esito.versione != esito.versionePrima;

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
    if (!esito.cambiato)
        esito.messaggio = QStringLiteral("Il registro nel database %1 è già pronto (versione %2): niente da fare.")
                              .arg(dove)
                              .arg(esito.versione);
    else if (esito.versionePrima == 0)
        esito.messaggio = QStringLiteral("Registro creato nel database %1 (versione %2), per i ruoli %3 e %4.")
                              .arg(dove)
                              .arg(esito.versione)
                              .arg(alunni, insegnanti);
    else
        esito.messaggio =
            QStringLiteral("Registro nel database %1 aggiornato dalla versione %2 alla %3; ruoli %4 e %5 pronti.")
                .arg(dove)
                .arg(esito.versionePrima)
                .arg(esito.versione)
                .arg(alunni, insegnanti);
    for (const QString &avviso : lavoro.avvisi())
        esito.messaggio += QStringLiteral("\nAttenzione: ") + avviso;
    return esito;
}

} // namespace

QString PreparazioneServer::ruoloAlunni(const QString &database) { return database + QStringLiteral("_alunni"); }

QString PreparazioneServer::ruoloInsegnanti(const QString &database)
{
    return database + QStringLiteral("_insegnanti");
}

QString PreparazioneServer::sqlAmministratore()
{
    return QStringLiteral(
        "-- Quorvel: run once by the server's administrator, as a superuser, in the register's database:\n"
        "--   sudo -u postgres psql -d DATABASE -f this-file\n"
        "-- The register's two groups, named after its database; then what PostgreSQL lets every role\n"
        "-- do there by default, taken back: large objects would let any login fill the server's disk.\n"
        "DO $quorvel$\n"
        "DECLARE\n"
        "  gruppo text;\n"
        "  funzione regprocedure;\n"
        "BEGIN\n"
        "  FOREACH gruppo IN ARRAY ARRAY[current_database() || '_alunni', current_database() || '_insegnanti'] "
        "LOOP\n"
        "    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = gruppo) THEN\n"
        "      EXECUTE format('CREATE ROLE %I NOLOGIN', gruppo);\n"
        "    END IF;\n"
        "  END LOOP;\n"
        "  FOR funzione IN SELECT oid::regprocedure FROM pg_proc WHERE pronamespace = 'pg_catalog'::regnamespace\n"
        "      AND (proname LIKE 'lo\\_%' OR proname IN ('loread', 'lowrite')) LOOP\n"
        "    EXECUTE format('REVOKE EXECUTE ON FUNCTION %s FROM PUBLIC', funzione);\n"
        "  END LOOP;\n"
        "END\n"
        "$quorvel$;\n");
}

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
