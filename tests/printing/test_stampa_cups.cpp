#include "printing/StampanteCorrente.h"
#include "printing/frmStampante.h"
#include "support/AmbienteTest.h"
#include "ui/Etichetta.h"
#include "ui/Pulsante.h"
#include "worksheets/frmSchedeClasse.h"
#include "worksheets/frmStampaSchede2.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString messaggioErrore = QStringLiteral("Problema di stampa nella stampante utilizzata.");
constexpr int dpi = 200;

QString esegui(const QString &programma, const QStringList &argomenti)
{
    QProcess p;
    p.start(programma, argomenti);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int lavori() { return static_cast<int>(esegui("lpstat", {"-W", "all", "-o"}).count('\n')); }
int lavoriCompletati() { return static_cast<int>(esegui("lpstat", {"-W", "completed", "-o"}).count('\n')); }

// Rows (or columns) of the page crossed by a dark run longer than `lunghezza`
// pixels: the sheet's box lines, which nothing else on the page comes near.
QList<int> lineeLunghe(const QImage &pagina, bool orizzontali, int lunghezza)
{
    QList<int> linee;
    const int righe = orizzontali ? pagina.height() : pagina.width();
    const int lungo = orizzontali ? pagina.width() : pagina.height();
    for (int i = 0; i < righe; ++i) {
        int corsa = 0, massima = 0;
        for (int j = 0; j < lungo; ++j) {
            const QRgb c = orizzontali ? pagina.pixel(j, i) : pagina.pixel(i, j);
            corsa = qGray(c) < 128 ? corsa + 1 : 0;
            massima = qMax(massima, corsa);
        }
        if (massima > lunghezza)
            linee << i;
    }
    return linee;
}

struct Misura {
    QSizeF pagina;   // twips
    QRectF riquadri; // from the first box's top-left line to the last box's bottom-right one, twips
};

} // namespace

// Prints on a print server of its own (scripts/cups-test.sh), started in a
// temporary folder and stopped at the end.
class TestStampaCups : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const char *programma : {"lpadmin", "lpstat", "cupsreject", "ps2pdf", "pdftoppm"})
            if (QStandardPaths::findExecutable(programma).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(programma)));
        if (!QFileInfo::exists("/usr/sbin/cupsd"))
            QSKIP("cupsd is not installed");
        QVERIFY(!AmbienteTest::casaTemporanea().isEmpty());
        QVERIFY(cartella_.isValid());
        // Run as root, the server's filters work as the user lp, who must reach the server's folder.
        QFile::setPermissions(cartella_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                    QFile::ExeGroup | QFile::ExeOther);
        server_ = cartella_.filePath("cups");
        // Before anything asks the print service: every client in this process talks to this server.
        qputenv("CUPS_SERVER", (server_ + "/cups.sock").toUtf8());
        qputenv("CUPS_SERVERROOT", (server_ + "/client").toUtf8());
        QVERIFY2(avviaServer(), "the test print server did not start");
    }

    void cleanupTestCase() { fermaServer(); }

    void init()
    {
        AmbienteTest::registraMessaggi();
        StampanteCorrente::istanza().ripristina();
    }
    void cleanup() { AmbienteTest::chiudiTutto(); }

    // The sheet's top-left box line at the printable corner, every twip as drawn.
    void laSchedaParteDallAngoloStampabile_data()
    {
        QTest::addColumn<QString>("coda");
        QTest::addColumn<int>("margine");
        QTest::newRow("senza margini") << "PDF_Prova" << 0;
        QTest::newRow("18 pt") << "Margini_18" << 360;
    }
    void laSchedaParteDallAngoloStampabile()
    {
        QFETCH(QString, coda);
        QFETCH(int, margine);
        const std::optional<Misura> m = stampaEMisura(coda);
        QVERIFY(m);
        qInfo("%s: page %.0fx%.0f twips, boxes from (%.0f, %.0f) to (%.0f, %.0f)", qPrintable(coda), m->pagina.width(),
              m->pagina.height(), m->riquadri.left(), m->riquadri.top(), m->riquadri.right(), m->riquadri.bottom());
        QVERIFY(qAbs(m->pagina.width() - 11906) < 30 && qAbs(m->pagina.height() - 16838) < 30);
        QVERIFY(qAbs(m->riquadri.left() - (margine + 500)) <= 20);
        QVERIFY(qAbs(m->riquadri.top() - (margine + 2000)) <= 20);
        QVERIFY(qAbs(m->riquadri.right() - (margine + 11000)) <= 20);
        QVERIFY(qAbs(m->riquadri.bottom() - (margine + 15600)) <= 20);
    }

    // Letter with 18 pt margins is too short for the sheet: all of it, smaller, the same in both directions.
    void suLetteraLaSchedaRimpicciolisceIntera()
    {
        const std::optional<Misura> m = stampaEMisura("Lettera");
        QVERIFY(m);
        const QRectF &r = m->riquadri;
        qInfo("Lettera: page %.0fx%.0f twips, boxes from (%.0f, %.0f) to (%.0f, %.0f)", m->pagina.width(),
              m->pagina.height(), r.left(), r.top(), r.right(), r.bottom());
        QVERIFY(qAbs(m->pagina.width() - 12240) < 30 && qAbs(m->pagina.height() - 15840) < 30);
        QVERIFY(r.bottom() <= 15840 - 360 + 20);
        const double orizzontale = r.width() / 10500, verticale = r.height() / 13600;
        QVERIFY2(orizzontale < 0.99 && qAbs(orizzontale - verticale) < 0.005,
                 qPrintable(QStringLiteral("%1 %2").arg(orizzontale).arg(verticale)));
        QVERIFY(qAbs(r.left() - (360 + 500 * verticale)) <= 20 && qAbs(r.top() - (360 + 2000 * verticale)) <= 20);
    }

    // The queue chosen in the printer window, and an instance, get the sheet; no other queue does.
    void laCodaScelta_data()
    {
        QTest::addColumn<QString>("coda");
        QTest::addColumn<QString>("file");
        QTest::newRow("istanza") << "PDF_Prova/bozza"
                                 << "PDF_Prova.ps";
        QTest::newRow("accenti") << "Aula-3_Stampante.è"
                                 << "Aula-3_Stampante___.ps";
    }
    void laCodaScelta()
    {
        QFETCH(QString, coda);
        QFETCH(QString, file);
        frmStampante &f = frmStampante::istanza();
        f.mostraModale();
        const int indice = f.Combo1()->findText(coda);
        QVERIFY(indice >= 0);
        f.Combo1()->setCurrentIndex(indice == 0 ? 1 : 0);
        f.Combo1()->setCurrentIndex(indice);
        QCOMPARE(f.Label2()->text(), "La stampante scelta è \n" + coda);
        QTest::mouseClick(f.Command2(), Qt::LeftButton);
        QDir uscite(server_ + "/out");
        for (const QString &vecchio : uscite.entryList(QDir::Files))
            QVERIFY(uscite.remove(vecchio));
        QVERIFY(stampaERiesce());
        QCOMPARE(uscite.entryList(QDir::Files), QStringList{file});
        QVERIFY(QFileInfo(uscite.filePath(file)).size() > 0);
    }

    // Every way a job can fail to reach paper: one message, no job anywhere,
    // and the next sheet prints.
    void ogniFallimentoUnMessaggioENessunLavoro_data()
    {
        QTest::addColumn<QString>("coda");
        QTest::addColumn<QStringList>("guasta");
        QTest::addColumn<QStringList>("ripara");
        QTest::newRow("rifiuta") << "Margini_18" << QStringList{"cupsreject", "Margini_18"}
                                 << QStringList{"cupsaccept", "Margini_18"};
        QTest::newRow("ferma") << "Margini_18" << QStringList{"cupsdisable", "Margini_18"}
                               << QStringList{"cupsenable", "Margini_18"};
        QTest::newRow("istanza di una coda che rifiuta")
            << "PDF_Prova/bozza" << QStringList{"cupsreject", "PDF_Prova"} << QStringList{"cupsaccept", "PDF_Prova"};
        // libcups cannot address it (the server wants the name escaped in the request), lp neither.
        QTest::newRow("markup") << "<b>Grassetto<b>" << QStringList{} << QStringList{};
        QTest::newRow("tolta") << "Temporanea" << QStringList{"lpadmin", "-x", "Temporanea"} << QStringList{};
        QTest::newRow("server fermo") << "PDF_Prova" << QStringList{"server"} << QStringList{"server"};
    }
    void ogniFallimentoUnMessaggioENessunLavoro()
    {
        QFETCH(QString, coda);
        QFETCH(QStringList, guasta);
        QFETCH(QStringList, ripara);
        if (coda == "Temporanea")
            QCOMPARE(QProcess::execute("lpadmin", {"-p", coda, "-v", "file:///dev/null", "-E"}), 0);
        QVERIFY(StampanteCorrente::installate().contains(coda));
        StampanteCorrente::istanza().impostaStampante(coda);
        const int prima = lavori();
        azione(guasta);
        QVERIFY(!stampaERiesce());
        QCOMPARE(AmbienteTest::messaggi(), QStringList{messaggioErrore});
        azione(ripara);
        QCOMPARE(lavori(), prima);

        AmbienteTest::registraMessaggi();
        StampanteCorrente::istanza().impostaStampante("PDF_Prova");
        QVERIFY(stampaERiesce());
        QCOMPARE(lavori(), prima + 1);
    }

    // A class set from its window: one job holding every sheet and then the keys.
    void unaSerieDiSchedeUnSoloLavoro()
    {
        StampanteCorrente::istanza().impostaStampante("PDF_Prova");
        const QString ps = server_ + "/out/PDF_Prova.ps", pdf = cartella_.filePath("serie.pdf");
        QFile::remove(ps);
        frmStampaSchede2::istanza().mnuSchedeClasse()->trigger();
        frmSchedeClasse *d = frmSchedeClasse::seCaricata();
        QVERIFY(d && d->optStampante()->isChecked());
        d->txtCopie()->setValue(6);
        d->chkSoluzioni()->setChecked(true);
        const int tutti = lavori(), completati = lavoriCompletati();
        d->cmdStampa_Click();
        QVERIFY2(AmbienteTest::messaggi().isEmpty(), qPrintable(AmbienteTest::messaggi().join('|')));
        QElapsedTimer attesa;
        attesa.start();
        while (lavoriCompletati() == completati && attesa.elapsed() < 30000)
            QTest::qWait(100);
        QCOMPARE(lavori(), tutti + 1);
        esegui("ps2pdf", {ps, pdf});
        QVERIFY(esegui("pdfinfo", {pdf}).contains(QRegularExpression("Pages: +7\n")));
    }

private:
    bool avviaServer()
    {
        QFile::remove(server_ + "/pronto");
        processo_.start(qEnvironmentVariable("QUORVEL_CUPS_TEST"), {server_});
        QElapsedTimer attesa;
        attesa.start();
        while (!QFileInfo::exists(server_ + "/pronto") && processo_.state() != QProcess::NotRunning &&
               attesa.elapsed() < 30000)
            QTest::qWait(50);
        return QFileInfo::exists(server_ + "/pronto");
    }

    void fermaServer()
    {
        if (processo_.state() == QProcess::NotRunning)
            return;
        processo_.terminate();
        if (!processo_.waitForFinished(10000))
            processo_.kill();
        processo_.waitForFinished(5000);
    }

    void azione(const QStringList &comando)
    {
        if (comando == QStringList{"server"}) {
            if (processo_.state() == QProcess::NotRunning)
                QVERIFY(avviaServer());
            else
                fermaServer();
        } else if (!comando.isEmpty())
            QCOMPARE(QProcess::execute(comando.first(), comando.mid(1)), 0);
    }

    // Prints a kind-2 sheet on the current printer; true when no message came.
    static bool stampaERiesce()
    {
        frmStampaSchede2 &scheda = frmStampaSchede2::istanza();
        for (int e = 2; e <= 4; ++e)
            scheda.VisualizzaEsercizio(e);
        const int completati = lavoriCompletati();
        scheda.Command1_Click();
        if (!AmbienteTest::messaggi().isEmpty())
            return false;
        QElapsedTimer attesa;
        attesa.start();
        while (lavoriCompletati() == completati && attesa.elapsed() < 30000)
            QTest::qWait(100);
        return lavoriCompletati() == completati + 1;
    }

    // Prints on the queue and measures the box lines on the page that came out.
    std::optional<Misura> stampaEMisura(const QString &coda)
    {
        StampanteCorrente::istanza().impostaStampante(coda);
        const QString ps = server_ + "/out/" + coda + ".ps";
        QFile::remove(ps);
        if (!stampaERiesce())
            return std::nullopt;
        const QString pdf = cartella_.filePath("misura.pdf"), png = cartella_.filePath("misura");
        esegui("ps2pdf", {ps, pdf});
        esegui("pdftoppm", {"-r", QString::number(dpi), "-gray", "-singlefile", pdf, png});
        const QImage pagina(png + ".pgm");
        if (pagina.isNull())
            return std::nullopt;
        const int lunghe = dpi * 2; // two inches: box sides only
        const QList<int> righe = lineeLunghe(pagina, true, lunghe), colonne = lineeLunghe(pagina, false, lunghe);
        if (righe.isEmpty() || colonne.isEmpty())
            return std::nullopt;
        // A line a few pixels thick: its middle.
        auto mezzo = [](const QList<int> &l, bool primo) {
            int a = primo ? l.first() : l.last(), b = a;
            while (l.contains(primo ? b + 1 : b - 1))
                b += primo ? 1 : -1;
            return (a + b) / 2.0 + 0.5;
        };
        const double twips = 1440.0 / dpi;
        Misura m;
        m.pagina = QSizeF(pagina.width(), pagina.height()) * twips;
        m.riquadri = QRectF(QPointF(mezzo(colonne, true), mezzo(righe, true)) * twips,
                            QPointF(mezzo(colonne, false), mezzo(righe, false)) * twips);
        return m;
    }

    QTemporaryDir cartella_;
    QString server_;
    QProcess processo_;
};

QTEST_MAIN(TestStampaCups)
#include "test_stampa_cups.moc"
