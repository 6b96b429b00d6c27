#include "support/PaginaPdf.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Esito {
    int codice = -1;
    QStringList righeErrore;
    QString uscita;
};

// The program as a teacher runs it from a terminal: no display of any kind.
Esito quorvel(const QStringList &argomenti)
{
    QProcess p;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    for (const char *variabile : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        ambiente.remove(QString::fromLatin1(variabile));
    p.setProcessEnvironment(ambiente);
    p.start(qEnvironmentVariable("QUORVEL_BINARY"), argomenti);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    const QString errori = QString::fromUtf8(p.readAllStandardError()).trimmed();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            errori.isEmpty() ? QStringList() : errori.split('\n'), QString::fromUtf8(p.readAllStandardOutput())};
}

QByteArray impronta(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : "";
}

// Everything a reader sees on the pages: the keys list every exercise of every sheet.
QString testo(const QString &pdf) { return PaginaPdf::esegui("pdftotext", {"-layout", pdf, "-"}); }

} // namespace

class TestRigaComandoSchede : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!PaginaPdf::disponibile())
            QSKIP("poppler-utils are not installed");
    }

    void scriveLaSerieLoStessoSemeDaLeStesseSchedeENonSovrascriveMai()
    {
        QTemporaryDir cartella;
        const QString a = cartella.filePath("a.pdf"), b = cartella.filePath("b.pdf"), c = cartella.filePath("c.pdf");
        const QStringList comune = {"--schede", "2", "--copie", "21", "--soluzioni"};
        const Esito primo = quorvel(comune + QStringList{"--pdf", a, "--seme", "7"});
        QCOMPARE(primo.codice, 0);
        // One line for every ten sheets.
        QCOMPARE(primo.righeErrore.size(), 2);
        QVERIFY(primo.righeErrore[0].contains("10") && primo.righeErrore[1].contains("20"));
        QCOMPARE(PaginaPdf::pagine(a), 21 + 1);
        QCOMPARE(quorvel(comune + QStringList{"--seme", "7", "--pdf", b}).codice, 0);
        QCOMPARE(quorvel(comune + QStringList{"--seme", "8", "--pdf", c}).codice, 0);
        QVERIFY(!testo(a).isEmpty());
        QCOMPARE(testo(b), testo(a));
        QVERIFY(testo(c) != testo(a));
        const QImage paginaA = PaginaPdf::Resa(a, 5, {}).immagine(), paginaB = PaginaPdf::Resa(b, 5, {}).immagine();
        QVERIFY(!paginaA.isNull());
        QCOMPARE(paginaB, paginaA);

        const QByteArray prima = impronta(a);
        const Esito ancora = quorvel(comune + QStringList{"--seme", "9", "--pdf", a});
        QCOMPARE(ancora.codice, 2);
        QCOMPARE(ancora.righeErrore.size(), 1);
        QCOMPARE(impronta(a), prima);
    }

    void alLivelloScelto()
    {
        QTemporaryDir cartella;
        const QString pdf = cartella.filePath("livello.pdf");
        const Esito esito = quorvel({"--schede", "1", "--copie", "10", "--livello", "1", "--soluzioni", "--pdf", pdf});
        QCOMPARE(esito.codice, 0);
        // Every key of the ten sheets: N of 2 or 3 at level 1.
        static const QRegularExpression voce(QStringLiteral("(\\d+)\\s*→\\s*(\\d+)"));
        int voci = 0;
        for (auto it = voce.globalMatch(testo(pdf)); it.hasNext(); ++voci) {
            const auto m = it.next();
            const int n = m.captured(1).toInt();
            QVERIFY2(n >= 2 && n <= 3, qPrintable(m.captured(0)));
            QCOMPARE(m.captured(2).toInt(), n - 1);
        }
        QCOMPARE(voci, 10 * 4);
    }

    void lAiutoElencaLeOpzioniDelleSchede()
    {
        const Esito aiuto = quorvel({"--help"});
        QCOMPARE(aiuto.codice, 0);
        for (const char *opzione :
             {"--schede <1|2|3>", "--copie <K>", "--pdf <FILE>", "--soluzioni", "--seme <S>", "--livello <1..6>"})
            QVERIFY2(aiuto.uscita.contains(QLatin1String(opzione)), qPrintable(aiuto.uscita));
    }

    void argomentiSbagliati_data()
    {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<QString>("parola");
        QTest::newRow("tipo 4") << QStringList{"--schede", "4", "--copie", "3", "--pdf", "@"} << "tipo";
        QTest::newRow("tipo non numero") << QStringList{"--schede", "due", "--copie", "3", "--pdf", "@"} << "tipo";
        QTest::newRow("0 copie") << QStringList{"--schede", "1", "--copie", "0", "--pdf", "@"} << "copie";
        QTest::newRow("41 copie") << QStringList{"--schede", "1", "--copie", "41", "--pdf", "@"} << "copie";
        QTest::newRow("senza file") << QStringList{"--schede", "1", "--copie", "3"} << "--pdf";
        QTest::newRow("seme negativo") << QStringList{"--schede", "1", "--copie", "3", "--pdf", "@", "--seme", "-1"}
                                       << "seme";
        QTest::newRow("livello 7") << QStringList{"--schede", "1", "--copie", "3", "--pdf", "@", "--livello", "7"}
                                   << "livello";
        // Level 1 has no sheets that take elements away: a set of another level would not be what was asked.
        QTest::newRow("livello senza il tipo")
            << QStringList{"--schede", "3", "--copie", "3", "--pdf", "@", "--livello", "1"} << "livelli da 2 a 6";
        QTest::newRow("cartella che non c'è")
            << QStringList{"--schede", "1", "--copie", "3", "--pdf", "@/no/x.pdf"} << "cartella";
    }

    void argomentiSbagliati()
    {
        QFETCH(QStringList, argomenti);
        QFETCH(QString, parola);
        QTemporaryDir cartella;
        const QString file = cartella.filePath("schede.pdf");
        for (QString &a : argomenti)
            a.replace("@", file);
        const Esito esito = quorvel(argomenti);
        QCOMPARE(esito.codice, 2);
        QCOMPARE(esito.righeErrore.size(), 1);
        const QString frase = esito.righeErrore[0];
        QVERIFY2(frase.startsWith("quorvel: ") && frase.endsWith('.') && frase.contains(parola), qPrintable(frase));
        QVERIFY(!QFile::exists(file));
    }
};

QTEST_MAIN(TestRigaComandoSchede)
#include "test_riga_comando_schede.moc"
