#include "insegnante/AccessoInsegnante.h"
#include "insegnante/ComandiInsegnante.h"
#include "insegnante/Conservazione.h"
#include "insegnante/EsportaCsv.h"
#include "insegnante/FrmAndamento.h"
#include "insegnante/FrmClassi.h"
#include "insegnante/FrmRegistro.h"
#include "insegnante/GraficoAndamento.h"
#include "insegnante/Informativa.h"
#include "insegnante/PasswordInsegnante.h"
#include "insegnante/RapportiRegistro.h"
#include "printing/FileRiservato.h"
#include "printing/StampanteCorrente.h"
#include "printing/SuperficieStampa.h"
#include "registro/Registro.h"
#include "registro/RegistroCorrente.h"
#include "support/AmbienteTest.h"
#include "support/PaginaPdf.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QDateTime utc(const char *iso) { return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate); }

Risultato risultato(const Alunno &a, const char *quando, int tipo, bool esatto, qint64 secondi,
                    Risultato::Aiuto aiuto = Risultato::Aiuto::NonOfferto, bool intervento = false)
{
    Risultato r;
    r.id = Registro::nuovoId();
    r.alunno = a.id;
    static QHash<QString, QString> sessioni;
    if (!sessioni.contains(a.id))
        sessioni.insert(a.id, Registro::nuovoId());
    r.sessione = sessioni.value(a.id);
    r.quando = utc(quando);
    r.macchina = QStringLiteral("pc1");
    r.tipo = tipo;
    r.n = 3;
    r.figura = 2;
    r.risposta = esatto ? 2 : 1;
    r.esatto = esatto;
    r.aiuto = aiuto;
    r.intervento = intervento;
    r.secondi = secondi;
    return r;
}

// The password file as stored: its hash, the wrong tries counted and the end of the wait.
QJsonObject statoPassword(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object() : QJsonObject();
}

// Another program trying wrong passwords on the same file: it starts on the line "via".
int tentativi(const QString &file, int quanti)
{
    char via[8];
    if (!std::fgets(via, sizeof via, stdin))
        return 3;
    PasswordInsegnante password(file);
    for (int i = 0; i < quanti; ++i)
        if (password.verifica(QStringLiteral("sbagliata-%1").arg(i)) != PasswordInsegnante::Esito::Sbagliata)
            return 4;
    return 0;
}

int conta(Registro &registro, const Registro::Filtro &filtro = {})
{
    int n = 0;
    registro.risultati(filtro, [&](const Registro::RigaRisultato &) { ++n; });
    return n;
}

} // namespace

class TestInsegnante : public QObject {
    Q_OBJECT

    QTemporaryDir cartella;
    std::unique_ptr<Registro> registro;
    FrmRegistro *finestra = nullptr;
    QList<Alunno> alunni;
    // A register of its own for a family's requests and the erasure of old school years.
    std::unique_ptr<Registro> famiglie;
    FrmRegistro *finestraFamiglie = nullptr;

    // The row of the model for a pupil's name.
    const Riepilogo::RigaAlunno &riga(const QString &nome)
    {
        for (const auto &r : finestra->modello().righe())
            if (r.alunno.nome == nome)
                return r;
        qFatal("no pupil %s", qPrintable(nome));
    }
    QString cella(const QString &nome, int colonna) { return ModelloClasse::testo(riga(nome), colonna); }

private slots:
    void initTestCase()
    {
        QVERIFY(cartella.isValid());
        // Files for the group or others' eyes would show as such.
        umask(022);
        AmbienteTest::registraMessaggi();
        registro = Registro::apri(cartella.filePath(QStringLiteral("registro.sqlite")));
        const auto classe = registro->creaClasse(QStringLiteral("2ª B"));
        QVERIFY(classe);
        alunni = {{{}, classe->id, QStringLiteral("Anna"), {}},
                  {{}, classe->id, QStringLiteral("Bruno"), {}},
                  {{}, classe->id, QStringLiteral("Carla"), {}}};
        QVERIFY2(registro->aggiungiAlunni(classe->id, alunni), qPrintable(registro->errore()));
        const Alunno &anna = alunni[0];
        const Alunno &bruno = alunni[1];
        // Wednesday 9 December 2026; Monday 7 begins at 23:00 UTC of Sunday 6 (CET).
        for (const Risultato &r : {
                 risultato(anna, "2026-12-09T09:00:00Z", 0, true, 4),
                 risultato(anna, "2026-12-08T09:00:00Z", 2, false, 10, Risultato::Aiuto::Accettato),
                 risultato(anna, "2026-12-06T23:30:00Z", 2, true, 6), // Monday 00:30 in Italy
                 risultato(anna, "2026-11-20T10:00:00Z", 1, false, 20, Risultato::Aiuto::Rifiutato, true),
                 risultato(bruno, "2026-12-06T22:59:00Z", 1, true, 7), // Sunday 23:59 in Italy
             })
            registro->registra(r);
        QVERIFY(registro->svuota(10000));
        finestra = new FrmRegistro(*registro);
        finestra->impostaOggi(QDate(2026, 12, 9));
        // The school year is read on a thread of its own; the figures are then counted in memory.
        QTRY_VERIFY(!finestra->inLettura());
    }

    void cleanupTestCase()
    {
        delete finestraFamiglie;
        famiglie.reset();
        delete finestra;
        registro.reset();
    }

    void password()
    {
        QDateTime adesso = utc("2026-12-09T08:00:00Z");
        const QString file = cartella.filePath(QStringLiteral("pw"));
        PasswordInsegnante p(file, [&] { return adesso; });
        QVERIFY(!p.impostata());
        QVERIFY(!p.imposta(QStringLiteral("corta")));
        QVERIFY(p.imposta(QStringLiteral("Segreta-2026")));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray contenuto = f.readAll();
        QVERIFY(!contenuto.contains("Segreta-2026"));
        QVERIFY(contenuto.contains("$argon2id$"));
        QCOMPARE(f.permissions(),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
        QCOMPARE(p.verifica(QStringLiteral("Segreta-2026")), PasswordInsegnante::Esito::Giusta);

        for (int i = 1; i <= 5; ++i) {
            QCOMPARE(p.verifica(QStringLiteral("sbagliata")), PasswordInsegnante::Esito::Sbagliata);
            QCOMPARE(p.attesa(), i < 5 ? 0 : 30);
        }
        // While waiting, not even the right password is tried; a restart keeps the wait.
        QCOMPARE(PasswordInsegnante(file, [&] { return adesso; }).verifica(QStringLiteral("Segreta-2026")),
                 PasswordInsegnante::Esito::Attendere);
        adesso = adesso.addSecs(31);
        QCOMPARE(p.verifica(QStringLiteral("ancora no")), PasswordInsegnante::Esito::Sbagliata);
        QCOMPARE(p.attesa(), 60);
        adesso = adesso.addSecs(61);
        QCOMPARE(p.verifica(QStringLiteral("Segreta-2026")), PasswordInsegnante::Esito::Giusta);
        QCOMPARE(p.verifica(QStringLiteral("sbagliata")), PasswordInsegnante::Esito::Sbagliata);
        QCOMPARE(p.attesa(), 0);

        // The reset from the command line, reading the new password twice.
        const QString registroFile = cartella.filePath(QStringLiteral("pw-registro.sqlite"));
        auto reimposta = [&](const char *testo) {
            FILE *ingresso = fmemopen(const_cast<char *>(testo), std::strlen(testo), "r");
            const int esito = ComandiInsegnante::nuovaPassword(registroFile, ingresso);
            std::fclose(ingresso);
            return esito;
        };
        QCOMPARE(reimposta("Nuova-2027\nNuova-2028\n"), 2);
        QVERIFY(!QFile::exists(PasswordInsegnante::fileAccanto(registroFile)));
        QCOMPARE(reimposta("Nuova-2027\nNuova-2027\n"), 0);
        PasswordInsegnante nuova(PasswordInsegnante::fileAccanto(registroFile));
        QCOMPARE(nuova.verifica(QStringLiteral("Segreta-2026")), PasswordInsegnante::Esito::Sbagliata);
        QCOMPARE(nuova.verifica(QStringLiteral("Nuova-2027")), PasswordInsegnante::Esito::Giusta);
    }

    // The wait stops growing at 15 minutes; the right password clears the count; a wait hours long, left
    // by an older version's unbounded doubling, does not hold.
    void attesaMassima()
    {
        QDateTime adesso = utc("2026-12-09T08:00:00Z");
        const QString file = cartella.filePath(QStringLiteral("pw-attesa"));
        PasswordInsegnante p(file, [&] { return adesso; });
        QVERIFY(p.imposta(QStringLiteral("Segreta-2026")));
        QList<int> attese;
        for (int i = 0; i < 12; ++i) {
            adesso = adesso.addSecs(p.attesa());
            QCOMPARE(p.verifica(QStringLiteral("sbagliata")), PasswordInsegnante::Esito::Sbagliata);
            attese << p.attesa();
        }
        QCOMPARE(attese, (QList<int>{0, 0, 0, 0, 30, 60, 120, 240, 480, 900, 900, 900}));
        adesso = adesso.addSecs(900);
        QCOMPARE(p.verifica(QStringLiteral("Segreta-2026")), PasswordInsegnante::Esito::Giusta);
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(p.verifica(QStringLiteral("sbagliata")), PasswordInsegnante::Esito::Sbagliata);
        QCOMPARE(p.attesa(), 30);

        QJsonObject vecchio = statoPassword(file);
        vecchio.insert(QStringLiteral("errati"), 20);
        vecchio.insert(QStringLiteral("attesaFino"), double(adesso.addSecs(8 * 3600).toMSecsSinceEpoch()));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QJsonDocument(vecchio).toJson());
        f.close();
        QVERIFY(p.attesa() <= 900);
        adesso = adesso.addSecs(900);
        QCOMPARE(p.verifica(QStringLiteral("Segreta-2026")), PasswordInsegnante::Esito::Giusta);
    }

    // A try that cannot be counted (the disk full) is refused unchecked, even with the right password,
    // and the teacher is told why; with room again, the password works.
    void tentativoNonRegistrabile()
    {
        const QString file = cartella.filePath(QStringLiteral("pw-pieno"));
        PasswordInsegnante p(file);
        QVERIFY(p.imposta(QStringLiteral("Segreta-2026")));
        rlimit prima{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &prima), 0);
        const auto segnale = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit pieno{0, prima.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &pieno), 0);
        const PasswordInsegnante::Esito giusta = p.verifica(QStringLiteral("Segreta-2026"));
        const PasswordInsegnante::Esito sbagliata = p.verifica(QStringLiteral("sbagliata"));
        setrlimit(RLIMIT_FSIZE, &prima);
        std::signal(SIGXFSZ, segnale);
        QCOMPARE(giusta, PasswordInsegnante::Esito::Errore);
        QCOMPARE(sbagliata, PasswordInsegnante::Esito::Errore);
        QVERIFY2(p.errore().contains(QStringLiteral("non si può scrivere")), qPrintable(p.errore()));
        QCOMPARE(p.verifica(QStringLiteral("Segreta-2026")), PasswordInsegnante::Esito::Giusta);
    }

    // Two programs trying at once on one file: every wrong try is counted.
    void dueProgrammiContanoOgniTentativo()
    {
        const QString file = cartella.filePath(QStringLiteral("pw-insieme"));
        QVERIFY(PasswordInsegnante(file).imposta(QStringLiteral("Segreta-2026")));
        QProcess uno, due;
        for (QProcess *p : {&uno, &due}) {
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--tentativi"), file, "2"});
            QVERIFY(p->waitForStarted());
        }
        for (QProcess *p : {&uno, &due}) {
            p->write("via\n");
            QVERIFY(p->waitForBytesWritten());
        }
        for (QProcess *p : {&uno, &due}) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitCode(), 0);
        }
        QCOMPARE(statoPassword(file).value(QStringLiteral("errati")).toInt(), 4);
    }

    // "Registro" on a register with classes but no password (made by an older version) offers no
    // choice of one, and says how the register's owner sets it. An empty register lets the teacher
    // choose it, but a dialog left open cannot replace one chosen meanwhile (the first class made
    // from the command line).
    void accessoSenzaPassword()
    {
        const auto porta = [](Registro *r, const std::function<void(AccessoInsegnante *)> &intanto) {
            int campi = -1;
            QTimer guarda;
            guarda.setSingleShot(true);
            QObject::connect(&guarda, &QTimer::timeout, [&] {
                if (auto *d = qobject_cast<AccessoInsegnante *>(QApplication::activeModalWidget())) {
                    campi = 0;
                    for (QLineEdit *e : d->findChildren<QLineEdit *>())
                        campi += e->isVisible();
                    intanto(d);
                    if (d->isVisible())
                        d->reject();
                }
            });
            guarda.start(0);
            const qsizetype prima = AmbienteTest::messaggi().size();
            RegistroCorrente::imposta(r);
            FrmRegistro::apriConAccesso(nullptr);
            RegistroCorrente::imposta(nullptr);
            return std::pair(campi, AmbienteTest::messaggi().mid(prima).join(QLatin1Char('\n')));
        };
        const auto [campi, testo] = porta(registro.get(), [](AccessoInsegnante *) {});
        QCOMPARE(campi, -1);
        QVERIFY2(testo.contains(QStringLiteral("quorvel --registro-nuova-password --registro ")), qPrintable(testo));
        QVERIFY(!QFile::exists(PasswordInsegnante::fileAccanto(registro->fileLocale())));

        const auto vuoto = Registro::apri(cartella.filePath(QStringLiteral("vuoto.sqlite")));
        PasswordInsegnante scelta(PasswordInsegnante::fileAccanto(vuoto->fileLocale()));
        QString avviso;
        const int campiVuoto = porta(vuoto.get(), [&](AccessoInsegnante *d) {
                                   QVERIFY(scelta.imposta(QStringLiteral("Maestra-2026")));
                                   d->campo()->setText(QStringLiteral("Alunno-2026"));
                                   d->ripeti()->setText(QStringLiteral("Alunno-2026"));
                                   d->prova();
                                   avviso = d->avviso()->text();
                               }).first;
        QCOMPARE(campiVuoto, 2);
        QVERIFY2(avviso.contains(QStringLiteral("nel frattempo")), qPrintable(avviso));
        QCOMPARE(scelta.verifica(QStringLiteral("Maestra-2026")), PasswordInsegnante::Esito::Giusta);
    }

    void tabellaDellaClasse()
    {
        QCOMPARE(finestra->modello().rowCount(), 3);
        // This week: Monday 00:30 in Italy counts, Sunday 23:59 does not.
        QCOMPARE(cella("Anna", ModelloClasse::Esercizi), "3");
        QCOMPARE(cella("Anna", ModelloClasse::Esatte), "67 %");
        QCOMPARE(cella("Anna", ModelloClasse::EsatteVuoto), "100 %");
        QCOMPARE(cella("Anna", ModelloClasse::EsatteAggiungi), "—");
        QCOMPARE(cella("Anna", ModelloClasse::EsatteTogli), "50 %");
        QCOMPARE(riga("Anna").aiuti, 1);
        QCOMPARE(riga("Anna").interventi, 0);
        QCOMPARE(riga("Anna").mediana, 6.0);
        QCOMPARE(riga("Anna").ultimo, QDate(2026, 12, 9));
        for (const char *nome : {"Bruno", "Carla"}) {
            QCOMPARE(riga(nome).esercizi, 0);
            QCOMPARE(cella(nome, ModelloClasse::Ultimo), "nessun esercizio");
        }
        const QModelIndex bruno = finestra->modello().index(1, ModelloClasse::Alunno);
        QVERIFY(bruno.data(ModelloClasse::ruoloInattivo).toBool());
        QVERIFY(bruno.data(Qt::FontRole).value<QFont>().bold());

        // Sorted by percent either way, the pupils with nothing to show stay last.
        for (Qt::SortOrder ordine : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            finestra->tabella()->sortByColumn(ModelloClasse::Esatte, ordine);
            QCOMPARE(finestra->tabella()->model()->index(0, 0).data().toString(), "Anna");
        }

        finestra->periodi()->setCurrentIndex(int(FrmRegistro::Scelta::Mese));
        QVERIFY(!finestra->inLettura());
        QCOMPARE(riga("Bruno").esercizi, 1);
        QCOMPARE(riga("Bruno").ultimo, QDate(2026, 12, 6));
        QCOMPARE(riga("Anna").esercizi, 3);
        finestra->periodi()->setCurrentIndex(int(FrmRegistro::Scelta::Anno));
        QCOMPARE(cella("Anna", ModelloClasse::Esatte), "50 %");
        QCOMPARE(riga("Anna").interventi, 1);
        QCOMPARE(riga("Anna").mediana, 8.0);
        finestra->tipi()->setCurrentIndex(1 + 2);
        QCOMPARE(riga("Anna").esercizi, 2);
        QCOMPARE(riga("Bruno").esercizi, 0);
        finestra->tipi()->setCurrentIndex(0);
        finestra->periodi()->setCurrentIndex(int(FrmRegistro::Scelta::Settimana));
    }

    // The week shown first, the rest of the year after: each result counted once, the days at the
    // seam (read as the week's margin) included.
    void settimanaPrimaDellAnno()
    {
        QSemaphore via;
        FrmRegistro prima(*registro);
        prima.impostaPausaLettura([&via] { via.tryAcquire(1, 60000); });
        const auto libera = qScopeGuard([&via] { via.release(); });
        prima.impostaOggi(QDate(2026, 12, 9));
        const auto esercizi = [&prima](int alunno) { return prima.modello().righe().value(alunno).esercizi; };
        QTRY_COMPARE(prima.modello().rowCount(), 3);
        QVERIFY(prima.inLettura());
        QCOMPARE(esercizi(0), 3);
        QCOMPARE(esercizi(1), 0);
        // The year is not there yet: nothing is shown rather than the week's figures as the year's.
        prima.periodi()->setCurrentIndex(int(FrmRegistro::Scelta::Anno));
        QCOMPARE(prima.modello().rowCount(), 0);
        via.release();
        QTRY_VERIFY(!prima.inLettura());
        QCOMPARE(esercizi(0), 4);
        QCOMPARE(esercizi(1), 1);
        prima.periodi()->setCurrentIndex(int(FrmRegistro::Scelta::Settimana));
        QVERIFY(!prima.inLettura());
        QCOMPARE(esercizi(0), 3);
    }

    void graficoDellAlunno()
    {
        finestra->periodi()->setCurrentIndex(int(FrmRegistro::Scelta::Anno));
        auto *andamento = new FrmAndamento(
            *registro, *Riepilogo::DatiClasse::carica(*registro, finestra->classe(), finestra->periodo()), 0,
            QDate(2026, 12, 9), {QStringLiteral("2ª B"), finestra->periodo(), -1});
        const ModelloAndamento &m = andamento->andamento();
        using G = ModelloAndamento::Grandezza;
        // 31 August 2026 is the Monday of week 1: 20 November is in week 12, 7-9 December in week 15.
        QCOMPARE(GraficoAndamento::punti(m, 0, G::Percentuale), (QList<QPointF>{{15, 100}}));
        QCOMPARE(GraficoAndamento::punti(m, 1, G::Percentuale), (QList<QPointF>{{12, 0}}));
        QCOMPARE(GraficoAndamento::punti(m, 2, G::Percentuale), (QList<QPointF>{{15, 50}}));
        QCOMPARE(GraficoAndamento::punti(m, 2, G::Secondi), (QList<QPointF>{{15, 8}}));
        QCOMPARE(GraficoAndamento::punti(m, 1, G::Secondi), (QList<QPointF>{{12, 20}}));
        // The table a screen reader gets says the same.
        QCOMPARE(m.index(1, ModelloAndamento::colonna(2, G::Percentuale)).data().toString(), "50 %");
        QCOMPARE(andamento->elenco()->model()->rowCount(), 4);
        // The pupil's page: the year's figures and the weeks' table, as text.
        if (PaginaPdf::disponibile()) {
            const QString pagina = cartella.filePath(QStringLiteral("anna.pdf"));
            QVERIFY(RapportiRegistro::stampaAlunno(
                *StampanteCorrente::documentoPdf(std::make_unique<FileRiservato>(pagina)),
                {QStringLiteral("2ª B"), finestra->periodo(), -1}, andamento->riga(), m));
            const QString testo = PaginaPdf::esegui(QStringLiteral("pdftotext"), {pagina, "-"});
            for (const char *atteso : {"Andamento di Anna", "Esercizi: 4; esatte: 50 %", "15ª (dal 7/12)"})
                QVERIFY2(testo.contains(QString::fromUtf8(atteso)), qPrintable(testo));
        }
        delete andamento;
        finestra->periodi()->setCurrentIndex(int(FrmRegistro::Scelta::Settimana));
    }

    void rapportoPdf()
    {
        if (!PaginaPdf::disponibile())
            QSKIP("pdftotext is not installed");
        const QString file = cartella.filePath(QStringLiteral("classe.pdf"));
        QVERIFY(finestra->stampaRiepilogo(file));
        QCOMPARE(PaginaPdf::pagine(file), 1);
        const QString testo = PaginaPdf::esegui(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, "-"});
        for (const char *atteso : {"Riepilogo della classe", "2ª B", "dal 7/12/2026 al 13/12/2026", "Anna", "67 %",
                                   "50 %", "nessun esercizio", "Carla"})
            QVERIFY2(testo.contains(QString::fromUtf8(atteso)), atteso);

        // The command line, for the month: Bruno's Sunday counts. An existing file is left as it is.
        const QString mese = cartella.filePath(QStringLiteral("mese.pdf"));
        QCOMPARE(ComandiInsegnante::rapportoPdf(*registro, mese, QStringLiteral("2ª B"), QDate(2026, 12, 1),
                                                QDate(2026, 12, 31)),
                 0);
        const QString testoMese =
            PaginaPdf::esegui(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), mese, "-"});
        QVERIFY(testoMese.contains(QStringLiteral("dom 6/12/2026")));
        const QByteArray prima = [&] {
            QFile f(mese);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QCOMPARE(ComandiInsegnante::rapportoPdf(*registro, mese, QStringLiteral("2ª B"), {}, {}), 1);
        QFile f(mese);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), prima);
        QCOMPARE(ComandiInsegnante::rapportoPdf(*registro, cartella.filePath("x.pdf"), QStringLiteral("5ª Z"), {}, {}),
                 2);
        // Children's figures: readable by their owner only, whatever the umask.
        for (const QString &scritto : {file, mese}) {
            struct stat s {};
            QVERIFY(::stat(QFile::encodeName(scritto).constData(), &s) == 0);
            QCOMPARE(s.st_mode & 0777, 0600u);
        }

        // A file made under the name while the report was drawn is left as it is, and nothing else is.
        QDir sola(cartella.filePath(QStringLiteral("gara")));
        QVERIFY(sola.mkpath(QStringLiteral(".")));
        const QString conteso = sola.filePath(QStringLiteral("conteso.pdf"));
        auto riservato = std::make_unique<FileRiservato>(conteso);
        QVERIFY(riservato->pronto());
        const auto superficie = StampanteCorrente::documentoPdf(std::move(riservato));
        QFile altrui(conteso);
        QVERIFY(altrui.open(QIODevice::WriteOnly | QIODevice::NewOnly));
        altrui.write("di qualcun altro");
        altrui.close();
        QVERIFY(!RapportiRegistro::stampaClasse(*superficie, {QStringLiteral("2ª B"), finestra->periodo(), -1},
                                                finestra->modello().righe()));
        QVERIFY2(superficie->spiegazioneErrore().contains(QStringLiteral("esiste già")),
                 qPrintable(superficie->spiegazioneErrore()));
        QVERIFY(altrui.open(QIODevice::ReadOnly));
        QCOMPARE(altrui.readAll(), QByteArray("di qualcun altro"));
        QCOMPARE(sola.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"conteso.pdf"});
    }

    // The notice says what this register really is: a file of this PC or the lab's server, and how long it keeps.
    void informativa()
    {
        QString errore;
        const auto dati =
            Informativa::raccogli(*registro, {finestra->classe(), QStringLiteral("2ª B")}, QDate(2026, 12, 9), &errore);
        QVERIFY2(dati, qPrintable(errore));
        const QString suFile = Informativa(*dati).testo();
        const QString file = QDir::toNativeSeparators(cartella.filePath(QStringLiteral("registro.sqlite")));
        for (const QString &atteso :
             {QStringLiteral("Informativa per le famiglie della classe 2ª B"), QStringLiteral(": %1.").arg(file),
              QStringLiteral("(%1)").arg(cartella.filePath(QStringLiteral("registro-uscita.sqlite"))),
              QStringLiteral("leggibili solo dall'account «"),
              QStringLiteral("per 2 anni scolastici: quello in corso e quello precedente"),
              QStringLiteral("anteriori al 1 settembre 2025")})
            QVERIFY2(suFile.contains(atteso), qPrintable(atteso + QStringLiteral("\n") + suFile));
        QVERIFY(!suFile.contains(QStringLiteral("database")) && !suFile.contains(QStringLiteral("laboratorio")));

        Informativa::Dati lab = *dati;
        lab.file.clear();
        lab.server =
            Registro::Server{QStringLiteral("server-lab"), QStringLiteral("quorvel"), QStringLiteral("quorvel")};
        lab.insegnanti = {QStringLiteral("maestra_rossi"), QStringLiteral("maestro_bianchi")};
        lab.anniConservati = 3;
        const QString suServer = Informativa(lab).testo();
        for (const char *atteso :
             {"il database «quorvel» sul server «server-lab»", "password sul server: maestra_rossi, maestro_bianchi.",
              "3 anni scolastici: quello in corso e i 2 precedenti", "anteriori al 1 settembre 2024",
              "del laboratorio da cui ha risposto"})
            QVERIFY2(suServer.contains(QString::fromUtf8(atteso)), atteso);
        QVERIFY(!suServer.contains(file) && !suServer.contains(QStringLiteral("account")));
        lab.insegnanti.clear();
        lab.anniConservati = 1;
        const QString senzaNomi = Informativa(lab).testo();
        QVERIFY(senzaNomi.contains(QStringLiteral("Le insegnanti della classe, ciascuna")));
        QVERIFY(senzaNomi.contains(QStringLiteral("per un solo anno scolastico, quello in corso")));
        QVERIFY(senzaNomi.contains(QStringLiteral("anteriori al 1 settembre 2026")));

        if (!PaginaPdf::disponibile())
            QSKIP("pdftotext is not installed");
        const QString pdf = cartella.filePath(Informativa::nomeFile(QStringLiteral("2ª B")));
        QVERIFY(finestra->stampaInformativa(pdf));
        const QString stampato = PaginaPdf::esegui(QStringLiteral("pdftotext"), {pdf, "-"});
        for (const QString &atteso : {QStringLiteral("Informativa per le famiglie della classe 2ª B"), file,
                                      QStringLiteral("Come avere una copia o farli cancellare")})
            QVERIFY2(stampato.contains(atteso), qPrintable(stampato));
        QVERIFY(!(QFile(pdf).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
    }

    // A family's request: one pupil's results, nobody else's, in a new private file.
    void esportaAlunno()
    {
        const QString file = cartella.filePath(QStringLiteral("anna.csv"));
        QString errore;
        Registro::Filtro filtro;
        filtro.alunno = alunni[0].id;
        QCOMPARE(EsportaCsv::esporta(*registro, filtro, file, &errore), 4);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray contenuto = f.readAll();
        QVERIFY(contenuto.startsWith("\xEF\xBB\xBF"));
        const QString testo = QString::fromUtf8(contenuto);
        QCOMPARE(testo.count(QStringLiteral("\r\n")), 5);
        QVERIFY(testo.contains(QStringLiteral("\"Anna\"")) && !testo.contains(QStringLiteral("Bruno")));
        QVERIFY(!(f.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
        QVERIFY(!EsportaCsv::esporta(*registro, {}, file, &errore));
        QCOMPARE(QFileInfo(file).size(), contenuto.size());
    }

    void cancellazioni()
    {
        QString domanda;
        finestra->impostaConferma([&](const QString &d) {
            domanda = d;
            return true;
        });
        // Before the Monday: Bruno's Sunday goes, Anna's Monday 00:30 in Italy stays.
        finestra->cancellaPrimaDel(QDate(2026, 12, 7));
        QVERIFY2(domanda.contains(QStringLiteral("i 2 risultati")), qPrintable(domanda));
        QCOMPARE(conta(*registro), 3);
        QCOMPARE(AmbienteTest::messaggi().last(), "Cancellati 2 risultati anteriori al 7 dicembre 2026.");
        QTRY_VERIFY(!finestra->inLettura());

        const QModelIndex anna =
            finestra->tabella()
                ->model()
                ->match(finestra->tabella()->model()->index(0, 0), Qt::DisplayRole, QStringLiteral("Anna"))
                .value(0);
        finestra->tabella()->setCurrentIndex(anna);
        finestra->impostaConferma([&](const QString &d) {
            domanda = d;
            return false;
        });
        finestra->cancellaAlunno();
        QCOMPARE(domanda, "Cancellare Anna e tutti i suoi 3 risultati? Non si potranno recuperare.");
        QCOMPARE(conta(*registro), 3);
        finestra->impostaConferma([](const QString &) { return true; });
        finestra->cancellaAlunno();
        QCOMPARE(conta(*registro), 0);
        QCOMPARE(registro->alunni(finestra->classe()).size(), 2);
        QTRY_COMPARE(finestra->modello().rowCount(), 2);
    }
    // A CSV list from "Classi e alunni" goes through the command line's reader: all its pupils or none.
    void importaElenco()
    {
        FrmClassi classi(*registro);
        classi.classi()->setCurrentRow(0);
        const QString buono = cartella.filePath(QStringLiteral("elenco.csv"));
        const QString cattivo = cartella.filePath(QStringLiteral("cattivo.csv"));
        for (const auto &[file, testo] : {std::pair(buono, "nome,figura,colore\nDario,gatti,blu\nElsa,,\n"),
                                          std::pair(cattivo, "nome;figura;colore\nFede;;\nGino;dado;fucsia\n")}) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(testo);
        }
        const qsizetype prima = registro->alunni(finestra->classe()).size();
        classi.importaCsv(cattivo);
        QVERIFY2(AmbienteTest::messaggi().last().contains(QStringLiteral("riga 3")),
                 qPrintable(AmbienteTest::messaggi().last()));
        QCOMPARE(registro->alunni(finestra->classe()).size(), prima);
        classi.importaCsv(buono);
        QCOMPARE(AmbienteTest::messaggi().last(), "2 alunni importati nella classe «2ª B».");
        QMap<QString, Contrassegno> importati;
        for (const Alunno &a : registro->alunni(finestra->classe()))
            importati.insert(a.nome, a.contrassegno);
        QCOMPARE(importati.size(), prima + 2);
        QCOMPARE(importati.value(QStringLiteral("Dario")), (Contrassegno{12, 2}));
        QVERIFY(importati.value(QStringLiteral("Elsa")).valido());
        QCOMPARE(classi.alunni()->count(), prima + 2);
    }

    // Everything kept of one pupil, as a readable PDF: every result on its row, page after page, nobody else's.
    void datiAlunnoPdf()
    {
        if (!PaginaPdf::disponibile())
            QSKIP("pdftotext is not installed");
        famiglie = Registro::apri(cartella.filePath(QStringLiteral("famiglie/registro.sqlite")));
        const auto classe = famiglie->creaClasse(QStringLiteral("1ª A"));
        QVERIFY(classe);
        QList<Alunno> nuovi{{{}, {}, QStringLiteral("Zoë"), {12, 0}}, {{}, {}, QStringLiteral("<b>x</b>"), {}}};
        QVERIFY(famiglie->aggiungiAlunni(classe->id, nuovi));
        // Seconds tell the rows apart: 130 of Zoë's, on three pages, and one of the other pupil.
        for (int i = 0; i < 130; ++i)
            famiglie->registra(risultato(nuovi[0], "2026-10-05T08:00:00Z", i % 3, i % 2, 1000 + i));
        famiglie->registra(risultato(nuovi[1], "2026-10-06T08:00:00Z", 0, true, 777));
        QVERIFY(famiglie->svuota(10000));
        finestraFamiglie = new FrmRegistro(*famiglie);
        finestraFamiglie->impostaOggi(QDate(2026, 12, 9));
        QTRY_VERIFY(!finestraFamiglie->inLettura());
        auto rigaDi = [&](const QString &nome) {
            const auto &righe = finestraFamiglie->modello().righe();
            for (int r = 0; r < righe.size(); ++r)
                if (righe[r].alunno.nome == nome)
                    return r;
            return -1;
        };
        const QString pdf = cartella.filePath(RapportiRegistro::nomeFileDati(QStringLiteral("Zoë")));
        QVERIFY(finestraFamiglie->stampaDatiAlunno(rigaDi(QStringLiteral("Zoë")), pdf));
        QCOMPARE(PaginaPdf::pagine(pdf), 3);
        const QString testo = PaginaPdf::esegui(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, "-"});
        for (const char *atteso : {"Dati di Zoë nel registro", "Classe 1ª A — contrassegno: gatto su giallo",
                                   "130 risultati — pagina 3 di 3", "lun 5/10/2026 10:00", "insieme vuoto"})
            QVERIFY2(testo.contains(QString::fromUtf8(atteso)), atteso);
        for (int i = 0; i < 130; ++i)
            QVERIFY2(testo.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(1000 + i))),
                     qPrintable(QString::number(1000 + i)));
        QVERIFY(!testo.contains(QStringLiteral("777")));
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(pdf).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
        // Never over a file that is there, and a name is printed as it is written.
        const qint64 dimensione = QFileInfo(pdf).size();
        QVERIFY(!finestraFamiglie->stampaDatiAlunno(rigaDi(QStringLiteral("<b>x</b>")), pdf));
        QVERIFY2(AmbienteTest::messaggi().last().contains(QStringLiteral("esiste già")),
                 qPrintable(AmbienteTest::messaggi().last()));
        QCOMPARE(QFileInfo(pdf).size(), dimensione);
        const QString altro = cartella.filePath(RapportiRegistro::nomeFileDati(QStringLiteral("<b>x</b>")));
        QVERIFY(finestraFamiglie->stampaDatiAlunno(rigaDi(QStringLiteral("<b>x</b>")), altro));
        const QString suo = PaginaPdf::esegui(QStringLiteral("pdftotext"), {altro, "-"});
        QVERIFY2(suo.contains(QStringLiteral("Dati di <b>x</b> nel registro")) && suo.contains(QStringLiteral("777")),
                 qPrintable(suo));
    }

    // Once a school year the window offers to erase what is older than the register keeps, counted;
    // nothing goes without the teacher's yes, and the offer is not made again that year.
    void offertaConservazione()
    {
        if (!famiglie)
            QSKIP("needs the register of datiAlunnoPdf");
        QVERIFY(famiglie->conservazione() == 2);
        const QString classe = famiglie->classi().first().id;
        const Alunno zoe = famiglie->alunni(classe).first();
        // Before and on 1 September 2025 in Italy (22:00 UTC of 31 August is midnight there).
        for (const char *quando : {"2024-03-01T10:00:00Z", "2025-06-10T10:00:00Z", "2025-08-31T21:59:00Z",
                                   "2025-08-31T22:00:00Z", "2026-02-02T10:00:00Z"})
            famiglie->registra(risultato(zoe, quando, 1, true, 5));
        QVERIFY(famiglie->svuota(10000));
        const int tutti = conta(*famiglie);

        QStringList domande;
        bool risposta = false;
        finestraFamiglie->impostaConferma([&](const QString &d) {
            domande << d;
            return risposta;
        });
        finestraFamiglie->impostaOggi(QDate(2026, 12, 9));
        finestraFamiglie->offriCancellazione();
        QCOMPARE(domande.size(), 1);
        QCOMPARE(domande.first(), "È cominciato l'anno scolastico 2026/27. Il registro conserva 2 anni scolastici, "
                                  "compreso quello in corso: ci sono 3 risultati di tutte le classi anteriori al 1 "
                                  "settembre 2025. Cancellarli ora? Non si potranno recuperare.");
        QCOMPARE(conta(*famiglie), tutti);
        finestraFamiglie->offriCancellazione();
        QCOMPARE(domande.size(), 1);

        // The next school year, keeping three: the same three are older, and go on a yes.
        QVERIFY(!famiglie->impostaConservazione(0));
        QVERIFY(famiglie->impostaConservazione(3));
        QCOMPARE(Registro::apri(famiglie->fileLocale())->conservazione(), 3);
        finestraFamiglie->impostaOggi(QDate(2027, 9, 1));
        risposta = true;
        finestraFamiglie->offriCancellazione();
        QCOMPARE(domande.size(), 2);
        QVERIFY2(domande.last().contains(QStringLiteral("2027/28. Il registro conserva 3 anni scolastici")),
                 qPrintable(domande.last()));
        QCOMPARE(conta(*famiglie), tutti - 3);
        QCOMPARE(AmbienteTest::messaggi().last(), "Cancellati 3 risultati anteriori al 1 settembre 2025.");
        finestraFamiglie->offriCancellazione();
        QCOMPARE(domande.size(), 2);
        QVERIFY(!Conservazione::daOffrire(famiglie->identita(), QDate(2028, 8, 31)));
        QVERIFY(Conservazione::daOffrire(famiglie->identita(), QDate(2028, 9, 1)));
    }

    // A name that looks like markup is shown as it is written, in the question before removing the pupil.
    void nomiComeScritti()
    {
        QList<Alunno> nuovi{{{}, {}, QStringLiteral("<b>x</b>"), {}}};
        QVERIFY(registro->aggiungiAlunni(finestra->classe(), nuovi));
        FrmClassi classi(*registro);
        classi.classi()->setCurrentRow(0);
        const QList<QListWidgetItem *> trovati =
            classi.alunni()->findItems(QStringLiteral("<b>x</b>"), Qt::MatchContains);
        QCOMPARE(trovati.size(), 1);
        classi.alunni()->setCurrentItem(trovati.first());
        QPushButton *rimuovi = nullptr;
        for (QPushButton *p : classi.findChildren<QPushButton *>())
            if (p->text() == QStringLiteral("Ri&muovi l'alunno…"))
                rimuovi = p;
        QVERIFY(rimuovi);
        QString testo;
        Qt::TextFormat formato = Qt::RichText;
        QTimer::singleShot(0, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                testo = box->text();
                formato = box->textFormat();
                box->reject();
            }
        });
        rimuovi->click();
        QVERIFY2(testo.contains(QStringLiteral("Rimuovere <b>x</b> dal registro")), qPrintable(testo));
        QCOMPARE(formato, Qt::PlainText);
        QCOMPARE(registro->alunni(finestra->classe()).size(), classi.alunni()->count());
    }
};

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--tentativi") == 0)
        return tentativi(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestInsegnante test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_insegnante.moc"
