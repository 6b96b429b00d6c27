// Several programs on one register file: two writers at once lose nothing, and
// a writer killed in the middle of a stream leaves a file that opens, every row whole.
#include "registro/Registro.h"
#include "support/InterrogaSqlite.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// The writer's side: `quanti` results of `alunno`, each its own transaction, with fields
// tied to each other so that a torn row would show.
int scrivi(const QString &file, const QString &alunno, int quanti)
{
    const auto registro = Registro::apri(file);
    const QString sessione = Registro::nuovoId();
    for (int i = 0; i < quanti; ++i) {
        Risultato r;
        r.id = Registro::nuovoId();
        r.alunno = alunno;
        r.sessione = sessione;
        r.quando = QDateTime::currentDateTimeUtc();
        r.tipo = i % 3;
        r.n = i % 10;
        r.figura = 1 + i % 12;
        r.risposta = r.n + 1;
        r.esatto = i % 2 == 0;
        r.secondi = r.n * 7;
        registro->registra(r);
        if (!registro->svuota(30000))
            return 3;
        if (i == 10) {
            std::puts("via");
            std::fflush(stdout);
        }
    }
    // The outbox is the PC's, shared with the other writer: what waits in it is counted by the parent.
    return registro->svuota(30000) ? 0 : 4;
}

} // namespace

class TestRegistroConcorrenza : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(cartella_.isValid());
        file_ = cartella_.filePath("registro.sqlite");
        const auto registro = Registro::apri(file_);
        alunni_ = {{{}, {}, QStringLiteral("Marco"), {}}, {{}, {}, QStringLiteral("Giulia"), {}}};
        QVERIFY(registro->importaAlunni(QStringLiteral("2ª B"), alunni_));
    }

    void dueScrittoriInsieme()
    {
        QProcess uno, due;
        uno.start(QCoreApplication::applicationFilePath(), {"--scrivi", file_, alunni_[0].id, "2000"});
        due.start(QCoreApplication::applicationFilePath(), {"--scrivi", file_, alunni_[1].id, "2000"});
        QVERIFY(uno.waitForFinished(180000));
        QVERIFY(due.waitForFinished(180000));
        QCOMPARE(uno.exitCode(), 0);
        QCOMPARE(due.exitCode(), 0);
        QVERIFY2(uno.readAllStandardError().isEmpty() && due.readAllStandardError().isEmpty(),
                 "a writer met a locked database");
        QCOMPARE(interroga(file_, QStringLiteral("SELECT COUNT(*) FROM risultati")).toInt(), 4000);
        QCOMPARE(interroga(file_, QStringLiteral("SELECT COUNT(DISTINCT alunno) FROM risultati")).toInt(), 2);
        QCOMPARE(interroga(cartella_.filePath("registro-uscita.sqlite"), QStringLiteral("SELECT COUNT(*) FROM uscita"))
                     .toInt(),
                 0);
    }

    void scrittoreUcciso()
    {
        const int prima = interroga(file_, QStringLiteral("SELECT COUNT(*) FROM risultati")).toInt();
        QProcess scrittore;
        scrittore.start(QCoreApplication::applicationFilePath(), {"--scrivi", file_, alunni_[0].id, "1000000"});
        QVERIFY(scrittore.waitForReadyRead(30000));
        QTest::qWait(300);
        QCOMPARE(scrittore.state(), QProcess::Running);
        scrittore.kill(); // SIGKILL, by its pid
        QVERIFY(scrittore.waitForFinished(10000));
        QCOMPARE(scrittore.exitStatus(), QProcess::CrashExit);

        QCOMPARE(interroga(file_, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        const int dopo = interroga(file_, QStringLiteral("SELECT COUNT(*) FROM risultati")).toInt();
        QVERIFY(dopo > prima + 10);
        QCOMPARE(interroga(file_, QStringLiteral("SELECT COUNT(*) FROM risultati WHERE risposta <> n + 1 OR "
                                                 "secondi <> n * 7 OR figura < 1 OR length(id) <> 16 OR "
                                                 "sessione NOT IN (SELECT id FROM sessioni)"))
                     .toInt(),
                 0);
        // The register is whole and takes new results, and those the killed writer had handed over.
        const QString uscita = cartella_.filePath("registro-uscita.sqlite");
        // (One stored but not yet taken out when the writer died is in both, and stored once.)
        const int restanti =
            interroga(file_, QStringLiteral("SELECT COUNT(*) FROM u.uscita WHERE id NOT IN (SELECT id FROM risultati)"),
                      [&](QSqlDatabase &db) {
                          QSqlQuery q(db);
                          q.prepare(QStringLiteral("ATTACH DATABASE ? AS u"));
                          q.addBindValue(uscita);
                          q.exec();
                      })
                .toInt();
        QProcess dopoUcciso;
        dopoUcciso.start(QCoreApplication::applicationFilePath(), {"--scrivi", file_, alunni_[1].id, "20"});
        QVERIFY(dopoUcciso.waitForFinished(60000));
        QCOMPARE(dopoUcciso.exitCode(), 0);
        QCOMPARE(interroga(file_, QStringLiteral("SELECT COUNT(*) FROM risultati")).toInt(), dopo + restanti + 20);
        QCOMPARE(interroga(uscita, QStringLiteral("SELECT COUNT(*) FROM uscita")).toInt(), 0);
    }

private:
    QTemporaryDir cartella_;
    QString file_;
    QList<Alunno> alunni_;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--scrivi") == 0)
        return scrivi(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), QByteArray(argv[4]).toInt());
    TestRegistroConcorrenza test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_registro_concorrenza.moc"
