// The register on the lab's server: a real PostgreSQL server of the test's own.
#include "app/RigaComandoRegistro.h"
#include "insegnante/Informativa.h"
#include "insegnante/Riepilogo.h"
#include "registro/ConfigurazioneRegistro.h"
#include "registro/ConnessioneServer.h"
#include "registro/DepositoServer.h"
#include "registro/Orario.h"
#include "registro/PostaUscita.h"
#include "registro/PreparazioneServer.h"
#include "registro/Registro.h"
#include "registro/RegistroServer.h"
#include "registro/Schema.h"
#include "registro/Spedizioniere.h"
#include "support/AmbienteTest.h"
#include "support/InterrogaSqlite.h"
#include "support/ServerPostgresProva.h"
#include "support/ServerSospeso.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <QElapsedTimer>

#include <csignal>

namespace {

// The pupil the teacher adds in ruoli(), whose results the later cases send.
QString alunno;

// The teacher's own login in insegnante().
const QString passwordRossi = QStringLiteral("Gatto; '42' \\ x");

Risultato risultato(int numero)
{
    Risultato r;
    r.id = Schema::nuovoId();
    r.alunno = alunno;
    r.sessione = QStringLiteral("0190a0a0-0000-7000-8000-0000000000ff");
    r.quando = QDateTime::currentDateTimeUtc();
    r.macchina = QStringLiteral("aula-pc-07");
    r.tipo = numero % 3;
    r.n = 5;
    r.figura = 3;
    r.risposta = 4;
    r.esatto = true;
    r.secondi = numero; // tells the results apart on the server
    return r;
}

// The store that dies by SIGKILL right after the server committed, before the outbox hears of it.
class DepositoCheMuore : public DepositoServer {
public:
    using DepositoServer::DepositoServer;
    bool consegna(const QList<Risultato> &risultati) override
    {
        if (DepositoServer::consegna(risultati))
            std::raise(SIGKILL);
        return false;
    }
};

// The store on a PC whose clock is `indietro` ms behind.
class DepositoIndietro : public DepositoServer {
public:
    DepositoIndietro(const QString &conninfo, qint64 indietro) : DepositoServer(conninfo), indietro_(indietro) {}

protected:
    qint64 orologioPc() const override { return DepositoServer::orologioPc() - indietro_; }

private:
    qint64 indietro_;
};

int scrittoreUcciso(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString conninfo = QString::fromUtf8(argv[2]);
    alunno = QString::fromUtf8(argv[4]);
    // All 300 in the outbox first: the sender would otherwise die after its first batch with the
    // rest still in memory, which is the program being killed, not the server's acknowledgement lost.
    {
        QList<Risultato> tutti;
        for (int i = 0; i < 300; ++i)
            tutti << risultato(i);
        if (!PostaUscita(QString::fromUtf8(argv[3])).metti(tutti))
            return 4;
    }
    Spedizioniere s([conninfo] { return std::make_unique<DepositoCheMuore>(conninfo); }, QString::fromUtf8(argv[3]));
    s.svuota(60000);
    return 3; // never reached when the server answers
}

// Runs SQL with `utente`'s login; the server's refusal, or empty when it obeyed.
QString come(const ServerPostgresProva &server, const QString &utente, const QString &sql)
{
    QString rifiuto;
    {
        QSqlDatabase db;
        if (ConnessioneServer::apri(QStringLiteral("prova-ruolo"), server.conninfo(utente), &db, &rifiuto)) {
            QSqlQuery q(db);
            if (!q.exec(sql))
                rifiuto = q.lastError().databaseText().trimmed();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("prova-ruolo"));
    return rifiuto;
}

} // namespace

class TestRegistroServer : public QObject {
    Q_OBJECT

    ServerPostgresProva server_;
    QTemporaryDir cartella_;

    // Rows on the server, and how many different results (by the number each carries) among them.
    QPair<int, int> righe()
    {
        const QStringList v = server_.psql(QStringLiteral("SELECT count(*), count(DISTINCT secondi) FROM risultati"))
                                  .split(QLatin1Char('|'));
        return v.size() == 2 ? qMakePair(v[0].toInt(), v[1].toInt()) : qMakePair(-1, -1);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(server_.avvia(), qPrintable(server_.errore()));
        QVERIFY(cartella_.isValid());
        QVERIFY(!AmbienteTest::casaTemporanea().isEmpty()); // the register's outboxes go there
    }

    // Where the register lives: the system-wide setting, --registro over it, the local file without either.
    void configurazione()
    {
        QCOMPARE(ConfigurazioneRegistro::scegli({}).tipo, ConfigurazioneRegistro::Tipo::FileLocale);
        const QString file =
            QSettings(QSettings::SystemScope, QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).fileName();
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[registro]\ndatabase=\"service=quorvel\"\n");
        f.close();
        const ConfigurazioneRegistro sistema = ConfigurazioneRegistro::scegli({});
        QVERIFY(sistema.server());
        QCOMPARE(sistema.valore, QStringLiteral("service=quorvel"));
        QVERIFY(!ConfigurazioneRegistro::scegli(QStringLiteral("/tmp/altro.sqlite")).server());
        QCOMPARE(ConfigurazioneRegistro::scegli(QStringLiteral("/tmp/altro.sqlite")).valore,
                 QStringLiteral("/tmp/altro.sqlite"));
        QVERIFY(ConfigurazioneRegistro::scegli(QStringLiteral("postgresql://lab/quorvel")).server());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[registro]\ndatabase=host=lab1,lab2 dbname=quorvel\n"); // unquoted: read as a list
        f.close();
        QCOMPARE(ConfigurazioneRegistro::scegli({}).valore, QStringLiteral("host=lab1,lab2 dbname=quorvel"));
        QFile::remove(file);

        // A URI reaches the same server as the key=value string (its socket folder percent-encoded).
        const QString tls = server_.cartella() + QStringLiteral("/tls/server.crt");
        const QString pgpass = server_.cartella() + QStringLiteral("/pgpass");
        const QString uri =
            QStringLiteral("postgresql://quorvel@localhost:%1/quorvel?sslmode=verify-full&sslrootcert=%2"
                           "&passfile=%3&application_name=prova")
                .arg(server_.porta())
                .arg(QString::fromLatin1(QUrl::toPercentEncoding(tls)),
                     QString::fromLatin1(QUrl::toPercentEncoding(pgpass)));
        QString errore;
        QCOMPARE(ConnessioneServer::normalizza(uri, &errore),
                 QStringLiteral("host='localhost' port='%1' dbname='quorvel' user='quorvel' sslmode='verify-full'"
                                " sslrootcert='%2' passfile='%3' application_name='prova'")
                     .arg(server_.porta())
                     .arg(tls, pgpass));
        QCOMPARE(come(server_, QStringLiteral("quorvel"), QStringLiteral("SELECT 1")), QString());
        {
            QSqlDatabase db;
            QVERIFY2(ConnessioneServer::apri(QStringLiteral("uri"), uri, &db, &errore), qPrintable(errore));
            // Encrypted, the server's certificate verified.
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()")) && q.next());
            QVERIFY(q.value(0).toBool());
        }
        QSqlDatabase::removeDatabase(QStringLiteral("uri"));
        // A limit of the program's own on each statement, unless the connection string sets one.
        const auto limite = [&](const QString &conninfo) {
            QString valore;
            {
                QSqlDatabase db;
                QSqlQuery q;
                if (ConnessioneServer::apri(QStringLiteral("limite"), conninfo, &db, &errore) &&
                    (q = QSqlQuery(db)).exec(QStringLiteral("SHOW statement_timeout")) && q.next())
                    valore = q.value(0).toString();
                q = QSqlQuery();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("limite"));
            return valore;
        };
        QCOMPARE(limite(server_.conninfo()), QStringLiteral("30s"));
        QCOMPARE(limite(server_.conninfo() + QStringLiteral(" options='-c statement_timeout=7s'")),
                 QStringLiteral("7s"));
        QVERIFY(ConnessioneServer::normalizza(QStringLiteral("host=a; dbname=b"), &errore).isEmpty());
    }

    // On an empty database, again (nothing to do), and from every earlier version; never on a newer one.
    void prepara()
    {
        QCOMPARE(
            server_.psql(QStringLiteral("SELECT rolcreaterole OR rolsuper FROM pg_roles WHERE rolname = 'quorvel'")),
            QStringLiteral("f"));
        const auto primo = PreparazioneServer::prepara(server_.conninfo());
        QVERIFY2(primo.riuscito, qPrintable(primo.messaggio));
        QVERIFY(primo.cambiato);
        QCOMPARE(primo.versionePrima, 0);
        QCOMPARE(primo.versione, Schema::versione());
        const auto secondo = PreparazioneServer::prepara(server_.conninfo());
        QVERIFY2(secondo.riuscito, qPrintable(secondo.messaggio));
        QVERIFY2(!secondo.cambiato, qPrintable(secondo.messaggio));
        QVERIFY(secondo.messaggio.contains(QLatin1String("niente da fare")));

        for (int da = 1; da < Schema::versione(); ++da) {
            const QString nome = QStringLiteral("quorvel_v%1").arg(da);
            QVERIFY2(
                !server_.psql(QStringLiteral("CREATE DATABASE %1 OWNER quorvel").arg(nome), QStringLiteral("postgres"))
                     .isNull(),
                qPrintable(server_.errore()));
            const QString conninfo = server_.conninfo(QStringLiteral("quorvel"), nome);
            if (da == 1) {
                // Before the administrator's step, nothing is changed and the message says what is missing.
                const auto senza = PreparazioneServer::prepara(conninfo);
                QVERIFY(!senza.riuscito);
                qInfo("%s", qPrintable(senza.messaggio));
                QVERIFY2(senza.messaggio.startsWith(QStringLiteral("mancano i ruoli quorvel_v1_alunni e "
                                                                   "quorvel_v1_insegnanti")),
                         qPrintable(senza.messaggio));
                QCOMPARE(
                    server_.psql(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'"), nome),
                    QStringLiteral("0"));
            }
            // Each register its own groups, made by the administrator.
            QVERIFY2(!server_.psql(PreparazioneServer::sqlAmministratore(), nome).isNull(),
                     qPrintable(server_.errore()));
            {
                QSqlDatabase db;
                QString errore;
                QVERIFY2(ConnessioneServer::apri(nome, conninfo, &db, &errore), qPrintable(errore));
                QVERIFY2(Schema::migra(db, &errore, da), qPrintable(errore));
            }
            QSqlDatabase::removeDatabase(nome);
            const auto esito = PreparazioneServer::prepara(conninfo);
            QVERIFY2(esito.riuscito && esito.cambiato, qPrintable(esito.messaggio));
            QCOMPARE(esito.versionePrima, da);
            QCOMPARE(server_.psql(QStringLiteral("SELECT versione FROM quorvel_versione"), nome),
                     QString::number(Schema::versione()));
            // The pupils' grants reach the columns the later steps added.
            QCOMPARE(server_.psql(QStringLiteral("SELECT has_column_privilege('%1_alunni', 'risultati', 'inviato',"
                                                 " 'INSERT'), pg_has_role('%1_alunni', 'quorvel_alunni', 'MEMBER')")
                                      .arg(nome),
                                  nome),
                     QStringLiteral("t|f"));
        }

        // A server newer than the program is left as it is.
        QVERIFY(!server_.psql(QStringLiteral("CREATE DATABASE quorvel_nuovo OWNER quorvel"), QStringLiteral("postgres"))
                     .isNull());
        QVERIFY(!server_.psql(PreparazioneServer::sqlAmministratore(), QStringLiteral("quorvel_nuovo")).isNull());
        QVERIFY(!server_
                     .psql(QStringLiteral("CREATE TABLE quorvel_versione (versione INTEGER NOT NULL);"
                                          "INSERT INTO quorvel_versione VALUES (%1);"
                                          "ALTER TABLE quorvel_versione OWNER TO quorvel")
                               .arg(Schema::versione() + 1),
                           QStringLiteral("quorvel_nuovo"))
                     .isNull());
        const auto nuovo =
            PreparazioneServer::prepara(server_.conninfo(QStringLiteral("quorvel"), QStringLiteral("quorvel_nuovo")));
        QVERIFY(!nuovo.riuscito);
        QVERIFY2(nuovo.messaggio.contains(QStringLiteral("più nuova")), qPrintable(nuovo.messaggio));
        QCOMPARE(server_.psql(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'"),
                              QStringLiteral("quorvel_nuovo")),
                 QStringLiteral("1"));
    }

    // The pupils' login adds results and reads pupils; the server refuses it everything else.
    void ruoli()
    {
        QVERIFY(server_.creaLogin(QStringLiteral("pc_aula"), QStringLiteral("quorvel_alunni")));
        QVERIFY(server_.creaLogin(QStringLiteral("maestra"), QStringLiteral("quorvel_insegnanti")));
        QVERIFY(server_.creaLogin(QStringLiteral("estraneo")));
        const QString pc = QStringLiteral("pc_aula");
        // The teacher makes the class through the register's own interface, with her login.
        const std::unique_ptr<Registro> maestra = Registro::apri(server_.conninfo(QStringLiteral("maestra")));
        const std::optional<Classe> classe = maestra->creaClasse(QStringLiteral("2ª B"));
        QVERIFY2(classe, qPrintable(maestra->errore()));
        QList<Alunno> nuovi{Alunno{{}, {}, QStringLiteral("Marco"), {}}};
        QVERIFY2(maestra->aggiungiAlunni(classe->id, nuovi), qPrintable(maestra->errore()));
        alunno = nuovi.first().id;

        // The pupils' PC finds the class and records through its outbox.
        {
            const std::unique_ptr<Registro> aula = Registro::apri(server_.conninfo(pc));
            QCOMPARE(aula->descrizione(), QStringLiteral("server quorvel su localhost"));
            QCOMPARE(aula->classi().size(), 1);
            QCOMPARE(aula->alunni(classe->id).first().nome, QStringLiteral("Marco"));
            QVERIFY(!aula->creaClasse(QStringLiteral("3ª A")));
            QVERIFY2(aula->errore().contains(QLatin1String("permission denied")), qPrintable(aula->errore()));
            aula->registra(risultato(1));
            QVERIFY(aula->svuota(30000));
        }
        int righeMaestra = 0;
        QVERIFY(maestra->risultati({}, [&](const Registro::RigaRisultato &r) {
            ++righeMaestra;
            QCOMPARE(r.nomeAlunno, QStringLiteral("Marco"));
            // The PC as it named itself, and the login the server saw send it.
            QCOMPARE(r.risultato.macchina, QStringLiteral("aula-pc-07"));
            QCOMPARE(r.accesso, QStringLiteral("pc_aula"));
            QCOMPARE(r.momento, r.risultato.quando); // one clock here: the PC's time is trusted
        }));
        QCOMPARE(righeMaestra, 1);

        const QStringList vietati{
            QStringLiteral("SELECT count(*) FROM risultati"),
            QStringLiteral("UPDATE risultati SET esatto = true"),
            QStringLiteral("DELETE FROM risultati"),
            QStringLiteral("UPDATE alunni SET nome = 'Marta'"),
            QStringLiteral("DELETE FROM alunni"),
            QStringLiteral("INSERT INTO classi VALUES ('\\x00', 'x', false)"),
            QStringLiteral("INSERT INTO risultati (id, alunno, sessione, quando, tipo, n, figura, risposta, esatto,"
                           " aiuto, intervento, secondi, arrivo) SELECT '\\x01', id, '\\x01', 0, 0, 1, 1, 0, true,"
                           " 0, false, 1, 0 FROM alunni"),
            QStringLiteral("INSERT INTO risultati (id, alunno, sessione, quando, tipo, n, figura, risposta, esatto,"
                           " aiuto, intervento, secondi, momento) SELECT '\\x01', id, '\\x01', 0, 0, 1, 1, 0, true,"
                           " 0, false, 1, 0 FROM alunni"),
            QStringLiteral("UPDATE quorvel_versione SET cancellati_prima = 0"),
            QStringLiteral("CREATE TABLE mia (x int)"),
            QStringLiteral("INSERT INTO sessioni (id, alunno, macchina, inizio, accesso) SELECT '\\x02', id, 'pc', 1,"
                           " 'maestra' FROM alunni"),
        };
        for (const QString &sql : vietati) {
            const QString rifiuto = come(server_, pc, sql);
            qInfo("quorvel_alunni: %s -> %s", qPrintable(sql), qPrintable(rifiuto));
            QVERIFY2(rifiuto.startsWith(QLatin1String("ERROR:  permission denied")), qPrintable(sql + rifiuto));
        }
        const QString estraneo = come(server_, QStringLiteral("estraneo"), QStringLiteral("SELECT 1"));
        qInfo("login in no group: %s", qPrintable(estraneo));
        QVERIFY2(estraneo.contains(QLatin1String("permission denied for database")), qPrintable(estraneo));
        QCOMPARE(righe().first, 1);

        // The teacher reads and erases; neither the teacher nor the owner wrote the arrival: the server did.
        QCOMPARE(come(server_, QStringLiteral("maestra"), QStringLiteral("SELECT count(*) FROM risultati")), QString());
        QCOMPARE(server_.psql(QStringLiteral("SELECT abs(arrivo - inviato) < 60000 FROM risultati")),
                 QStringLiteral("t"));
        QCOMPARE(maestra->cancellaRisultatiPrimaDel(QDate::currentDate().addDays(2)), 1);
        QCOMPARE(righe().first, 0);
        // An erased period stays erased: a result of today would be dropped on arrival now.
        QCOMPARE(come(server_, pc,
                      QStringLiteral("INSERT INTO risultati (id, alunno, sessione, quando, tipo, n,"
                                     " figura, risposta, esatto, aiuto, intervento, secondi)"
                                     " SELECT '\\x05', id, '\\x01', 0, 0, 1, 1, 0, true, 0, false, 1"
                                     " FROM alunni")),
                 QString());
        QCOMPARE(righe().first, 0);
        // The later cases send results of today.
        QCOMPARE(server_.psql(QStringLiteral("UPDATE quorvel_versione SET cancellati_prima = 0")), QString());
    }

    // Server down while results are written, then up: each delivered once; none shown missing meanwhile.
    void uscitaServerFermo()
    {
        const QString uscita = cartella_.filePath(QStringLiteral("uscita-fermo.sqlite"));
        const QString conninfo = server_.conninfo(QStringLiteral("pc_aula"));
        // Connected before the server goes away.
        const std::unique_ptr<Registro> maestra = Registro::apri(server_.conninfo(QStringLiteral("maestra")));
        const std::unique_ptr<Registro> aula = Registro::apri(conninfo);
        QCOMPARE(maestra->classi().size(), 1);
        QCOMPARE(aula->classi().size(), 1);
        QVERIFY2(server_.ferma(), qPrintable(server_.errore()));
        {
            Spedizioniere s([conninfo] { return std::make_unique<DepositoServer>(conninfo); }, uscita);
            for (int i = 0; i < 200; ++i)
                s.metti(risultato(i));
            QVERIFY(!s.svuota(1500));
            QCOMPARE(s.inAttesa(), 200);
            QVERIFY2(s.errore().contains(QLatin1String("non risponde")), qPrintable(s.errore()));
            // The pupils still find themselves: the PC's copy of the class, only its user's.
            const QList<Classe> classi = aula->classi();
            QCOMPARE(classi.size(), 1);
            QCOMPARE(aula->alunni(classi.first().id).first().id, alunno);
            const QFileInfoList copie = QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                                            .entryInfoList({QStringLiteral("*-classi.json")});
            QCOMPARE(copie.size(), 2); // one per login: the pupils' PC's and the teacher's
            const QFile::Permissions altri = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                             QFile::WriteOther | QFile::ExeOther;
            for (const QFileInfo &copia : copie)
                QCOMPARE(copia.permissions() & altri, QFile::Permissions());
            QVERIFY2(server_.avvia(), qPrintable(server_.errore()));
            QVERIFY(s.svuota(60000));
        }
        // The teacher's register connects afresh to the restarted server.
        QCOMPARE(maestra->classi().size(), 1);
        QCOMPARE(maestra->errore(), QString());
        QCOMPARE(righe(), qMakePair(200, 200));
        QCOMPARE(server_.psql(QStringLiteral("DELETE FROM risultati")), QString());
    }

    // The sender killed after the server's commit, before the outbox forgot them: delivered once after restart.
    void uscitaScrittoreUcciso()
    {
        const QString uscita = cartella_.filePath(QStringLiteral("uscita-ucciso.sqlite"));
        const QString conninfo = server_.conninfo(QStringLiteral("pc_aula"));
        QProcess figlio;
        figlio.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--scrittore-ucciso"), conninfo, uscita, alunno});
        QVERIFY(figlio.waitForFinished(60000));
        QVERIFY2(figlio.exitStatus() == QProcess::CrashExit, figlio.readAllStandardError().constData());
        const auto primaDelRiavvio = righe();
        QVERIFY(primaDelRiavvio.first > 0);
        QCOMPARE(PostaUscita(uscita).conta(), 300); // the server took them, the outbox never heard
        {
            Spedizioniere s([conninfo] { return std::make_unique<DepositoServer>(conninfo); }, uscita);
            QVERIFY(s.svuota(60000));
            QCOMPARE(s.inAttesa(), 0);
        }
        QCOMPARE(righe(), qMakePair(300, 300));
    }

    // The reports' time: the PC's clock when it agreed with the server's, else corrected by its error.
    void orario()
    {
        const QDateTime t0 = QDateTime::fromString(QStringLiteral("2026-11-30T08:30:00Z"), Qt::ISODate);
        const qint64 ms = t0.toMSecsSinceEpoch();
        const qint64 ora = 3600 * 1000, giorno = 24 * ora;
        QCOMPARE(Orario::momento(t0, ms + 2000, ms + 4000), t0);                  // 2 s apart: trusted
        QCOMPARE(Orario::momento(t0.addMSecs(-ora), ms - ora + 10, ms + 10), t0); // an hour behind
        // A year ahead, and three days in the outbox before the server answered.
        QCOMPARE(Orario::momento(t0.addYears(1), ms + 3 * giorno + 365 * giorno, ms + 3 * giorno), t0);
        QCOMPARE(Orario::momento(t0, 0, 0), t0); // this PC's own file: nothing to compare
    }

    // A pupil's PC never migrates: a server at another version gets nothing, the results wait.
    void versioneDiversa()
    {
        QCOMPARE(server_.psql(QStringLiteral("UPDATE quorvel_versione SET versione = versione - 1")), QString());
        const QString conninfo = server_.conninfo(QStringLiteral("pc_aula"));
        DepositoServer deposito(conninfo);
        QVERIFY(!deposito.consegna({risultato(1000)}));
        QVERIFY2(deposito.errore().contains(QLatin1String("--registro-prepara")), qPrintable(deposito.errore()));
        QCOMPARE(server_.psql(QStringLiteral("SELECT count(*) FROM risultati WHERE secondi = 1000")),
                 QStringLiteral("0"));
        QCOMPARE(server_.psql(QStringLiteral("UPDATE quorvel_versione SET versione = versione + 1")), QString());
    }
    // A teacher's own login on the lab's server: refused when wrong or not a teacher's; the figures
    // and the erasures through it; a PC an hour slow counted on the day it really was.
    void insegnante()
    {
        // A password with every character a connection string or SQL treats apart.
        QVERIFY(!server_
                     .psql(QStringLiteral("CREATE ROLE maestra_rossi LOGIN PASSWORD 'Gatto; ''42'' \\ x' IN ROLE "
                                          "quorvel_insegnanti; DELETE FROM risultati"))
                     .isNull());
        const QString pc = server_.conninfo(QStringLiteral("pc_aula"));
        QString errore;
        QVERIFY(
            !RegistroServer::accedi(pc, QStringLiteral("maestra_rossi"), QStringLiteral("gatto; '42' \\ x"), &errore));
        QCOMPARE(errore, QStringLiteral("Il server non accetta questo nome di accesso con questa password."));
        // A teacher's line left in this account's password file opens nothing without the password.
        QFile pgpass(QDir(AmbienteTest::casaTemporanea()).filePath(QStringLiteral(".pgpass")));
        QVERIFY(pgpass.open(QIODevice::WriteOnly));
        pgpass.write("*:*:*:maestra_rossi:Gatto; '42' \\\\ x\n");
        pgpass.close();
        QVERIFY(pgpass.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(!RegistroServer::accedi(pc, QStringLiteral("maestra_rossi"), QString(), &errore));
        QCOMPARE(errore, QStringLiteral("Scrivere la password."));
        QVERIFY(!RegistroServer::accedi(pc, QStringLiteral("maestra_rossi"), QStringLiteral("sbagliata"), &errore));
        QVERIFY(pgpass.remove());
        for (const char *altro : {"pc_aula", "estraneo"}) {
            QVERIFY(!RegistroServer::accedi(pc, QString::fromLatin1(altro), server_.password(), &errore));
            QVERIFY2(errore.contains(QStringLiteral("non è un accesso da insegnante")), qPrintable(errore));
        }
        const std::unique_ptr<Registro> maestra =
            RegistroServer::accedi(pc, QStringLiteral("maestra_rossi"), passwordRossi, &errore);
        QVERIFY2(maestra, qPrintable(errore));
        // The class is her colleague's, who gives it to her as well: until then she does not see it.
        QCOMPARE(maestra->classi(true).size(), 0);
        const std::unique_ptr<Registro> collega = Registro::apri(server_.conninfo(QStringLiteral("maestra")));
        const QString classe = collega->classi().first().id;
        QVERIFY2(collega->aggiungiInsegnante(classe, QStringLiteral("maestra_rossi")), qPrintable(collega->errore()));
        QCOMPARE(maestra->classi(true).size(), 1);
        QCOMPARE(maestra->insegnanti(classe),
                 std::optional(QStringList{QStringLiteral("maestra"), QStringLiteral("maestra_rossi")}));
        QList<Alunno> nuovi{Alunno{{}, {}, QStringLiteral("Giulia"), {}}};
        QVERIFY2(maestra->aggiungiAlunni(classe, nuovi), qPrintable(maestra->errore()));
        const QString giulia = nuovi.first().id;

        // Sent by the pupils' PC now; its clock says an hour less than the server's for the "lento" ones.
        const QDateTime adesso = QDateTime::currentDateTimeUtc();
        const QDate oggi = Riepilogo::giornoItaliano(adesso);
        const QDateTime mezzanotte = QDateTime(oggi, QTime(0, 30), QTimeZone("Europe/Rome")).toUTC();
        auto manda = [&](const QString &chi, const QDateTime &quando, int secondi) {
            Risultato r = risultato(secondi);
            r.alunno = chi;
            r.quando = quando;
            DepositoIndietro deposito(pc, secondi < 3 ? 3600000 : 0);
            QVERIFY2(deposito.consegna({r}), qPrintable(deposito.errore()));
        };
        manda(alunno, mezzanotte.addSecs(-3600), 1); // 23:30 yesterday by the slow clock, 00:30 today
        manda(alunno, mezzanotte.addSecs(-3600 + 60), 2);
        manda(alunno, adesso.addDays(-3), 3); // a right clock, three days in the outbox: its own day
        manda(giulia, adesso.addDays(-3), 4);
        manda(giulia, adesso.addDays(-10), 5);

        const Riepilogo::Periodo giorno{oggi, oggi};
        const auto dati = Riepilogo::DatiClasse::carica(*maestra, classe, {oggi.addDays(-30), oggi});
        QVERIFY2(dati, qPrintable(maestra->errore()));
        const QList<Riepilogo::RigaAlunno> tabella = dati->righe(giorno);
        QCOMPARE(tabella.size(), 2);
        for (const Riepilogo::RigaAlunno &r : tabella) {
            QCOMPARE(r.esercizi, r.alunno.id == alunno ? 2 : 0);
            QCOMPARE(r.ultimo, r.alunno.id == alunno ? oggi : QDate());
        }
        const auto tre = dati->righe({oggi.addDays(-3), oggi.addDays(-3)});
        QCOMPARE(tre.at(0).esercizi + tre.at(1).esercizi, 2);

        // The pupils' login erases nothing; the teacher's exactly what she was told.
        const std::unique_ptr<Registro> aula = Registro::apri(pc);
        QCOMPARE(aula->alunni(classe).size(), 2); // in the pupils' copy on this PC too
        QVERIFY(!aula->cancellaAlunno(giulia));
        QVERIFY(!aula->cancellaRisultatiPrimaDel(oggi));
        // How many school years are kept: the teacher sets it for every PC, the pupils' login only reads it.
        QVERIFY2(maestra->impostaConservazione(3), qPrintable(maestra->errore()));
        QVERIFY(!aula->impostaConservazione(1));
        QCOMPARE(aula->conservazione(), 3);
        // The families' notice, from her login: where the register is, who administers it, the class's teachers.
        const auto notizie = Informativa::raccogli(*maestra, maestra->classi().first(), oggi, &errore);
        QVERIFY2(notizie, qPrintable(errore));
        QVERIFY2(!notizie->server->host.isEmpty() && pc.contains(notizie->server->host), qPrintable(pc));
        QCOMPARE(notizie->server->database, QStringLiteral("quorvel"));
        QCOMPARE(notizie->server->proprietario, QStringLiteral("quorvel"));
        QCOMPARE(notizie->anniConservati, 3);
        const QString testo = Informativa(*notizie).testo();
        QVERIFY2(testo.contains(QStringLiteral("password sul server: maestra, maestra_rossi.")), qPrintable(testo));
        QCOMPARE(righe().first, 5);
        QCOMPARE(maestra->cancellaRisultatiPrimaDel(oggi.addDays(-5)), 1);
        QCOMPARE(server_.psql(QStringLiteral("SELECT string_agg(secondi::text, ',' ORDER BY secondi) FROM risultati")),
                 QStringLiteral("1,2,3,4"));
        QCOMPARE(maestra->cancellaAlunno(giulia), 1);
        QCOMPARE(server_.psql(QStringLiteral("SELECT string_agg(secondi::text, ',' ORDER BY secondi) FROM risultati")),
                 QStringLiteral("1,2,3"));
        QCOMPARE(maestra->alunni(classe).size(), 1);
        // Erased from every copy of the classes this PC keeps, whichever login made it.
        const QDir cartellaDati(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        for (const QString &copia : cartellaDati.entryList({QStringLiteral("*-classi.json")})) {
            QFile f(cartellaDati.filePath(copia));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY2(!f.readAll().contains(giulia.toLatin1()), qPrintable(copia));
        }
        // The password reached no file of this PC.
        QDirIterator file(AmbienteTest::casaTemporanea(), QDir::Files, QDirIterator::Subdirectories);
        while (file.hasNext()) {
            QFile f(file.next());
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY2(!f.readAll().contains(passwordRossi.toUtf8()), qPrintable(f.fileName()));
        }
    }

    // A second teacher, by psql, sees and touches nothing of a class not given to her; the owner sees
    // everything; the pupils' login reads only the names "Chi sei?" needs.
    void ciascunoLeSue()
    {
        QVERIFY(server_.creaLogin(QStringLiteral("maestra_bianchi"), QStringLiteral("quorvel_insegnanti")));
        const QString bianchi = QStringLiteral("maestra_bianchi");
        const std::unique_ptr<Registro> sua = Registro::apri(server_.conninfo(bianchi));
        const std::optional<Classe> quarta = sua->creaClasse(QStringLiteral("4ª C"));
        QVERIFY2(quarta, qPrintable(sua->errore()));
        const QString seconda =
            server_.psql(QStringLiteral("SELECT encode(id, 'hex') FROM classi WHERE nome = '2ª B'"));
        QCOMPARE(seconda.size(), 32);
        const auto comeLei = [&](const QString &sql) {
            const QString uscita = server_.psqlCome(bianchi, sql);
            return uscita.isNull() ? server_.errore() : uscita;
        };
        QCOMPARE(comeLei(QStringLiteral("SELECT string_agg(nome, ',') FROM classi")), QStringLiteral("4ª C"));
        for (const char *tabella : {"alunni", "sessioni", "risultati"})
            QCOMPARE(comeLei(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(tabella))),
                     QStringLiteral("0"));
        QCOMPARE(comeLei(QStringLiteral("SELECT string_agg(login, ',') FROM docenze")), bianchi);
        for (const char *cambio :
             {"UPDATE alunni SET nome = 'x'", "DELETE FROM alunni", "DELETE FROM risultati", "DELETE FROM sessioni",
              "UPDATE classi SET archiviata = true WHERE nome = '2ª B'", "DELETE FROM classi WHERE nome = '2ª B'"})
            QVERIFY2(comeLei(QStringLiteral("WITH c AS (%1 RETURNING 1) SELECT count(*) FROM c")
                                 .arg(QLatin1String(cambio))) == QLatin1String("0"),
                     cambio);
        const QStringList rifiutati{
            QStringLiteral("INSERT INTO alunni (id, classe, nome, figura, colore) VALUES (decode(md5('x'), 'hex'),"
                           " '\\x%1', 'Intrusa', 1, 1)")
                .arg(seconda),
            QStringLiteral("INSERT INTO docenze VALUES ('\\x%1', 'maestra_bianchi')").arg(seconda),
        };
        for (const QString &sql : rifiutati) {
            const QString rifiuto = comeLei(sql);
            qInfo("second teacher: %s -> %s", qPrintable(sql), qPrintable(rifiuto));
            QVERIFY2(rifiuto.contains(QLatin1String("row-level security")), qPrintable(rifiuto));
        }
        QCOMPARE(server_.psql(QStringLiteral("SELECT count(*) FROM alunni WHERE nome = 'Intrusa'")),
                 QStringLiteral("0"));
        // Through the program too; and she can give her class only to a teacher of this register.
        QCOMPARE(sua->classi(true).size(), 1);
        QVERIFY(!sua->aggiungiInsegnante(quarta->id, QStringLiteral("pc_aula")));
        qInfo("%s", qPrintable(sua->errore()));
        QVERIFY(!sua->aggiungiInsegnante(quarta->id, QStringLiteral("nessuna")));
        QCOMPARE(sua->errore(), QStringLiteral("sul server non c'è nessun accesso di nome «nessuna»."));
        // From the command line, as her colleague's own class was given to her.
        QCOMPARE(
            RigaComandoRegistro::esegui({QStringLiteral("quorvel"), QStringLiteral("--registro"),
                                         server_.conninfo(bianchi), QStringLiteral("--classe"), QStringLiteral("4ª C"),
                                         QStringLiteral("--insegnante"), QStringLiteral("maestra_rossi")}),
            0);
        QCOMPARE(sua->insegnanti(quarta->id),
                 std::optional(QStringList{QStringLiteral("maestra_bianchi"), QStringLiteral("maestra_rossi")}));
        // The owner sees every class.
        QCOMPARE(server_.psqlCome(QStringLiteral("quorvel"), QStringLiteral("SELECT count(*) FROM classi")),
                 QStringLiteral("2"));

        // The pupils' login: the names and contrassegni of classes not archived, nothing more.
        const QString pc = QStringLiteral("pc_aula");
        QCOMPARE(server_.psqlCome(pc, QStringLiteral("SELECT string_agg(c.nome || ':' || a.nome, ',') FROM alunni a"
                                                     " JOIN classi c ON c.id = a.classe")),
                 QStringLiteral("2ª B:Marco"));
        QVERIFY(sua->archiviaClasse(quarta->id, true));
        QCOMPARE(server_.psqlCome(pc, QStringLiteral("SELECT string_agg(nome, ',') FROM classi")),
                 QStringLiteral("2ª B"));
        for (const char *sql : {"SELECT chiave FROM alunni", "SELECT * FROM docenze", "SELECT * FROM classi",
                                "SELECT quorvel_mie_classi()"}) {
            QVERIFY(server_.psqlCome(pc, QLatin1String(sql)).isNull());
            qInfo("quorvel_alunni: %s -> %s", sql, qPrintable(server_.errore()));
            QVERIFY2(server_.errore().contains(QLatin1String("permission denied")), qPrintable(server_.errore()));
        }
    }

    // The pupils' login adds only plausible results, for pupils of classes not archived; it makes no
    // large objects nor temporary tables, and opens only the connections it is given.
    void plausibili()
    {
        const QString pc = QStringLiteral("pc_aula");
        // No erased period: each refusal below is the server's checks', not a drop on arrival.
        QCOMPARE(server_.psql(QStringLiteral("UPDATE quorvel_versione SET cancellati_prima = 0")), QString());
        const QString marco = QString::fromLatin1(Schema::id(alunno).toByteArray().toHex());
        const QString quarta = server_.psql(QStringLiteral("SELECT encode(id, 'hex') FROM classi WHERE nome = '4ª C'"));
        QVERIFY(!server_
                     .psql(QStringLiteral("INSERT INTO alunni (id, classe, nome, figura, colore) VALUES"
                                          " ('\\x00000000000070008000000000000abc', '\\x%1', 'Archiviato', 1, 1)")
                               .arg(quarta))
                     .isNull());
        // One plausible row, then each column out of its range in turn.
        const auto riga = [&](const QMap<QString, QString> &cambi) {
            QMap<QString, QString> v{
                {QStringLiteral("id"), QStringLiteral("decode(md5(random()::text), 'hex')")},
                {QStringLiteral("alunno"), QStringLiteral("'\\x%1'").arg(marco)},
                {QStringLiteral("sessione"), QStringLiteral("decode(md5('s'), 'hex')")},
                {QStringLiteral("quando"), QStringLiteral("(extract(epoch FROM now()) * 1000)::bigint")},
                {QStringLiteral("tipo"), QStringLiteral("1")},
                {QStringLiteral("n"), QStringLiteral("5")},
                {QStringLiteral("figura"), QStringLiteral("3")},
                {QStringLiteral("risposta"), QStringLiteral("4")},
                {QStringLiteral("esatto"), QStringLiteral("true")},
                {QStringLiteral("aiuto"), QStringLiteral("0")},
                {QStringLiteral("intervento"), QStringLiteral("false")},
                {QStringLiteral("secondi"), QStringLiteral("9999")},
                {QStringLiteral("inviato"), QStringLiteral("(extract(epoch FROM now()) * 1000)::bigint")},
            };
            for (auto it = cambi.cbegin(); it != cambi.cend(); ++it)
                v[it.key()] = it.value();
            return QStringLiteral("INSERT INTO risultati (%1) VALUES (%2)")
                .arg(v.keys().join(QLatin1Char(',')), v.values().join(QLatin1Char(',')));
        };
        QCOMPARE(server_.psqlCome(pc, riga({})), QString());
        const QString giorno = QStringLiteral("86400000");
        const QList<QMap<QString, QString>> falsi{
            {{QStringLiteral("tipo"), QStringLiteral("3")}},
            {{QStringLiteral("n"), QStringLiteral("0")}, {QStringLiteral("risposta"), QStringLiteral("-1")}},
            {{QStringLiteral("n"), QStringLiteral("16")}, {QStringLiteral("risposta"), QStringLiteral("15")}},
            {{QStringLiteral("figura"), QStringLiteral("13")}},
            {{QStringLiteral("esatto"), QStringLiteral("false")}},
            {{QStringLiteral("aiuto"), QStringLiteral("2")}},
            {{QStringLiteral("esatto"), QStringLiteral("false")},
             {QStringLiteral("risposta"), QStringLiteral("7")},
             {QStringLiteral("aiuto"), QStringLiteral("4")}},
            {{QStringLiteral("intervento"), QStringLiteral("true")}},
            {{QStringLiteral("secondi"), QStringLiteral("-1")}},
            {{QStringLiteral("secondi"), QStringLiteral("86400")}},
            {{QStringLiteral("quando"), QStringLiteral("0")}},
            {{QStringLiteral("quando"), QStringLiteral("(extract(epoch FROM now()) * 1000)::bigint + ") + giorno},
             {QStringLiteral("inviato"), QStringLiteral("NULL")}},
            {{QStringLiteral("quando"),
              QStringLiteral("(extract(epoch FROM now()) * 1000)::bigint - 1200::bigint * ") + giorno}},
            {{QStringLiteral("id"), QStringLiteral("'\\x01'")}},
            {{QStringLiteral("alunno"), QStringLiteral("'\\x00000000000070008000000000000abc'")}},
            {{QStringLiteral("alunno"), QStringLiteral("decode(md5('nessuno'), 'hex')")}},
            {{QStringLiteral("livello"), QStringLiteral("7")}},
            {{QStringLiteral("abilita"), QStringLiteral("50")}},
        };
        for (const auto &falso : falsi) {
            const QString sql = riga(falso);
            QVERIFY2(server_.psqlCome(pc, sql).isNull(), qPrintable(sql));
            qInfo("quorvel_alunni: %s -> %s", qPrintable(QStringList(falso.keys()).join(QLatin1Char(','))),
                  qPrintable(server_.errore()));
            QVERIFY2(server_.errore().contains(QLatin1String("violates")), qPrintable(server_.errore()));
        }
        QCOMPARE(server_.psql(QStringLiteral("SELECT count(*) FROM risultati WHERE secondi = 9999")),
                 QStringLiteral("1"));
        const QStringList vietati{
            QStringLiteral("SELECT lo_from_bytea(0, 'x')"),
            QStringLiteral("SELECT lo_create(0)"),
            QStringLiteral("CREATE TEMP TABLE t (x int)"),
            QStringLiteral(
                "INSERT INTO sessioni VALUES (decode(md5('t'), 'hex'), '\\x00000000000070008000000000000abc',"
                " 'pc', 1)"),
        };
        for (const QString &sql : vietati) {
            QVERIFY2(server_.psqlCome(pc, sql).isNull(), qPrintable(sql));
            qInfo("quorvel_alunni: %s -> %s", qPrintable(sql), qPrintable(server_.errore()));
            QVERIFY2(server_.errore().contains(QLatin1String("permission denied")) ||
                         server_.errore().contains(QLatin1String("row-level security")),
                     qPrintable(server_.errore()));
        }

        // The administrator's limits for the pupils' logins, which --registro-prepara asks for.
        const auto prima = PreparazioneServer::prepara(server_.conninfo());
        QVERIFY2(prima.riuscito && prima.messaggio.contains(QLatin1String("alunni pc_aula non hanno un limite")),
                 qPrintable(prima.messaggio));
        QVERIFY(!server_
                     .psql(QStringLiteral("ALTER ROLE pc_aula CONNECTION LIMIT 2;"
                                          " ALTER ROLE pc_aula SET statement_timeout = '10s'"))
                     .isNull());
        const auto dopo = PreparazioneServer::prepara(server_.conninfo());
        QVERIFY2(dopo.riuscito && !dopo.messaggio.contains(QLatin1String("pc_aula")), qPrintable(dopo.messaggio));
        QString errore;
        QList<QSqlDatabase> aperte;
        for (int i = 0; i < 3; ++i) {
            QSqlDatabase db;
            const bool aperta =
                ConnessioneServer::apri(QStringLiteral("limite-%1").arg(i), server_.conninfo(pc), &db, &errore);
            QCOMPARE(aperta, i < 2);
            if (aperta) {
                QSqlQuery q(db);
                QVERIFY(q.exec(QStringLiteral("SHOW statement_timeout")) && q.next());
                QCOMPARE(q.value(0).toString(), QStringLiteral("10s")); // the administrator's, not the program's
            }
            aperte << db;
        }
        qInfo("third connection: %s", qPrintable(errore));
        QVERIFY2(errore.contains(QLatin1String("too many connections")), qPrintable(errore));
        for (QSqlDatabase &db : aperte)
            db.close();
        aperte.clear();
        for (int i = 0; i < 3; ++i)
            QSqlDatabase::removeDatabase(QStringLiteral("limite-%1").arg(i));
        QVERIFY(!server_.psql(QStringLiteral("ALTER ROLE pc_aula CONNECTION LIMIT -1")).isNull());
    }

    // The teacher sets levels; a pupils' PC reads them and moves a pupil along the path, never back
    // to an older place, and cannot touch what the teacher set.
    void livelli()
    {
        const std::unique_ptr<Registro> proprietario = Registro::apri(server_.conninfo());
        const std::optional<Classe> seconda = [&]() -> std::optional<Classe> {
            for (const Classe &c : proprietario->classi())
                if (c.nome == QStringLiteral("2ª B"))
                    return c;
            return std::nullopt;
        }();
        QVERIFY(seconda);
        QVERIFY2(proprietario->impostaLivello(seconda->id, {}, {2, 2}), qPrintable(proprietario->errore()));
        QVERIFY(proprietario->impostaLivello(seconda->id, alunno, {1, 4}));
        const std::unique_ptr<Registro> altra = Registro::apri(server_.conninfo(QStringLiteral("maestra_bianchi")));
        QVERIFY(!altra->impostaLivello(seconda->id, {}, {6, 6}));

        const std::unique_ptr<Registro> aula = Registro::apri(server_.conninfo(QStringLiteral("pc_aula")));
        const QList<Classe> classi = aula->classi();
        QCOMPARE(classi.size(), 1);
        QCOMPARE(classi.first().livello, (ImpostazioneLivello{2, 2}));
        const QList<Alunno> alunni = aula->alunni(seconda->id);
        QCOMPARE(alunni.size(), 1);
        QCOMPARE(alunni.first().livello, (ImpostazioneLivello{1, 4}));
        QVERIFY(!alunni.first().stato.noto());

        // Out of order, as two PCs' outboxes may deliver: the place after the 7th answer stays.
        for (const auto &[risposte, abilita] : {std::pair{7, 3.5}, std::pair{3, 1.25}}) {
            Risultato r = risultato(900 + risposte);
            r.livello = 3;
            r.percorso = StatoPercorso{abilita, risposte};
            aula->registra(r);
            QVERIFY(aula->svuota(20000));
        }
        QCOMPARE(server_.psql(QStringLiteral("SELECT abilita || ':' || risposte_percorso FROM alunni")),
                 QStringLiteral("3.5:7"));
        QCOMPARE(server_.psql(QStringLiteral("SELECT string_agg(livello || ':' || abilita, ',' ORDER BY secondi)"
                                             " FROM risultati WHERE secondi > 900")),
                 QStringLiteral("3:1.25,3:3.5"));
        QCOMPARE(aula->alunni(seconda->id).first().stato.risposte, 7);

        const QString pc = QStringLiteral("pc_aula");
        for (const char *sql : {"UPDATE alunni SET livello_da = 6, livello_a = 6", "UPDATE classi SET livello_a = 6",
                                "UPDATE alunni SET nome = 'x'"}) {
            QVERIFY2(server_.psqlCome(pc, QLatin1String(sql)).isNull(), sql);
            QVERIFY2(server_.errore().contains(QLatin1String("permission denied")), qPrintable(server_.errore()));
        }
        QVERIFY(server_.psqlCome(pc, QStringLiteral("UPDATE alunni SET abilita = 50, risposte_percorso = 8")).isNull());
        QVERIFY2(server_.errore().contains(QLatin1String("violates")), qPrintable(server_.errore()));
        QVERIFY(proprietario->impostaLivello(seconda->id, {}, {}));
        QVERIFY(!proprietario->classi().first().livello.impostata());
    }

    // Only over TLS, and only to the server whose certificate the PC trusts: another server is told
    // nothing, the teacher reads why, and the results wait on the PC.
    void cifrato()
    {
        const QString pc = QStringLiteral("pc_aula");
        QVERIFY(server_.psqlCome(pc, QStringLiteral("SELECT 1"), QStringLiteral("sslmode=disable")).isNull());
        qInfo("without TLS: %s", qPrintable(server_.errore()));
        QVERIFY2(server_.errore().contains(QLatin1String("no encryption")), qPrintable(server_.errore()));

        const QString altro = server_.conninfo(pc, QStringLiteral("quorvel"), QStringLiteral("altro.crt"));
        QString errore;
        QVERIFY(!RegistroServer::accedi(altro, QStringLiteral("maestra_rossi"), passwordRossi, &errore));
        qInfo("another certificate: %s", qPrintable(errore));
        QCOMPARE(errore, QStringLiteral("il server del registro (quorvel su localhost) non ha mostrato il certificato "
                                        "di cui questo PC si fida, quindi per sicurezza non riceve nulla: "
                                        "l'amministratore controlli il certificato del server e il file sslrootcert "
                                        "dei PC."));
        {
            const std::unique_ptr<Registro> aula = Registro::apri(altro);
            aula->registra(risultato(4001));
            QVERIFY(!aula->svuota(1500));
            QCOMPARE(aula->inAttesa(), 1);
            QCOMPARE(aula->motivoAttesa(), errore);
        }
        QCOMPARE(server_.psql(QStringLiteral("SELECT count(*) FROM risultati WHERE secondi = 4001")),
                 QStringLiteral("0"));
        const std::unique_ptr<Registro> aula = Registro::apri(server_.conninfo(pc));
        QVERIFY(aula->svuota(30000));
        QCOMPARE(server_.psql(QStringLiteral("SELECT count(*) FROM risultati WHERE secondi = 4001")),
                 QStringLiteral("1"));
        QCOMPARE(server_.psql(QStringLiteral("DELETE FROM risultati WHERE secondi IN (4001, 9999)")), QString());
    }

    // A batch goes as one statement of arrays: every value must come out as it went in.
    void unLottoInUnaVolta()
    {
        DepositoServer deposito(server_.conninfo(QStringLiteral("pc_aula")));
        QList<Risultato> lotto;
        for (int i = 0; i < 4; ++i) {
            Risultato r = risultato(2000 + i);
            r.sessione = i < 2 ? QStringLiteral("0190a0a0-0000-7000-8000-0000000000a1")
                               : QStringLiteral("0190a0a0-0000-7000-8000-0000000000a2");
            r.macchina = QStringLiteral("pc \"{ù}\\, 'x' NULL");
            r.esatto = i == 0;
            r.risposta = r.esatto ? 4 : i;
            r.aiuto = Risultato::Aiuto(i);
            lotto << r;
        }
        lotto[3].alunno = Schema::nuovoId(); // no such pupil: dropped
        QVERIFY2(deposito.consegna(lotto), qPrintable(deposito.errore()));
        QVERIFY2(deposito.consegna(lotto.mid(1, 1)), qPrintable(deposito.errore())); // again: skipped
        QCOMPARE(
            server_.psql(QStringLiteral("SELECT string_agg(concat_ws(',', secondi, esatto, aiuto, tipo,"
                                        " encode(sessione, 'hex')), ';' ORDER BY secondi) FROM risultati"
                                        " WHERE secondi >= 2000")),
            QStringLiteral("2000,t,0,2,0190a0a00000700080000000000000a1;2001,f,1,0,0190a0a00000700080000000000000a1;"
                           "2002,f,2,1,0190a0a00000700080000000000000a2"));
        QCOMPARE(server_.psql(
                     QStringLiteral("SELECT DISTINCT macchina FROM sessioni WHERE id IN"
                                    " ('\\x0190a0a00000700080000000000000a1', '\\x0190a0a00000700080000000000000a2')")),
                 lotto[0].macchina);
    }

    // The PC's outbox follows the register, whatever the setting's words; SI after VERIFICA is one
    // result; the server fixes a result's day on arrival, so a PC 400 days behind neither hides it
    // nor has it erased, and an erased period stays erased.
    void registroDelLaboratorio()
    {
        QCOMPARE(server_.psql(QStringLiteral("DELETE FROM risultati")), QString());
        const QString pc = server_.conninfo(QStringLiteral("pc_aula"));
        // An outbox an earlier version left, named after another setting, in its old layout.
        const QString vecchia = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                                QStringLiteral("/server-0123456789abcdef-uscita.sqlite");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("vecchia"));
            db.setDatabaseName(vecchia);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral(
                "CREATE TABLE uscita (id BLOB PRIMARY KEY, alunno BLOB NOT NULL, sessione BLOB NOT NULL,"
                " quando BIGINT NOT NULL, macchina VARCHAR(255) NOT NULL, tipo SMALLINT NOT NULL, n SMALLINT NOT NULL,"
                " figura SMALLINT NOT NULL, risposta SMALLINT NOT NULL, esatto BOOLEAN NOT NULL,"
                " aiuto SMALLINT NOT NULL, intervento BOOLEAN NOT NULL, secondi INTEGER NOT NULL)")));
            const Risultato r = risultato(3001);
            q.prepare(
                QStringLiteral("INSERT INTO uscita VALUES (?, ?, ?, ?, 'aula-pc-07', 0, 5, 3, 4, 1, 0, 0, 3001)"));
            for (const QVariant &v : {Schema::id(r.id), Schema::id(r.alunno), Schema::id(r.sessione),
                                      QVariant(r.quando.toMSecsSinceEpoch())})
                q.addBindValue(v);
            QVERIFY(q.exec());
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("vecchia"));

        Risultato offerto = risultato(3002);
        offerto.esatto = false;
        offerto.risposta = 2;
        offerto.aiuto = Risultato::Aiuto::Offerto;
        Risultato prima = offerto;
        prima.id = Schema::nuovoId();
        prima.secondi = 3003;
        {
            const std::unique_ptr<Registro> aula = Registro::apri(pc);
            QCOMPARE(aula->classi().size(), 1);
            aula->registra(prima);
            QVERIFY(aula->svuota(30000));
            const QString identita = server_.psql(QStringLiteral("SELECT registro FROM quorvel_versione"));
            QVERIFY2(server_.ferma(), qPrintable(server_.errore()));
            aula->registra(offerto);
            QVERIFY(!aula->svuota(1000));
            // Waiting for the register its pupil was chosen from, whatever reaches this PC later.
            QCOMPARE(interroga(RegistroServer::fileUscita(), QStringLiteral("SELECT registro FROM uscita")).toString(),
                     identita);
        }
        QVERIFY2(server_.avvia(), qPrintable(server_.errore()));
        {
            const std::unique_ptr<Registro> aula = Registro::apri(pc + QStringLiteral("  connect_timeout=20 "));
            Risultato si = offerto;
            si.aiuto = Risultato::Aiuto::Accettato;
            Risultato no = prima;
            no.aiuto = Risultato::Aiuto::Rifiutato;
            no.intervento = true;
            aula->registra(si);
            aula->registra(no);
            QVERIFY(aula->svuota(30000));
            QCOMPARE(aula->inAttesa(), 0);
        }
        QVERIFY(!QFile::exists(vecchia));
        const QString elenco = QStringLiteral(
            "SELECT string_agg(concat_ws(':', secondi, aiuto, intervento), ',' ORDER BY secondi) FROM risultati");
        QCOMPARE(server_.psql(elenco), QStringLiteral("3001:0:f,3002:2:f,3003:3:t"));
        // The pupils' login gives an outcome only to a help that was offered, and only once.
        QCOMPARE(come(server_, QStringLiteral("pc_aula"),
                      QStringLiteral("SELECT quorvel_esiti(array_agg(encode(id, 'hex')), array_agg(3::smallint),"
                                     " array_agg(true)) FROM (SELECT '\\x00'::bytea AS id) x")),
                 QString());
        QCOMPARE(server_.psql(elenco), QStringLiteral("3001:0:f,3002:2:f,3003:3:t"));

        const QDateTime adesso = QDateTime::currentDateTimeUtc();
        const QDate oggi = Riepilogo::giornoItaliano(adesso);
        Risultato indietro = risultato(3004);
        indietro.quando = adesso.addDays(-400);
        DepositoIndietro lento(pc, 400LL * 24 * 3600 * 1000);
        QVERIFY2(lento.consegna({indietro}), qPrintable(lento.errore()));
        const std::unique_ptr<Registro> maestra = Registro::apri(server_.conninfo(QStringLiteral("maestra")));
        QStringList visti;
        QVERIFY(maestra->risultati({{}, {}, oggi, oggi, -1}, [&](const Registro::RigaRisultato &r) {
            visti << QString::number(r.risultato.secondi);
        }));
        visti.sort();
        QCOMPARE(visti.join(QLatin1Char(',')), QStringLiteral("3001,3002,3003,3004"));
        QCOMPARE(maestra->cancellaRisultatiPrimaDel(oggi.addDays(-30)), std::optional<int>(0));
        Risultato tardi = risultato(3005);
        tardi.quando = adesso.addDays(-40);
        DepositoServer giusto(pc);
        QVERIFY2(giusto.consegna({tardi}), qPrintable(giusto.errore()));
        QCOMPARE(righe(), qMakePair(4, 4));
        QCOMPARE(server_.psql(QStringLiteral("UPDATE quorvel_versione SET cancellati_prima = 0;"
                                             " DELETE FROM risultati")),
                 QString());
    }

    // The server hung (stopped, its connections open): the pupils still find themselves in the PC's
    // copy at once instead of waiting for ever.
    void sospesoLetture()
    {
        const std::unique_ptr<Registro> aula = Registro::apri(server_.conninfo(QStringLiteral("pc_aula")));
        const QList<Classe> classi = aula->classi(); // connected, the copy up to date
        QCOMPARE(classi.size(), 1);
        const ServerSospeso sospeso(server_);
        QVERIFY(sospeso.riuscito());
        QElapsedTimer tempo;
        tempo.start();
        QCOMPARE(aula->classi().value(0).id, classi.first().id);
        QCOMPARE(aula->alunni(classi.first().id).value(0).id, alunno);
        QVERIFY2(tempo.elapsed() < 10000, qPrintable(QString::number(tempo.elapsed()))); // a freeze, not a speed
    }

    // Results written while the server hangs: the register closes promptly with them in its outbox,
    // and the next start delivers each once.
    void sospesoUscita()
    {
        const QString pc = server_.conninfo(QStringLiteral("pc_aula"));
        std::unique_ptr<Registro> aula = Registro::apri(pc);
        aula->registra(risultato(3000));
        QVERIFY(aula->svuota(30000)); // the sender is connected
        {
            const ServerSospeso sospeso(server_);
            QVERIFY(sospeso.riuscito());
            QElapsedTimer tempo;
            tempo.start();
            for (int i = 1; i <= 3; ++i)
                aula->registra(risultato(3000 + i));
            QVERIFY(!aula->svuota(300));
            aula.reset();
            QVERIFY2(tempo.elapsed() < 10000, qPrintable(QString::number(tempo.elapsed())));
            QCOMPARE(PostaUscita(RegistroServer::fileUscita()).conta(), 3);
        }
        aula = Registro::apri(pc);
        QVERIFY(aula->svuota(60000));
        QCOMPARE(server_.psql(QStringLiteral("SELECT count(*), count(DISTINCT secondi) FROM risultati"
                                             " WHERE secondi BETWEEN 3000 AND 3003")),
                 QStringLiteral("4|4"));
    }

    // The teacher's calls on the hung server end promptly and say why in one sentence.
    void sospesoInsegnante()
    {
        QString errore;
        const std::unique_ptr<Registro> maestra = RegistroServer::accedi(
            server_.conninfo(QStringLiteral("pc_aula")), QStringLiteral("maestra_rossi"), passwordRossi, &errore);
        QVERIFY2(maestra, qPrintable(errore));
        Registro::Filtro filtro;
        filtro.classe = maestra->classi().first().id;
        int righe = 0;
        QVERIFY2(maestra->risultati(filtro, [&](const Registro::RigaRisultato &) { ++righe; }),
                 qPrintable(maestra->errore()));
        QVERIFY(righe > 0);
        const ServerSospeso sospeso(server_);
        QVERIFY(sospeso.riuscito());
        QElapsedTimer tempo;
        tempo.start();
        QVERIFY(!maestra->risultati(filtro, [](const Registro::RigaRisultato &) {}));
        QVERIFY2(maestra->errore().startsWith(QStringLiteral("il server del registro")) &&
                     maestra->errore().contains(QStringLiteral("non risponde")),
                 qPrintable(maestra->errore()));
        QVERIFY(!maestra->creaClasse(QStringLiteral("3ª C")));
        QVERIFY2(maestra->errore().contains(QStringLiteral("non risponde")), qPrintable(maestra->errore()));
        QVERIFY2(tempo.elapsed() < 20000, qPrintable(QString::number(tempo.elapsed())));
    }
};

int main(int argc, char **argv)
{
    if (argc == 5 && qstrcmp(argv[1], "--scrittore-ucciso") == 0)
        return scrittoreUcciso(argc, argv);
    QCoreApplication app(argc, argv);
    TestRegistroServer test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_registro_server.moc"
