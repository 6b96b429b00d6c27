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
#include "printing/FilePdf.h"
#include "printing/FileRiservato.h"
#include "printing/StampanteCorrente.h"
#include "printing/SuperficieStampa.h"
#include "printing/frmStampante.h"
#include "registro/Registro.h"
#include "registro/RegistroCorrente.h"
#include "support/AmbienteTest.h"
#include "support/PaginaPdf.h"
#include "ui/Etichetta.h"
#include "ui/Pulsante.h"

#include <QAccessible>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QMenuBar>
#include <QMessageBox>
#include <QPaintEngine>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTabBar>
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

// Answers the next modal dialog of type T: `fai` runs on it once it is up.
template <typename T> void quandoModale(std::function<void(T *)> fai)
{
    auto *attesa = new QTimer;
    attesa->setInterval(10);
    QObject::connect(attesa, &QTimer::timeout, [attesa, fai] {
        auto *d = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!d || !d->isVisible())
            return;
        attesa->stop();
        attesa->deleteLater();
        fai(d);
    });
    attesa->start();
}

// The button of a dialog's button box with this role (OK, Annulla...).
QPushButton *pulsanteRuolo(QWidget *d, QDialogButtonBox::ButtonRole ruolo)
{
    for (QDialogButtonBox *b : d->findChildren<QDialogButtonBox *>())
        for (QAbstractButton *p : b->buttons())
            if (b->buttonRole(p) == ruolo)
                return qobject_cast<QPushButton *>(p);
    return nullptr;
}

// Found by their text without the mnemonic's "&".
QPushButton *pulsanteDi(QWidget *d, const QString &testo)
{
    for (QPushButton *p : d->findChildren<QPushButton *>())
        if (QString(p->text()).remove(QLatin1Char('&')) == testo)
            return p;
    return nullptr;
}

QAction *azioneDi(QWidget *w, const QString &testo)
{
    for (QAction *a : w->findChildren<QAction *>())
        if (QString(a->text()).remove(QLatin1Char('&')) == testo)
            return a;
    return nullptr;
}

QComboBox *sceltaDi(QWidget *w, const QString &nome)
{
    for (QComboBox *c : w->findChildren<QComboBox *>())
        if (c->accessibleName() == nome)
            return c;
    return nullptr;
}

QString testoEtichetta(QWidget *w, const QString &inizio)
{
    for (QLabel *l : w->findChildren<QLabel *>())
        if (l->text().startsWith(inizio))
            return l->text();
    return {};
}

// What a shown dialog cuts of its own texts: labels smaller than their text needs, or out of the
// window, and a window too narrow for its title beside a window manager's buttons. Empty: nothing.
QStringList tagli(QWidget *d)
{
    QStringList tagliati;
    const int titolo = QFontMetrics(d->font()).horizontalAdvance(d->windowTitle()) + 120;
    if (d->width() < titolo)
        tagliati << QStringLiteral("title «%1»: %2 < %3").arg(d->windowTitle()).arg(d->width()).arg(titolo);
    for (QLabel *l : d->findChildren<QLabel *>()) {
        if (!l->isVisibleTo(d) || l->text().isEmpty() || l->window() != d)
            continue;
        const QSize serve = l->wordWrap() ? QSize(0, l->heightForWidth(l->width())) : l->sizeHint();
        const QRect dove(l->mapTo(d, QPoint()), l->size());
        if (l->width() < serve.width() || l->height() < serve.height() || !d->rect().contains(dove))
            tagliati << QStringLiteral("«%1»: %2x%3 at %4,%5 needs %6x%7")
                            .arg(l->text())
                            .arg(l->width())
                            .arg(l->height())
                            .arg(dove.x())
                            .arg(dove.y())
                            .arg(serve.width())
                            .arg(serve.height());
    }
    return tagliati;
}

// Mnemonics that two controls of one window share: the window's own (buttons, labels, tabs, menu
// titles), then each menu's items.
QStringList mnemoniciDoppi(QWidget *finestra)
{
    QStringList doppi;
    const auto controlla = [&](const QStringList &testi, const QString &dove) {
        QMap<QChar, QString> visti;
        for (const QString &t : testi) {
            const qsizetype e = t.indexOf(QRegularExpression(QStringLiteral("&[^&]")));
            if (e < 0)
                continue;
            const QChar c = t.at(e + 1).toLower();
            if (visti.contains(c))
                doppi << QStringLiteral("%1: «%2» and «%3»").arg(dove, visti.value(c), t);
            visti.insert(c, t);
        }
    };
    QStringList propri;
    for (QAbstractButton *b : finestra->findChildren<QAbstractButton *>())
        if (b->window() == finestra && b->isVisibleTo(finestra))
            propri << b->text();
    for (QLabel *l : finestra->findChildren<QLabel *>())
        if (l->buddy() && l->window() == finestra)
            propri << l->text();
    for (QGroupBox *g : finestra->findChildren<QGroupBox *>())
        if (g->window() == finestra)
            propri << g->title();
    for (QTabBar *t : finestra->findChildren<QTabBar *>())
        for (int i = 0; i < t->count() && t->window() == finestra; ++i)
            propri << t->tabText(i);
    if (auto *barra = finestra->findChild<QMenuBar *>()) {
        for (QAction *a : barra->actions()) {
            propri << a->text();
            if (a->menu()) {
                QStringList voci;
                for (QAction *v : a->menu()->actions())
                    voci << v->text();
                controlla(voci, a->text());
            }
        }
    }
    controlla(propri, finestra->windowTitle());
    return doppi;
}

// What a painter draws, as far as a chart's reader cares: texts at their baselines, circles and
// squares (the markers) at their centres with their pen's colour.
class DisegnoRegistrato : public QPaintDevice {
public:
    struct Testo {
        QString testo;
        QPointF base;
    };
    struct Marcatore {
        QColor colore;
        QPointF centro;
    };
    QList<Testo> testi;
    QList<Marcatore> marcatori;

    DisegnoRegistrato() : motore_(this) {}
    QPaintEngine *paintEngine() const override { return &motore_; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return 720;
        case PdmHeight:
            return 420;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 1000;
        }
    }

private:
    class Motore : public QPaintEngine {
    public:
        explicit Motore(DisegnoRegistrato *d) : QPaintEngine(AllFeatures), d_(d) {}
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &s) override
        {
            if (s.state() & DirtyPen)
                colore_ = s.pen().color();
        }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawTextItem(const QPointF &p, const QTextItem &t) override { d_->testi.append({t.text(), p}); }
        void drawEllipse(const QRectF &r) override { d_->marcatori.append({colore_, r.center()}); }
        void drawRects(const QRectF *r, int n) override
        {
            for (int i = 0; i < n; ++i)
                d_->marcatori.append({colore_, r[i].center()});
        }
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        Type type() const override { return User; }

    private:
        DisegnoRegistrato *d_;
        QColor colore_;
    };
    mutable Motore motore_;
};
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
    // A class on a path with a pupil at a fixed level, set from "Classi e alunni".
    std::unique_ptr<Registro> livelli;

    // The row of the model for a pupil's name.
    const Riepilogo::RigaAlunno &riga(const QString &nome)
    {
        for (const auto &r : finestra->modello().righe())
            if (r.alunno.nome == nome)
                return r;
        qFatal("no pupil %s", qPrintable(nome));
    }
    QString cella(const QString &nome, int colonna) { return ModelloClasse::testo(riga(nome), colonna); }
    int numeroRiga(const QString &nome)
    {
        const auto &righe = finestra->modello().righe();
        for (int r = 0; r < righe.size(); ++r)
            if (righe[r].alunno.nome == nome)
                return r;
        return -1;
    }

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
        livelli.reset();
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

    // The teacher's PDFs: suggested in the documents folder under what they are, given ".pdf" when the
    // name typed lacks it, private, never over another file, and titled after what they are; on
    // "File PDF" too. The printer window opened from here does not speak of worksheets.
    void pdfDellInsegnante()
    {
        if (!PaginaPdf::disponibile())
            QSKIP("pdftotext is not installed");
        QVERIFY(!AmbienteTest::casaTemporanea().isEmpty());
        const QDir documenti(FilePdf::cartellaDocumenti());
        QVERIFY(documenti.mkpath(QStringLiteral(".")));
        const auto titolo = [](const QString &pdf) {
            const QString info = PaginaPdf::esegui(QStringLiteral("pdfinfo"), {pdf});
            return info.section(QStringLiteral("Title:"), 1).section(QLatin1Char('\n'), 0, 0).trimmed();
        };
        const auto privato = [](const QString &pdf) {
            struct stat st {};
            return ::stat(QFile::encodeName(pdf).constData(), &st) == 0 && (st.st_mode & 0777) == 0600;
        };
        QString proposto;
        const auto salvaCome = [&](const QString &nome) {
            proposto.clear();
            quandoModale<QFileDialog>([&proposto, nome](QFileDialog *d) {
                proposto = d->selectedFiles().value(0);
                d->selectFile(nome);
                QMetaObject::invokeMethod(d, "accept");
            });
        };
        const QString riepilogo = documenti.filePath(QStringLiteral("Riepilogo 2ª B.pdf"));
        salvaCome(documenti.filePath(QStringLiteral("Riepilogo 2ª B")));
        azioneDi(finestra, QStringLiteral("Salva il riepilogo in PDF…"))->trigger();
        QCOMPARE(proposto, riepilogo);
        QVERIFY2(QFileInfo::exists(riepilogo), qPrintable(documenti.entryList().join(QLatin1Char(','))));
        QVERIFY(privato(riepilogo));
        QCOMPARE(titolo(riepilogo), "Riepilogo della classe 2ª B");
        // The next time a free name is suggested; the name of a file that is there is refused.
        const qint64 dimensione = QFileInfo(riepilogo).size();
        salvaCome(documenti.filePath(QStringLiteral("Riepilogo 2ª B")));
        azioneDi(finestra, QStringLiteral("Salva il riepilogo in PDF…"))->trigger();
        QCOMPARE(proposto, documenti.filePath(QStringLiteral("Riepilogo 2ª B (2).pdf")));
        QVERIFY2(AmbienteTest::messaggi().last().contains(QStringLiteral("esiste già")),
                 qPrintable(AmbienteTest::messaggi().last()));
        QCOMPARE(QFileInfo(riepilogo).size(), dimensione);
        // A name of blanks is no name.
        for (const char *vuoto : {"  ", " .pdf"}) {
            salvaCome(documenti.filePath(QLatin1String(vuoto)));
            azioneDi(finestra, QStringLiteral("Salva il riepilogo in PDF…"))->trigger();
            QVERIFY2(AmbienteTest::messaggi().last().contains(QStringLiteral("il nome scritto è vuoto")),
                     qPrintable(AmbienteTest::messaggi().last()));
        }
        QCOMPARE(documenti.entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression("^\\s*\\.pdf")),
                 QStringList());

        finestra->apriAndamento(numeroRiga(QStringLiteral("Anna")));
        auto *andamento = finestra->findChild<FrmAndamento *>();
        QVERIFY(andamento);
        salvaCome(documenti.filePath(QStringLiteral("Andamento Anna")));
        pulsanteDi(andamento, QStringLiteral("Salva in PDF…"))->click();
        const QString pagina = documenti.filePath(QStringLiteral("Andamento Anna.pdf"));
        QCOMPARE(proposto, pagina);
        QVERIFY(privato(pagina));
        QCOMPARE(titolo(pagina), "Andamento di Anna");
        delete andamento;

        // Ctrl+P on "File PDF": the summary under its own name, not a worksheet's.
        StampanteCorrente::istanza().impostaFilePdf();
        QAction *stampa = nullptr;
        for (QAction *a : finestra->findChildren<QAction *>())
            if (a->shortcut() == QKeySequence(QKeySequence::Print))
                stampa = a;
        QVERIFY(stampa);
        stampa->trigger();
        StampanteCorrente::istanza().ripristina();
        const QString suFilePdf = documenti.filePath(QStringLiteral("Riepilogo 2ª B (2).pdf"));
        QVERIFY2(QFileInfo::exists(suFilePdf), qPrintable(documenti.entryList().join(QLatin1Char(','))));
        QVERIFY(privato(suFilePdf));
        QCOMPARE(titolo(suFilePdf), "Riepilogo della classe 2ª B");

        frmStampante &stampanti = frmStampante::istanza();
        if (StampanteCorrente::installate().isEmpty())
            QVERIFY2(!stampanti.Label1()->text().contains(QStringLiteral("schede")),
                     qPrintable(stampanti.Label1()->text()));
        // Chosen and closed, the printer window hands the keyboard back to the teacher's window.
        const bool visibile = finestra->isVisible();
        finestra->show();
        finestra->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), finestra);
        azioneDi(finestra, QStringLiteral("Scegli la stampante…"))->trigger();
        QTRY_COMPARE(QApplication::activeWindow(), &stampanti);
        stampanti.Command2()->click();
        QTRY_COMPARE(QApplication::activeWindow(), finestra);
        finestra->setVisible(visibile);
    }

    // Every teacher's dialog holds its texts whole, the warnings that come later included, and its
    // title beside a window manager's buttons. An empty warning is not there for a screen reader.
    void dialoghiSiAdattano()
    {
        PasswordInsegnante nuova(cartella.filePath(QStringLiteral("pw-dialogo")));
        AccessoInsegnante prima(nuova);
        prima.show();
        AmbienteTest::elabora();
        QVERIFY(!prima.avviso()->isVisibleTo(&prima));
        prima.campo()->setText(QStringLiteral("corta"));
        prima.ripeti()->setText(QStringLiteral("corta"));
        prima.prova();
        AmbienteTest::elabora();
        QCOMPARE(prima.avviso()->text(), "La password deve avere almeno 6 caratteri.");
        QVERIFY(prima.avviso()->isVisibleTo(&prima));
        QVERIFY2(tagli(&prima).isEmpty(), qPrintable(tagli(&prima).join(QLatin1Char('\n'))));

        QVERIFY(nuova.imposta(QStringLiteral("Segreta-2026")));
        AccessoInsegnante poi(nuova);
        AccessoServer server(QStringLiteral("host=server-lab dbname=quorvel user=aula sslmode=verify-full"));
        FrmClassi classi(*registro);
        for (QWidget *d : std::initializer_list<QWidget *>{&poi, &server, &classi}) {
            d->show();
            AmbienteTest::elabora();
            QVERIFY2(tagli(d).isEmpty(), qPrintable(tagli(d).join(QLatin1Char('\n'))));
        }
        QVERIFY(!server.avviso()->isVisibleTo(&server));

        // The window's own dialogs, answered as they come.
        QStringList tagliati;
        const auto guarda = [&] {
            quandoModale<QDialog>([&tagliati](QDialog *d) {
                AmbienteTest::elabora();
                tagliati << tagli(d);
                d->reject();
            });
        };
        guarda();
        finestra->cambiaConservazione();
        guarda();
        azioneDi(finestra, QStringLiteral("Cancella i risultati prima di una data…"))->trigger();
        QVERIFY2(tagliati.isEmpty(), qPrintable(tagliati.join(QLatin1Char('\n'))));
    }

    // One week is a point in the middle with its value, not a dot on the axis; the axes step 1-2-5,
    // each label at the height of its value. A screen reader hears the chart's gist.
    void graficoLeggibile()
    {
        ModelloAndamento settimana;
        settimana.imposta({{15, QDate(2026, 12, 7), 0, 2, 50, 8}});
        DisegnoRegistrato disegno;
        {
            QPainter p(&disegno);
            GraficoAndamento::disegna(p, QRectF(0, 0, 720, 420), settimana);
        }
        QList<QPointF> punti;
        for (const auto &m : disegno.marcatori)
            if (m.colore == QColor(0, 114, 178))
                punti << m.centro;
        // The legend's marker, then the week in each panel.
        QCOMPARE(punti.size(), 3);
        std::sort(punti.begin(), punti.end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
        const QPointF percento = punti[1];
        const QPointF secondi = punti[2];
        QVERIFY2(percento.x() > 250 && percento.x() < 470, qPrintable(QString::number(percento.x())));
        QCOMPARE(secondi.x(), percento.x());
        const auto accanto = [&](const QString &testo, QPointF punto) {
            return std::any_of(disegno.testi.begin(), disegno.testi.end(), [&](const auto &t) {
                return t.testo == testo && qAbs(t.base.y() - punto.y()) < 20 && qAbs(t.base.x() - punto.x()) < 80;
            });
        };
        QVERIFY(accanto(QStringLiteral("50 %"), percento));
        QVERIFY(accanto(QStringLiteral("8,0 s"), secondi));

        QMap<int, double> tacche;
        const QRegularExpression tacca(QStringLiteral("^(\\d+) s$"));
        for (const auto &t : disegno.testi)
            if (const auto m = tacca.match(t.testo); m.hasMatch())
                tacche.insert(m.captured(1).toInt(), t.base.y());
        const QList<int> valori = tacche.keys();
        QVERIFY(valori.size() >= 3);
        const int passo = valori[1] - valori[0];
        for (int i = 1; i < valori.size(); ++i)
            QCOMPARE(valori[i] - valori[i - 1], passo);
        int mantissa = passo;
        while (mantissa % 10 == 0)
            mantissa /= 10;
        QVERIFY2(mantissa == 1 || mantissa == 2 || mantissa == 5, qPrintable(QString::number(passo)));
        QVERIFY(tacche.contains(8));
        const QFontMetricsF fm(QFont(), &disegno);
        const double centro8 = tacche.value(8) - (fm.ascent() - fm.descent()) / 2;
        QVERIFY2(qAbs(centro8 - secondi.y()) < 2,
                 qPrintable(QStringLiteral("8 s at %1, 8 seconds at %2").arg(centro8).arg(secondi.y())));

        const QDate oggi(2026, 12, 9);
        const auto dati =
            Riepilogo::DatiClasse::carica(*registro, finestra->classe(), Riepilogo::Periodo::annoScolastico(oggi));
        QVERIFY(dati);
        FrmAndamento anna(*registro, *dati, 0, oggi, {QStringLiteral("2ª B"), finestra->periodo(), -1});
        QCOMPARE(anna.riga().alunno.nome, "Anna");
        QCOMPARE(anna.grafico()->accessibleDescription(),
                 "2 settimane: esatte da 0 a 67 % (l'ultima 67 %), secondi per risposta da 4,0 a 20,0.");
    }

    // A teacher's first class: the window says how to make it, "Classi e alunni" offers only what can
    // act, and a name or a contrassegno refused leaves the dialog open with what was typed and why.
    void primaClasse()
    {
        const auto vuoto = Registro::apri(cartella.filePath(QStringLiteral("prima/registro.sqlite")));
        {
            FrmRegistro vuota(*vuoto);
            // The classes are read on the window's reading thread.
            QTRY_VERIFY(!testoEtichetta(&vuota, QStringLiteral("Nessuna classe")).isEmpty());
            const QString stato = testoEtichetta(&vuota, QStringLiteral("Nessuna classe"));
            QVERIFY2(stato.contains(QStringLiteral("«Classi e alunni…»")) && stato.contains(QStringLiteral("Alt+L")),
                     qPrintable(stato));
        }
        FrmClassi classi(*vuoto);
        classi.show();
        const QStringList perAlunno{QStringLiteral("Rinomina l'alunno…"), QStringLiteral("Contrassegno…"),
                                    QStringLiteral("Sposta in un'altra classe…"), QStringLiteral("Rimuovi l'alunno…")};
        const auto attivi = [&](const QStringList &testi) {
            QStringList si;
            for (const QString &t : testi)
                if (pulsanteDi(&classi, t)->isEnabled())
                    si << t;
            return si;
        };
        QCOMPARE(attivi(perAlunno +
                        QStringList{QStringLiteral("Aggiungi un alunno…"), QStringLiteral("Importa un elenco CSV…")}),
                 QStringList());

        // Types a name in the dialog a button opens and confirms it; says whether it stayed open, and why.
        struct Esito {
            bool aperta = false;
            QString avviso;
            QString scritto;
            QStringList tagliati;
        };
        const auto scrivi = [&](const QString &pulsante, const QString &nome) {
            Esito e;
            quandoModale<QDialog>([&e, nome](QDialog *d) {
                QLineEdit *campo = d->findChild<QLineEdit *>();
                campo->setText(nome);
                pulsanteRuolo(d, QDialogButtonBox::AcceptRole)->click();
                e.aperta = d->isVisible();
                if (!e.aperta)
                    return;
                AmbienteTest::elabora();
                e.avviso = testoEtichetta(d, QStringLiteral("«"));
                e.scritto = campo->text();
                e.tagliati = tagli(d);
                d->reject();
            });
            pulsanteDi(&classi, pulsante)->click();
            return e;
        };
        QVERIFY(!scrivi(QStringLiteral("Nuova classe…"), QStringLiteral("1ª A")).aperta);
        QCOMPARE(vuoto->classi().size(), 1);
        QCOMPARE(attivi(perAlunno), QStringList());
        QVERIFY(pulsanteDi(&classi, QStringLiteral("Aggiungi un alunno…"))->isEnabled());
        QVERIFY(!scrivi(QStringLiteral("Aggiungi un alunno…"), QStringLiteral("Zoë")).aperta);
        QCOMPARE(attivi(perAlunno), perAlunno);
        {
            FrmRegistro una(*vuoto);
            QTRY_VERIFY(!una.inLettura());
            const QString stato = testoEtichetta(&una, QStringLiteral("1 "));
            QVERIFY2(stato.startsWith(QStringLiteral("1 alunno;")), qPrintable(stato));
        }
        const Esito doppio = scrivi(QStringLiteral("Aggiungi un alunno…"), QStringLiteral("zoë"));
        QVERIFY(doppio.aperta);
        QCOMPARE(doppio.avviso, "«zoë» è già nella classe.");
        QCOMPARE(doppio.scritto, "zoë");
        QVERIFY2(doppio.tagliati.isEmpty(), qPrintable(doppio.tagliati.join(QLatin1Char('\n'))));
        QCOMPARE(vuoto->alunni(vuoto->classi().first().id).size(), 1);

        QVERIFY(!scrivi(QStringLiteral("Aggiungi un alunno…"), QStringLiteral("Ugo")).aperta);
        const QList<Alunno> presenti = vuoto->alunni(vuoto->classi().first().id);
        const Alunno zoe = presenti.at(presenti.at(0).nome == QStringLiteral("Zoë") ? 0 : 1);
        classi.alunni()->setCurrentRow(presenti.at(0).id == zoe.id ? 1 : 0);
        bool aperta = false;
        QString avviso;
        quandoModale<QDialog>([&](QDialog *d) {
            for (QComboBox *c : d->findChildren<QComboBox *>())
                c->setCurrentIndex(c->accessibleName() == QStringLiteral("Figura") ? zoe.contrassegno.figura - 1
                                                                                   : zoe.contrassegno.colore);
            pulsanteRuolo(d, QDialogButtonBox::AcceptRole)->click();
            aperta = d->isVisible();
            avviso = testoEtichetta(d, QStringLiteral("Il contrassegno"));
            if (aperta)
                d->reject();
        });
        pulsanteDi(&classi, QStringLiteral("Contrassegno…"))->click();
        QVERIFY(aperta);
        QCOMPARE(avviso, "Il contrassegno scelto è di «Zoë».");
    }

    // Keys: no mnemonic twice in a window, Enter prints nothing, and a pupil with no exercise stays
    // last whichever column is sorted, either way.
    void tastiEOrdine()
    {
        FrmClassi classi(*registro);
        PasswordInsegnante nuova(cartella.filePath(QStringLiteral("pw-tasti")));
        AccessoInsegnante accesso(nuova);
        finestra->apriAndamento(numeroRiga(QStringLiteral("Anna")));
        auto *andamento = finestra->findChild<FrmAndamento *>();
        QVERIFY(andamento);
        for (QWidget *w : std::initializer_list<QWidget *>{finestra, &classi, &accesso, andamento})
            QVERIFY2(mnemoniciDoppi(w).isEmpty(), qPrintable(mnemoniciDoppi(w).join(QLatin1Char('\n'))));

        QSignalSpy stampe(andamento, &FrmAndamento::stampaRichiesta);
        QSignalSpy dati(andamento, &FrmAndamento::datiRichiesti);
        AmbienteTest::elabora();
        QTest::keyClick(andamento, Qt::Key_Return);
        QCOMPARE(stampe.count() + dati.count(), 0);
        delete andamento;

        QAbstractItemModel *vista = finestra->tabella()->model();
        for (int c = ModelloClasse::Esercizi; c < ModelloClasse::Colonne; ++c)
            for (Qt::SortOrder ordine : {Qt::AscendingOrder, Qt::DescendingOrder}) {
                finestra->tabella()->sortByColumn(c, ordine);
                for (int r = 1; r < vista->rowCount(); ++r)
                    QVERIFY2(vista->index(r, 0).data(ModelloClasse::ruoloInattivo).toBool() ||
                                 !vista->index(r - 1, 0).data(ModelloClasse::ruoloInattivo).toBool(),
                             qPrintable(ModelloClasse::intestazione(c)));
            }
        finestra->tabella()->sortByColumn(ModelloClasse::Alunno, Qt::AscendingOrder);
    }

    // What a screen reader meets: a row read by the pupil's name, the window by the name on screen, and
    // nothing unnamed in a pupil's window.
    void lettoreDiSchermo()
    {
        QAccessibleInterface *tabella = QAccessible::queryAccessibleInterface(finestra->tabella());
        QVERIFY(tabella && tabella->tableInterface());
        for (int r = 0; r < finestra->tabella()->model()->rowCount(); ++r) {
            QAccessibleInterface *cella = tabella->tableInterface()->cellAt(r, ModelloClasse::Esatte);
            QVERIFY(cella && cella->tableCellInterface());
            // Qt makes the header cells afresh for the caller, who owns them.
            const auto intestazioni = cella->tableCellInterface()->rowHeaderCells();
            const QString nome = intestazioni.size() == 1 ? intestazioni.first()->text(QAccessible::Name) : QString();
            for (QAccessibleInterface *i : intestazioni)
                QAccessible::deleteAccessibleInterface(QAccessible::registerAccessibleInterface(i));
            QCOMPARE(nome, finestra->tabella()->model()->index(r, ModelloClasse::Alunno).data().toString());
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(finestra)->text(QAccessible::Name), finestra->windowTitle());

        finestra->apriAndamento(0);
        auto *andamento = finestra->findChild<FrmAndamento *>();
        QVERIFY(andamento);
        AmbienteTest::elabora();
        QStringList senzaNome;
        std::function<void(QAccessibleInterface *, int)> visita = [&](QAccessibleInterface *i, int livello) {
            if (!i || livello > 6)
                return;
            const QAccessible::Role ruolo = i->role();
            // Containers may go unnamed; whatever a reader stops on may not, and a grip nobody can move
            // with the keyboard is not there at all.
            const bool contenitore = ruolo == QAccessible::Grouping || ruolo == QAccessible::LayeredPane ||
                                     ruolo == QAccessible::Pane || ruolo == QAccessible::Client;
            if (ruolo == QAccessible::Grip || (!contenitore && i->text(QAccessible::Name).isEmpty()))
                senzaNome << QStringLiteral("%1 %2")
                                 .arg(int(ruolo))
                                 .arg(i->object() ? i->object()->metaObject()->className() : "");
            if (ruolo == QAccessible::Cell || ruolo == QAccessible::Row || ruolo == QAccessible::ColumnHeader ||
                ruolo == QAccessible::RowHeader || ruolo == QAccessible::Table)
                return;
            for (int c = 0; c < i->childCount(); ++c)
                visita(i->child(c), livello + 1);
        };
        visita(QAccessible::queryAccessibleInterface(andamento), 0);
        delete andamento;
        QVERIFY2(senzaNome.isEmpty(), qPrintable(senzaNome.join(QLatin1Char('\n'))));
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

    // "Classi e alunni" sets a class's path and a pupil's fixed level through a dialog of its own; the
    // lists show them, and a change the register refuses leaves the dialog open with the reason.
    void livelliDaClassiEAlunni()
    {
        livelli = Registro::apri(cartella.filePath(QStringLiteral("livelli/registro.sqlite")));
        const auto classe = livelli->creaClasse(QStringLiteral("3ª C"));
        QVERIFY(classe);
        QList<Alunno> nuovi{{{}, {}, QStringLiteral("Ada"), {}},
                            {{}, {}, QStringLiteral("Ettore"), {}},
                            {{}, {}, QStringLiteral("Ivo"), {}},
                            {{}, {}, QStringLiteral("Olga"), {}}};
        QVERIFY(livelli->aggiungiAlunni(classe->id, nuovi));
        FrmClassi classi(*livelli);
        classi.show();
        classi.classi()->setCurrentRow(0);
        QPushButton *perClasse = pulsanteDi(&classi, QStringLiteral("Livello della classe…"));
        QPushButton *perAlunno = pulsanteDi(&classi, QStringLiteral("Livello dell'alunno…"));
        QVERIFY(perClasse && perAlunno);

        // Chooses in the dialog a button opens, confirms, and tells whether it stayed open and why.
        struct Esito {
            bool aperta = false;
            QString avviso;
            QStringList tagliati;
            QStringList doppi;
        };
        const auto scegli = [&](QPushButton *pulsante, const QString &voce, int da, int a) {
            Esito e;
            quandoModale<QDialog>([&e, voce, da, a](QDialog *d) {
                for (QRadioButton *r : d->findChildren<QRadioButton *>())
                    if (QString(r->text()).remove(QLatin1Char('&')).startsWith(voce))
                        r->setChecked(true);
                if (QComboBox *fisso = sceltaDi(d, QStringLiteral("Livello fisso")); fisso && da == a)
                    fisso->setCurrentIndex(fisso->findData(da));
                if (QComboBox *dal = sceltaDi(d, QStringLiteral("Percorso: dal livello")); dal && da < a) {
                    dal->setCurrentIndex(dal->findData(da));
                    QComboBox *finoAl = sceltaDi(d, QStringLiteral("Percorso: al livello"));
                    finoAl->setCurrentIndex(finoAl->findData(a));
                }
                AmbienteTest::elabora();
                e.tagliati = tagli(d);
                e.doppi = mnemoniciDoppi(d);
                pulsanteRuolo(d, QDialogButtonBox::AcceptRole)->click();
                e.aperta = d->isVisible();
                if (!e.aperta)
                    return;
                AmbienteTest::elabora();
                e.avviso = testoEtichetta(d, QStringLiteral("Il livello"));
                d->reject();
            });
            pulsante->click();
            return e;
        };
        const Esito percorso = scegli(perClasse, QStringLiteral("Un percorso"), 1, 4);
        QVERIFY(!percorso.aperta);
        QVERIFY2(percorso.tagliati.isEmpty(), qPrintable(percorso.tagliati.join(QLatin1Char('\n'))));
        QVERIFY2(percorso.doppi.isEmpty(), qPrintable(percorso.doppi.join(QLatin1Char('\n'))));
        QCOMPARE(livelli->classi().first().livello, (ImpostazioneLivello{1, 4}));
        QVERIFY2(classi.classi()->item(0)->text().contains(QStringLiteral("percorso 1-4")),
                 qPrintable(classi.classi()->item(0)->text()));

        const auto scegliAlunno = [&](const QString &nome) {
            const QList<QListWidgetItem *> trovati = classi.alunni()->findItems(nome, Qt::MatchStartsWith);
            QVERIFY(trovati.size() == 1);
            classi.alunni()->setCurrentItem(trovati.first());
        };
        scegliAlunno(QStringLiteral("Ettore"));
        QVERIFY(!scegli(perAlunno, QStringLiteral("Un livello fisso"), 2, 2).aperta);
        QMap<QString, Alunno> kept;
        for (const Alunno &a : livelli->alunni(classe->id))
            kept.insert(a.nome, a);
        QCOMPARE(kept.value(QStringLiteral("Ettore")).livello, (ImpostazioneLivello{2, 2}));
        QVERIFY(!kept.value(QStringLiteral("Ada")).livello.impostata());
        QVERIFY(classi.alunni()
                    ->findItems(QStringLiteral("Ettore"), Qt::MatchStartsWith)
                    .first()
                    ->text()
                    .endsWith(QStringLiteral("livello 2")));
        QVERIFY(!classi.alunni()
                     ->findItems(QStringLiteral("Ada"), Qt::MatchStartsWith)
                     .first()
                     ->text()
                     .contains(QStringLiteral("livello")));

        // Olga is gone meanwhile (another teacher): the register's refusal stays in the dialog.
        QVERIFY(livelli->cancellaAlunno(kept.value(QStringLiteral("Olga")).id));
        scegliAlunno(QStringLiteral("Olga"));
        const Esito rifiutato = scegli(perAlunno, QStringLiteral("Un livello fisso"), 5, 5);
        QVERIFY(rifiutato.aperta);
        QVERIFY2(rifiutato.avviso.contains(QStringLiteral("non c'è più")), qPrintable(rifiutato.avviso));
    }

    // The class table shows each pupil's level or place on the path; the results, the CSV, the chart
    // and the reports tell the levels apart. A class with no level keeps its table as it was.
    void livelliNelleCifre()
    {
        if (!livelli)
            QSKIP("needs the register of livelliDaClassiEAlunni");
        const QString classe = livelli->classi().first().id;
        QMap<QString, Alunno> presenti;
        for (const Alunno &a : livelli->alunni(classe))
            presenti.insert(a.nome, a);
        const auto al = [](Risultato r, int livello) {
            r.livello = livello;
            return r;
        };
        const Alunno ada = presenti.value(QStringLiteral("Ada"));
        const Alunno ettore = presenti.value(QStringLiteral("Ettore"));
        // Ada climbs from 2 to 3 on the class's path; Ettore stays at his fixed 2.
        for (const Risultato &r : {al(risultato(ada, "2026-12-07T09:00:00Z", 0, true, 4), 2),
                                   al(risultato(ada, "2026-12-08T09:00:00Z", 1, false, 9), 2),
                                   al(risultato(ada, "2026-12-09T09:00:00Z", 1, true, 5), 3),
                                   al(risultato(ettore, "2026-12-08T10:00:00Z", 0, true, 3), 2),
                                   al(risultato(ettore, "2026-12-08T10:01:00Z", 2, true, 6), 2),
                                   al(risultato(ettore, "2026-12-08T10:02:00Z", 1, true, 4), 2)})
            livelli->registra(r);
        QVERIFY(livelli->svuota(10000));

        FrmRegistro finestraLivelli(*livelli);
        finestraLivelli.impostaOggi(QDate(2026, 12, 9));
        QTRY_VERIFY(!finestraLivelli.inLettura());
        const auto colonnaLivello = [](FrmRegistro &f) {
            QAbstractItemModel *m = f.tabella()->model();
            for (int c = 0; c < m->columnCount(); ++c)
                if (m->headerData(c, Qt::Horizontal).toString() == QStringLiteral("Livello"))
                    return c;
            return -1;
        };
        const int colonna = colonnaLivello(finestraLivelli);
        QVERIFY(colonna >= 0);
        QVERIFY(!finestraLivelli.tabella()->isColumnHidden(colonna));
        QMap<QString, QString> livelloDi;
        QAbstractItemModel *vista = finestraLivelli.tabella()->model();
        for (int r = 0; r < vista->rowCount(); ++r)
            livelloDi.insert(vista->index(r, 0).data().toString(), vista->index(r, colonna).data().toString());
        QCOMPARE(livelloDi.value(QStringLiteral("Ada")), "1→4, ora 3");
        QCOMPARE(livelloDi.value(QStringLiteral("Ettore")), "2");
        QCOMPARE(livelloDi.value(QStringLiteral("Ivo")), "1→4");
        // A class with no level at all: no column to read.
        QVERIFY(colonnaLivello(*finestra) < 0 || finestra->tabella()->isColumnHidden(colonnaLivello(*finestra)));

        // The CSV ends each row with the result's level.
        const QString csv = cartella.filePath(QStringLiteral("livelli.csv"));
        QString errore;
        Registro::Filtro filtro;
        filtro.classe = classe;
        QCOMPARE(EsportaCsv::esporta(*livelli, filtro, csv, &errore), 6);
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList righe = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QVERIFY2(righe.value(0).endsWith(QStringLiteral("\"sessione\";\"id\";\"livello\"")),
                 qPrintable(righe.value(0)));
        QStringList livelliCsv;
        for (const QString &riga : righe.mid(1))
            livelliCsv << riga.section(QLatin1Char(';'), -1);
        QCOMPARE(livelliCsv, (QStringList{"\"2\"", "\"2\"", "\"2\"", "\"2\"", "\"2\"", "\"3\""}));

        // Ada's chart per level: only that level's results, and a warning when the levels are mixed.
        for (int r = 0; r < finestraLivelli.modello().rowCount(); ++r)
            if (finestraLivelli.modello().righe().at(r).alunno.nome == QStringLiteral("Ada"))
                finestraLivelli.apriAndamento(r);
        auto *andamento = finestraLivelli.findChild<FrmAndamento *>();
        QVERIFY(andamento);
        QComboBox *livello = sceltaDi(andamento, QStringLiteral("Livello"));
        QVERIFY(livello);
        QStringList voci;
        for (int i = 0; i < livello->count(); ++i)
            voci << livello->itemText(i);
        QCOMPARE(voci, (QStringList{"Tutti", "2", "3"}));
        const auto esercizi = [&] {
            const ModelloAndamento &m = andamento->andamento();
            int n = 0;
            for (int r = 0; r < m.rowCount(); ++r)
                for (int t = 0; t < Riepilogo::tipi; ++t)
                    n += m.esercizi(r, t);
            return n;
        };
        const auto misti = [&] {
            for (QLabel *l : andamento->findChildren<QLabel *>())
                if (l->isVisibleTo(andamento) && l->text().contains(QStringLiteral("livelli diversi")))
                    return true;
            return false;
        };
        QCOMPARE(esercizi(), 3);
        QVERIFY(misti());
        livello->setCurrentIndex(livello->findText(QStringLiteral("2")));
        QCOMPARE(esercizi(), 2);
        QCOMPARE(andamento->elenco()->model()->rowCount(), 2);
        QCOMPARE(GraficoAndamento::punti(andamento->andamento(), 1, ModelloAndamento::Grandezza::Percentuale),
                 (QList<QPointF>{{15, 0}}));
        QVERIFY(!misti());
        QVERIFY2(mnemoniciDoppi(andamento).isEmpty(), qPrintable(mnemoniciDoppi(andamento).join(QLatin1Char('\n'))));
        delete andamento;

        // The class report, from the command line as from the window, says each pupil's levels.
        if (!PaginaPdf::disponibile())
            QSKIP("pdftotext is not installed");
        const QString pdf = cartella.filePath(QStringLiteral("livelli.pdf"));
        QCOMPARE(ComandiInsegnante::rapportoPdf(*livelli, pdf, QStringLiteral("3ª C"), {}, {}), 0);
        const QString testo = PaginaPdf::esegui(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, "-"});
        const auto rigaDi = [&](const QString &nome) {
            for (const QString &r : testo.split(QLatin1Char('\n')))
                if (r.trimmed().startsWith(nome))
                    return r;
            return QString();
        };
        QVERIFY2(testo.contains(QStringLiteral("Livelli")), qPrintable(testo));
        // Name, levels, exercises.
        QVERIFY2(rigaDi(QStringLiteral("Ada")).contains(QRegularExpression(QStringLiteral("^\\s*Ada\\s+2–3\\s+3\\s"))),
                 qPrintable(testo));
        QVERIFY2(
            rigaDi(QStringLiteral("Ettore")).contains(QRegularExpression(QStringLiteral("^\\s*Ettore\\s+2\\s+3\\s"))),
            qPrintable(testo));
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
