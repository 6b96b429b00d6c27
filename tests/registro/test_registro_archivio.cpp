// The register on real SQLite files in the test's own folder: schema steps,
// a newer file left alone, modes, names, results written once, the outbox.
#include "registro/PostaUscita.h"
#include "registro/Registro.h"
#include "registro/Schema.h"
#include "support/InterrogaSqlite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

int modo(const QString &percorso)
{
    struct stat s {};
    return ::stat(QFile::encodeName(percorso).constData(), &s) == 0 ? int(s.st_mode & 0777) : -1;
}

QByteArray impronta(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                       : QByteArray();
}

Risultato risultato(const Alunno &a, const QString &sessione, int secondi, bool esatto)
{
    static qint64 passo = 0;
    Risultato r;
    r.id = Registro::nuovoId();
    r.alunno = a.id;
    r.sessione = sessione;
    r.quando = QDateTime::currentDateTimeUtc().addMSecs(++passo);
    r.tipo = 1;
    r.n = 4;
    r.figura = 7;
    r.risposta = esatto ? 5 : 3;
    r.esatto = esatto;
    r.aiuto = esatto ? Risultato::Aiuto::NonOfferto : Risultato::Aiuto::Accettato;
    r.secondi = secondi;
    return r;
}

} // namespace

class TestRegistroArchivio : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(cartella_.isValid()); }

    void senzaClassiNessunFile()
    {
        const QString file = cartella_.filePath("dati/q/registro.sqlite");
        const auto registro = Registro::apri(file);
        QVERIFY(registro->classi().isEmpty());
        QVERIFY(registro->alunni(Registro::nuovoId()).isEmpty());
        QVERIFY(registro->svuota(0));
        QVERIFY(registro->errore().isEmpty());
        QVERIFY(!QFileInfo::exists(cartella_.filePath("dati")));
    }

    void classiEAlunni()
    {
        const QString file = cartella_.filePath("dati/q/registro.sqlite");
        const auto registro = Registro::apri(file);
        const auto classe = registro->creaClasse(QStringLiteral("  2ª B 2026/27 "));
        QVERIFY2(classe, qPrintable(registro->errore()));
        QCOMPARE(classe->nome, QStringLiteral("2ª B 2026/27"));
        QVERIFY(!registro->creaClasse(QStringLiteral("2ª b 2026/27")));
        QCOMPARE(modo(cartella_.filePath("dati")), 0700);
        QCOMPARE(modo(cartella_.filePath("dati/q")), 0700);
        for (const char *coda : {"", "-wal", "-shm"})
            QCOMPARE(modo(file + QLatin1String(coda)), 0600);

        const QString strano = QStringLiteral("Ro'berto \"<b>x</b>\" 🦊");
        // 59 letters and a fox: 60 characters, 61 UTF-16 units.
        const QString sessanta = QString(59, QLatin1Char('a')) + QStringLiteral("🦊");
        QList<Alunno> troppi{{{}, {}, QStringLiteral("Marco"), {}}, {{}, {}, sessanta + QLatin1Char('b'), {}}};
        int sbagliato = -2;
        QVERIFY(!registro->aggiungiAlunni(classe->id, troppi, &sbagliato));
        QCOMPARE(sbagliato, 1);
        for (const QString &nome : {QStringLiteral("  "), QStringLiteral("Anna\nMaria")}) {
            QList<Alunno> uno{{{}, {}, nome, {}}};
            QVERIFY(!registro->aggiungiAlunni(classe->id, uno));
        }
        QVERIFY(registro->alunni(classe->id).isEmpty());

        QList<Alunno> nuovi{{{}, {}, QStringLiteral(" Marco "), {}},
                            {{}, {}, strano, Contrassegno{1, 0}},
                            {{}, {}, sessanta, {}},
                            {{}, {}, QStringLiteral("Anna  Maria"), {}}};
        QVERIFY2(registro->aggiungiAlunni(classe->id, nuovi), qPrintable(registro->errore()));
        QList<Alunno> doppio{{{}, {}, QStringLiteral("MARCO"), {}}};
        QVERIFY(!registro->aggiungiAlunni(classe->id, doppio));
        QList<Alunno> stessoSegno{{{}, {}, QStringLiteral("Luca"), Contrassegno{2, 1}}};
        QVERIFY(!registro->aggiungiAlunni(classe->id, stessoSegno));

        // Read back through a register of its own: what was kept, not what was handed in.
        const auto altro = Registro::apri(file);
        QList<Alunno> letti = altro->alunni(classe->id);
        QCOMPARE(letti.size(), 4);
        QSet<QString> nomi;
        QSet<int> segni;
        for (const Alunno &a : letti) {
            nomi.insert(a.nome);
            QVERIFY(a.contrassegno.valido());
            segni.insert(a.contrassegno.figura * 10 + a.contrassegno.colore);
        }
        QCOMPARE(nomi, (QSet<QString>{QStringLiteral("Marco"), strano, sessanta, QStringLiteral("Anna  Maria")}));
        QCOMPARE(segni.size(), 4);
        QCOMPARE(altro->classi().size(), 1);
        QVERIFY(altro->archiviaClasse(classe->id, true));
        QVERIFY(altro->classi().isEmpty());
        QCOMPARE(altro->classi(true).size(), 1);
    }

    void risultatiUnaVoltaSola()
    {
        const QString file = cartella_.filePath("registro.sqlite");
        const auto registro = Registro::apri(file);
        const auto classe = registro->creaClasse(QStringLiteral("1ª A"));
        QList<Alunno> alunni{{{}, {}, QStringLiteral("Marco"), {}}, {{}, {}, QStringLiteral("Giulia"), {}}};
        QVERIFY(classe && registro->aggiungiAlunni(classe->id, alunni));
        const QString sessione = Registro::nuovoId();
        QList<Risultato> dati{risultato(alunni[0], sessione, 4, true), risultato(alunni[0], sessione, 9, false),
                              risultato(alunni[0], sessione, 6, true), risultato(alunni[1], sessione, 3, true)};
        for (const Risultato &r : dati)
            registro->registra(r);
        registro->registra(dati[1]); // handed over twice
        Risultato ospite = dati[0];
        ospite.alunno.clear();
        ospite.id = Registro::nuovoId();
        registro->registra(ospite);
        QVERIFY(registro->svuota(10000));
        QCOMPARE(registro->inAttesa(), 0);

        QList<Registro::RigaRisultato> righe;
        QVERIFY(registro->risultati({}, [&](const Registro::RigaRisultato &r) { righe.append(r); }));
        QCOMPARE(righe.size(), 4);
        QCOMPARE(righe[1].risultato.id, dati[1].id);
        QCOMPARE(righe[1].risultato.aiuto, Risultato::Aiuto::Accettato);
        QCOMPARE(righe[1].risultato.risposta, 3);
        QCOMPARE(righe[1].risultato.quando.toMSecsSinceEpoch(), dati[1].quando.toMSecsSinceEpoch());
        QCOMPARE(righe[1].risultato.macchina, QSysInfo::machineHostName());
        QCOMPARE(righe[1].nomeAlunno, QStringLiteral("Marco"));
        QCOMPARE(righe[1].nomeClasse, QStringLiteral("1ª A"));
        QVERIFY(qAbs(righe[1].arrivo.msecsTo(QDateTime::currentDateTimeUtc())) < 60000);

        const auto riassunto = registro->riassunto({classe->id, {}, {}, {}, -1});
        QVERIFY(riassunto);
        QCOMPARE(riassunto->size(), 2);
        for (const Registro::Riassunto &r : *riassunto) {
            const bool marco = r.alunno == alunni[0].id;
            QCOMPARE(r.esercizi, marco ? 3 : 1);
            QCOMPARE(r.esatti, marco ? 2 : 1);
            QCOMPARE(r.secondiMediani, marco ? 6.0 : 3.0);
        }
        Registro::Filtro ieri;
        ieri.al = QDate::currentDate().addDays(-2);
        QCOMPARE(registro->riassunto(ieri)->size(), 0);

        const auto tolti = registro->cancellaAlunno(alunni[0].id);
        QCOMPARE(tolti, std::optional<int>(3));
        QCOMPARE(interroga(file, QStringLiteral("SELECT COUNT(*) FROM risultati")).toInt(), 1);
        QCOMPARE(interroga(file, QStringLiteral("SELECT COUNT(*) FROM alunni")).toInt(), 1);
        // A result of the erased pupil arriving late is not kept.
        registro->registra(risultato(alunni[0], sessione, 5, true));
        // One without a session is made whole rather than holding up the ones after it.
        registro->registra(risultato(alunni[1], QString(), 5, true));
        registro->registra(risultato(alunni[1], sessione, 5, true));
        QVERIFY(registro->svuota(10000));
        QCOMPARE(interroga(file, QStringLiteral("SELECT COUNT(*) FROM risultati")).toInt(), 3);
    }

    void migrazioni_data()
    {
        QTest::addColumn<int>("da");
        for (int v = 0; v < Schema::versione(); ++v)
            QTest::addRow("dalla %d", v) << v;
    }
    void migrazioni()
    {
        QFETCH(int, da);
        const QString file = cartella_.filePath(QStringLiteral("vecchio-%1.sqlite").arg(da));
        QString errore;
        interroga(file, {}, [&](QSqlDatabase &db) {
            QVERIFY2(Schema::migra(db, &errore, da), qPrintable(errore));
            if (da >= 1)
                QVERIFY(QSqlQuery(db).exec(QStringLiteral(
                    "INSERT INTO classi (id, nome, archiviata) VALUES (X'0123456789abcdef0123456789abcdef', "
                    "'3ª C', 0)")));
        });
        QCOMPARE(interroga(file, QStringLiteral("SELECT versione FROM quorvel_versione")).toInt(), da);
        const auto registro = Registro::apri(file);
        const QStringList attese = da >= 1 ? QStringList{QStringLiteral("3ª C")} : QStringList{};
        QStringList nomi;
        for (const Classe &c : registro->classi())
            nomi << c.nome;
        QCOMPARE(nomi, attese);
        QVERIFY(registro->creaClasse(QStringLiteral("4ª D")));
        QCOMPARE(interroga(file, QStringLiteral("SELECT versione FROM quorvel_versione")).toInt(), Schema::versione());
        QCOMPARE(interroga(file, QStringLiteral("SELECT COUNT(*) FROM sqlite_schema WHERE name = 'risultati_alunno'"))
                     .toInt(),
                 1);
    }

    void piuNuovoNonToccato()
    {
        const QString file = cartella_.filePath("nuovo.sqlite");
        {
            const auto registro = Registro::apri(file);
            QVERIFY(registro->creaClasse(QStringLiteral("5ª E")));
        }
        interroga(file, QStringLiteral("UPDATE quorvel_versione SET versione = versione + 1"));
        // Back to the plain journal, so that nothing but the file itself could hold a write.
        interroga(file, QStringLiteral("PRAGMA journal_mode = DELETE"));
        const QByteArray prima = impronta(file);
        const QDateTime quando = QFileInfo(file).lastModified();

        const auto registro = Registro::apri(file);
        QVERIFY(registro->classi().isEmpty());
        QVERIFY2(registro->errore().contains(QStringLiteral("più nuova")), qPrintable(registro->errore()));
        QVERIFY(!registro->creaClasse(QStringLiteral("altra")));
        QVERIFY(registro->errore().contains(QStringLiteral("più nuova")));
        QCOMPARE(impronta(file), prima);
        QCOMPARE(QFileInfo(file).lastModified(), quando);
        QVERIFY(!QFileInfo::exists(file + QStringLiteral("-wal")));
    }

    void attesaNellaPostaInUscita()
    {
        // Results for a register that is not there: kept in the outbox (0600), written once it is back.
        const QString vero = cartella_.filePath("vero.sqlite");
        const QString file = cartella_.filePath("lab/registro.sqlite");
        QList<Alunno> alunni{{{}, {}, QStringLiteral("Marco"), {}}};
        {
            const auto primo = Registro::apri(vero);
            const auto classe = primo->creaClasse(QStringLiteral("1ª A"));
            QVERIFY(classe && primo->aggiungiAlunni(classe->id, alunni));
        }
        QVERIFY(QDir().mkpath(cartella_.filePath("lab")));
        {
            const auto registro = Registro::apri(file);
            const QString sessione = Registro::nuovoId();
            for (int i = 0; i < 3; ++i)
                registro->registra(risultato(alunni[0], sessione, i, true));
            QVERIFY(!registro->svuota(1500));
            QCOMPARE(registro->inAttesa(), 3);
        }
        const QString uscita = cartella_.filePath("lab/registro-uscita.sqlite");
        QCOMPARE(modo(uscita), 0600);
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(QFile::copy(vero, file));
        const auto registro = Registro::apri(file);
        QVERIFY(registro->svuota(10000));
        QCOMPARE(interroga(file, QStringLiteral("SELECT COUNT(*) FROM risultati")).toInt(), 3);
        QCOMPARE(interroga(uscita, QStringLiteral("SELECT COUNT(*) FROM uscita")).toInt(), 0);
    }

    // Stored at VERIFICA as "offerto"; SI or NO give it its outcome later, once, and change nothing else.
    void esitoDellAiuto()
    {
        const QString file = cartella_.filePath("esito.sqlite");
        const auto registro = Registro::apri(file);
        const auto classe = registro->creaClasse(QStringLiteral("1ª A"));
        QList<Alunno> alunni{{{}, {}, QStringLiteral("Zoë"), {}}};
        QVERIFY(classe && registro->aggiungiAlunni(classe->id, alunni));
        Risultato r = risultato(alunni[0], Registro::nuovoId(), 7, false);
        r.aiuto = Risultato::Aiuto::Offerto;
        const QString riga = QStringLiteral("SELECT aiuto || ',' || intervento || ',' || risposta FROM risultati");
        registro->registra(r);
        QVERIFY(registro->svuota(10000));
        QCOMPARE(interroga(file, riga).toString(), QStringLiteral("1,0,3"));
        Risultato accettato = r;
        accettato.aiuto = Risultato::Aiuto::Accettato;
        accettato.risposta = 9;
        Risultato rifiutato = r;
        rifiutato.aiuto = Risultato::Aiuto::Rifiutato;
        rifiutato.intervento = true;
        registro->registra(accettato);
        registro->registra(rifiutato);
        QVERIFY(registro->svuota(10000));
        QCOMPARE(interroga(file, riga).toString(), QStringLiteral("2,0,3"));
        QCOMPARE(interroga(file, QStringLiteral("SELECT COUNT(*) FROM risultati")).toInt(), 1);
    }

    // A write refused inside its transaction (a full disk, a broken file): the batch waits in the
    // outbox, the connection is made anew, and nothing reads what was freed (the sanitizer's run).
    void scritturaRifiutata()
    {
        const QString file = cartella_.filePath("guasto.sqlite");
        QList<Alunno> alunni{{{}, {}, QStringLiteral("Marco"), {}}};
        {
            const auto registro = Registro::apri(file);
            const auto classe = registro->creaClasse(QStringLiteral("1ª A"));
            QVERIFY(classe && registro->aggiungiAlunni(classe->id, alunni));
        }
        interroga(file, QStringLiteral("CREATE TRIGGER guasto BEFORE INSERT ON risultati WHEN NEW.secondi >= 900"
                                       " BEGIN SELECT RAISE(ABORT, 'disco pieno'); END"));
        const QString sessione = Registro::nuovoId();
        {
            const auto registro = Registro::apri(file);
            QVERIFY(!registro->classi().isEmpty());
            for (int i = 0; i < 6; ++i)
                registro->registra(risultato(alunni[0], sessione, 900 + i, true));
            QVERIFY(!registro->svuota(1500));
            QCOMPARE(registro->inAttesa(), 6);
        }
        QCOMPARE(interroga(cartella_.filePath("guasto-uscita.sqlite"), QStringLiteral("SELECT COUNT(*) FROM uscita"))
                     .toInt(),
                 6);
        interroga(file, QStringLiteral("DROP TRIGGER guasto"));
        const auto registro = Registro::apri(file);
        QVERIFY(registro->svuota(10000));
        QCOMPARE(interroga(file, QStringLiteral("SELECT COUNT(*) FROM risultati")).toInt(), 6);
    }

    // Results waiting for registro.sqlite are not taken by a copy of it (same register, another
    // file) opened for an export; a pupil erased, or a period, stays erased for results arriving late.
    void copieECancellazioni()
    {
        const QString file = cartella_.filePath("classe/registro.sqlite");
        const QString copia = cartella_.filePath("classe/registro.bak");
        const QString uscita = cartella_.filePath("classe/registro-uscita.sqlite");
        QList<Alunno> alunni{{{}, {}, QStringLiteral("Marco"), {}}, {{}, {}, QStringLiteral("Giulia"), {}}};
        {
            const auto registro = Registro::apri(file);
            const auto classe = registro->creaClasse(QStringLiteral("1ª A"));
            QVERIFY(classe && registro->aggiungiAlunni(classe->id, alunni));
        }
        QVERIFY(QFile::copy(file, copia));
        const QString sessione = Registro::nuovoId();
        const auto inAttesa = [&](int secondi, const Alunno &a) {
            Risultato r = risultato(a, sessione, secondi, true);
            r.macchina = QStringLiteral("aula-1");
            return r;
        };
        QVERIFY(PostaUscita(uscita).metti({inAttesa(1, alunni[0]), inAttesa(2, alunni[1])}));
        {
            const auto vecchio = Registro::apri(copia);
            QCOMPARE(vecchio->classi().size(), 1);
            vecchio->svuota(1000);
        }
        QCOMPARE(interroga(copia, QStringLiteral("SELECT COUNT(*) FROM risultati")).toInt(), 0);
        QCOMPARE(interroga(uscita, QStringLiteral("SELECT COUNT(*) FROM uscita")).toInt(), 2);

        const auto registro = Registro::apri(file);
        QVERIFY(registro->svuota(10000));
        QCOMPARE(interroga(file, QStringLiteral("SELECT COUNT(*) FROM risultati")).toInt(), 2);
        // Marco's result still waiting for another register on this PC goes with him.
        Risultato altrove = inAttesa(3, alunni[0]);
        altrove.registro = Registro::nuovoId();
        QVERIFY(PostaUscita(uscita).metti({altrove}));
        QCOMPARE(registro->cancellaAlunno(alunni[0].id), std::optional<int>(1));
        QCOMPARE(interroga(uscita, QStringLiteral("SELECT COUNT(*) FROM uscita")).toInt(), 0);

        const QDate oggi = QDate::currentDate();
        QCOMPARE(registro->cancellaRisultatiPrimaDel(oggi.addDays(-30)), std::optional<int>(0));
        Risultato tardi = risultato(alunni[1], sessione, 4, true);
        tardi.quando = QDateTime::currentDateTimeUtc().addDays(-40);
        registro->registra(tardi);
        registro->registra(risultato(alunni[1], sessione, 5, true));
        QVERIFY(registro->svuota(10000));
        QCOMPARE(interroga(file, QStringLiteral("SELECT group_concat(secondi) FROM risultati")).toString(),
                 QStringLiteral("2,5"));
    }

    // The database itself refuses a second "Marco" in any case, whoever writes; a file where a
    // race let one in still opens.
    void nomiUnici()
    {
        const QString file = cartella_.filePath("nomi.sqlite");
        const QString classe = QStringLiteral("X'0123456789abcdef0123456789abcd01'");
        QString errore;
        interroga(file, {}, [&](QSqlDatabase &db) {
            QVERIFY2(Schema::migra(db, &errore, 3), qPrintable(errore));
            QSqlQuery q(db);
            QVERIFY(
                q.exec(QStringLiteral("INSERT INTO classi (id, nome, archiviata) VALUES (%1, '1ª A', 0)").arg(classe)));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO alunni (id, classe, nome, figura, colore) VALUES"
                                          " (X'02', %1, 'Zoë', 1, 0), (X'03', %1, 'ZOË', 2, 0)")
                               .arg(classe)));
        });
        const auto registro = Registro::apri(file);
        QCOMPARE(registro->classi().size(), 1);
        QCOMPARE(registro->alunni(registro->classi().first().id).size(), 2);
        QVERIFY(!interroga(file, QStringLiteral("INSERT INTO alunni (id, classe, nome, figura, colore, chiave)"
                                                " VALUES (X'04', %1, 'Luca', 3, 0, 'zoë') RETURNING 1")
                                     .arg(classe))
                     .isValid());
        QVERIFY(!interroga(file, QStringLiteral("INSERT INTO classi (id, nome, archiviata, chiave)"
                                                " VALUES (X'05', '1ª a', 0, '1ª a') RETURNING 1"))
                     .isValid());
        QVERIFY(!registro->creaClasse(QStringLiteral("1ª a")));
        QCOMPARE(registro->errore(), QStringLiteral("la classe «1ª a» c'è già."));
    }

private:
    QTemporaryDir cartella_;
};

QTEST_GUILESS_MAIN(TestRegistroArchivio)
#include "test_registro_archivio.moc"
