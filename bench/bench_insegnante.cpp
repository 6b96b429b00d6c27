// The teacher's window on a school year of one class (25 pupils x 200 days x 50
// results), on both engines side by side: the SQLite file, and the same results on a
// private PostgreSQL server over TLS read with a teacher's login. The class table (the
// period shown, then the whole year, and the longest the window's thread was kept from
// its events meanwhile), a filter change, a pupil's chart, the class report.
// Usage: bench_insegnante [registro.sqlite]; with no file, bench_registro makes the year first.
//        bench_insegnante --esempio registro.sqlite makes a small class with named pupils and
//        a term of results up to today, for looking at the window.
#include "insegnante/FrmAndamento.h"
#include "insegnante/FrmRegistro.h"
#include "insegnante/GraficoAndamento.h"
#include "insegnante/RapportiRegistro.h"
#include "printing/StampanteCorrente.h"
#include "printing/SuperficieStampa.h"
#include "registro/PreparazioneServer.h"
#include "registro/Registro.h"
#include "registro/RegistroServer.h"
#include "support/ServerPostgresProva.h"
#include "ui/Messaggio.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Cifra {
    double mediana = 0;
    double massimo = 0;
};

Cifra cifra(const std::vector<double> &tempi)
{
    return {mediana(tempi), *std::max_element(tempi.begin(), tempi.end())};
}

// Median and worst of n runs, in milliseconds.
Cifra misura(int volte, const std::function<void()> &passo)
{
    std::vector<double> tempi;
    for (int i = 0; i < volte; ++i) {
        QElapsedTimer t;
        t.start();
        passo();
        tempi.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return cifra(tempi);
}

// The window's thread as the teacher feels it: a timer that should fire every 2 ms, whose
// longest gap is the longest the thread was kept from its events (drawing, keys, the mouse).
class Sonda {
public:
    Sonda()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, [this] { batti(); });
    }
    // From now: whatever the thread does before its first beat counts too.
    void avvia()
    {
        massimo_ = 0;
        orologio_.start();
        ultimo_ = 0;
        timer_.start();
    }
    double ferma()
    {
        batti();
        timer_.stop();
        return massimo_;
    }

private:
    void batti()
    {
        const qint64 adesso = orologio_.nsecsElapsed();
        massimo_ = std::max(massimo_, double(adesso - ultimo_) / 1e6);
        ultimo_ = adesso;
    }
    QTimer timer_;
    QElapsedTimer orologio_;
    qint64 ultimo_ = 0;
    double massimo_ = 0;
};

// One engine's figures, by name.
using Cifre = std::map<std::string, Cifra>;

// The window opened on a register opened afresh each time (as after the teacher's login): the
// period shown, the whole school year, and the thread's longest stretch meanwhile. The first
// opening in the process also pays for Qt's own start (styles, fonts), which the program has
// paid for with its start window: it is counted apart.
void apertura(const std::function<std::unique_ptr<Registro>()> &apri, int volte, Cifre &cifre)
{
    std::vector<double> mostrato, anno, tratto;
    for (int i = 0; i < volte; ++i) {
        const std::unique_ptr<Registro> registro = apri();
        Sonda sonda;
        QElapsedTimer t;
        sonda.avvia();
        t.start();
        double primo = -1;
        {
            FrmRegistro finestra(*registro);
            finestra.show();
            for (;;) {
                if (primo < 0 && finestra.modello().rowCount() > 0)
                    primo = double(t.nsecsElapsed()) / 1e6;
                if (primo >= 0 && !finestra.inLettura())
                    break;
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
            anno.push_back(double(t.nsecsElapsed()) / 1e6);
            tratto.push_back(sonda.ferma());
        }
        mostrato.push_back(primo);
    }
    cifre["mostrato"] = cifra(mostrato);
    cifre["anno"] = cifra(anno);
    cifre["tratto"] = cifra(tratto);
}

// Filter, chart, pupil's window and report on a window already open.
void inMemoria(Registro &registro, const QString &classe, const QString &nome, const QString &cartella, Cifre &cifre)
{
    cifre["lettura"] = misura(3, [&] {
        Riepilogo::DatiClasse::carica(registro, classe, Riepilogo::Periodo::annoScolastico(Riepilogo::oggi()))
            ->righe(Riepilogo::Periodo::annoScolastico(Riepilogo::oggi()));
    });
    FrmRegistro finestra(registro);
    finestra.show();
    while (finestra.inLettura())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    int scelta = 0;
    cifre["filtro"] = misura(20, [&] {
        ++scelta;
        if (scelta % 2)
            finestra.periodi()->setCurrentIndex((scelta / 2) % 3);
        else
            finestra.tipi()->setCurrentIndex((scelta / 2) % 4);
        QApplication::processEvents();
    });
    const auto dati =
        Riepilogo::DatiClasse::carica(registro, classe, Riepilogo::Periodo::annoScolastico(Riepilogo::oggi()));
    cifre["grafico"] = misura(10, [&] {
        ModelloAndamento modello;
        modello.imposta(dati->andamento(3, Riepilogo::oggi()));
        QImage immagine(720, 420, QImage::Format_RGB32);
        immagine.fill(Qt::white);
        QPainter p(&immagine);
        GraficoAndamento::disegna(p, QRectF(0, 0, 720, 420), modello);
    });
    cifre["alunno"] = misura(5, [&] {
        finestra.periodi()->setCurrentIndex(int(FrmRegistro::Scelta::Anno));
        FrmAndamento andamento(registro, *dati, 3, Riepilogo::oggi(), {nome, finestra.periodo(), -1});
        andamento.show();
        QApplication::processEvents();
    });
    static int n = 0;
    cifre["rapporto"] = misura(5, [&] {
        finestra.periodi()->setCurrentIndex(int(FrmRegistro::Scelta::Anno));
        finestra.stampaRiepilogo(QDir(cartella).filePath(QStringLiteral("classe%1.pdf").arg(++n)));
    });
}

// Runs psql as the private server's superuser with `dati` on its standard input (for COPY ... FROM STDIN).
bool psql(const ServerPostgresProva &server, const QString &sql, const QByteArray &dati = {})
{
    QProcess p;
    p.start(QStringLiteral("psql"),
            {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
             QStringLiteral("-h"), server.cartella(), QStringLiteral("-p"), QString::number(server.porta()),
             QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-d"), QStringLiteral("quorvel"),
             QStringLiteral("-c"), sql});
    p.write(dati);
    p.closeWriteChannel();
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "psql: %s\n", p.readAllStandardError().constData());
        return false;
    }
    return true;
}

// The file's classes, pupils, sessions and results copied to the server as they are, so both engines
// hold the same year. The server checks that an answer fits its exercise, which the figures never
// read: N and the answer are made to fit, right or wrong as they were.
bool copiaSulServer(const QString &file, ServerPostgresProva &server)
{
    const QString nome = QStringLiteral("copia");
    bool riuscita = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            return false;
        const auto copia = [&](const QString &tabella, const QString &colonne, const QString &select) {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (!q.exec(select))
                return false;
            QByteArray csv;
            while (q.next()) {
                QStringList campi;
                for (int i = 0; i < q.record().count(); ++i) {
                    const QVariant v = q.value(i);
                    campi << (v.isNull()
                                  ? QString()
                                  : QLatin1Char('"') + v.toString().replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                                        QLatin1Char('"'));
                }
                csv += campi.join(QLatin1Char(',')).toUtf8() + '\n';
            }
            return psql(server, QStringLiteral("COPY %1 (%2) FROM STDIN WITH (FORMAT csv)").arg(tabella, colonne), csv);
        };
        const QString id = QStringLiteral("'\\x' || hex(%1)");
        riuscita =
            copia(QStringLiteral("classi"), QStringLiteral("id, nome, archiviata, chiave"),
                  QStringLiteral("SELECT %1, nome, archiviata, chiave FROM classi").arg(id.arg("id"))) &&
            copia(QStringLiteral("alunni"), QStringLiteral("id, classe, nome, figura, colore, chiave"),
                  QStringLiteral("SELECT %1, %2, nome, figura, colore, chiave FROM alunni")
                      .arg(id.arg("id"), id.arg("classe"))) &&
            copia(
                QStringLiteral("sessioni"), QStringLiteral("id, alunno, macchina, inizio"),
                QStringLiteral("SELECT %1, %2, macchina, inizio FROM sessioni").arg(id.arg("id"), id.arg("alunno"))) &&
            copia(QStringLiteral("risultati"),
                  QStringLiteral("id, alunno, sessione, quando, tipo, n, figura, risposta, esatto, aiuto, intervento,"
                                 " secondi, arrivo"),
                  QStringLiteral("SELECT %1, %2, %3, quando, tipo, 5, figura, CASE WHEN esatto THEN 4 ELSE 5 END,"
                                 " esatto, aiuto, intervento, secondi, quando FROM risultati")
                      .arg(id.arg("id"), id.arg("alunno"), id.arg("sessione")));
    }
    QSqlDatabase::removeDatabase(nome);
    return riuscita &&
           psql(server, QStringLiteral("INSERT INTO docenze (classe, login) SELECT id, 'maestra' FROM classi")) &&
           psql(server, QStringLiteral("VACUUM ANALYZE"));
}

// Eighteen pupils, each with a skill of their own that grows over the term; three
// have not practised this week, one has never practised.
int esempio(const QString &file)
{
    const QStringList nomi = {"Alice",  "Bruno", "Chiara", "Davide",   "Elisa",    "Federico",
                              "Giulia", "Hamza", "Irene",  "Jacopo",   "Ludovica", "Marco",
                              "Nadia",  "Omar",  "Paola",  "Riccardo", "Sofia",    "Tommaso"};
    const auto registro = Registro::apri(file);
    QList<Alunno> alunni;
    for (const QString &n : nomi)
        alunni.append({{}, {}, n, {}});
    const auto classe = registro->creaClasse(QStringLiteral("2ª B 2026/27"));
    if (!classe || !registro->aggiungiAlunni(classe->id, alunni)) {
        std::fprintf(stderr, "%s\n", qPrintable(registro->errore()));
        return 1;
    }
    QRandomGenerator caso(8122026);
    const QDate oggi = Riepilogo::oggi();
    const QDate lunedi = oggi.addDays(1 - oggi.dayOfWeek());
    for (int a = 0; a < alunni.size() - 1; ++a) {
        const bool assente = a % 6 == 4;
        for (QDate giorno(2026, 9, 14); giorno <= oggi; giorno = giorno.addDays(1)) {
            if (giorno.dayOfWeek() > 5 || caso.bounded(3) == 0 || (assente && giorno >= lunedi))
                continue;
            const double progresso = double(QDate(2026, 9, 14).daysTo(giorno)) / 90;
            const QString sessione = Registro::nuovoId();
            for (int k = 0; k < 12; ++k) {
                Risultato r;
                r.id = Registro::nuovoId();
                r.alunno = alunni[a].id;
                r.sessione = sessione;
                r.quando = QDateTime(giorno, QTime(9 + a % 4, k * 3), Qt::UTC);
                r.macchina = QStringLiteral("aula-pc%1").arg(a % 5 + 1);
                r.tipo = k % 3;
                r.n = 1 + int(caso.bounded(9));
                r.figura = 1 + int(caso.bounded(12));
                const double bravura = std::min(0.97, 0.35 + 0.03 * (a % 7) + 0.4 * progresso - 0.12 * r.tipo);
                r.esatto = caso.generateDouble() < bravura;
                r.risposta = r.esatto ? r.n - r.tipo : r.n;
                r.aiuto = r.esatto ? Risultato::Aiuto::NonOfferto
                                   : (caso.bounded(2) ? Risultato::Aiuto::Accettato : Risultato::Aiuto::Rifiutato);
                r.intervento = !r.esatto && caso.bounded(6) == 0;
                r.secondi = qint64(4 + caso.bounded(10) + (1 - progresso) * 8 + r.tipo * 2);
                registro->registra(r);
            }
        }
    }
    return registro->svuota(60000) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool esempio_ = argc > 2 && QByteArray(argv[1]) == "--esempio";
    QTemporaryDir cartella;
    // The teacher's register on the server keeps its outbox and its copy of the classes in the
    // user's data folder: the bench's own.
    if (!esempio_) {
        qputenv("XDG_DATA_HOME", cartella.filePath(QStringLiteral("dati")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", cartella.filePath(QStringLiteral("config")).toLocal8Bit());
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    if (esempio_)
        return esempio(QString::fromLocal8Bit(argv[2]));
    Messaggio::impostaRegistratore([](const QString &) {});
    QString file = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (file.isEmpty()) {
        std::printf("making the school year with bench_registro...\n");
        std::fflush(stdout);
        QProcess::execute(QStringLiteral(QUORVEL_BENCH_REGISTRO), {cartella.path()});
        file = cartella.filePath(QStringLiteral("registro.sqlite"));
    }
    if (!QFile::exists(file)) {
        std::fprintf(stderr, "no register file %s\n", qPrintable(file));
        return 1;
    }
    const QList<Classe> classi = Registro::apri(file)->classi();
    if (classi.isEmpty()) {
        std::fprintf(stderr, "no class in %s\n", qPrintable(file));
        return 1;
    }
    const QString classe = classi.first().id;
    int risultati = 0;
    Registro::apri(file)->risultatiBrevi({}, [&](const Registro::RigaBreve &) { ++risultati; });
    std::printf("register: %d results, class %s\n", risultati, qPrintable(classi.first().nome));

    std::printf("copying them to a private PostgreSQL server...\n");
    std::fflush(stdout);
    ServerPostgresProva server;
    const auto fallisci = [&](const QString &perche) {
        std::fprintf(stderr, "bench_insegnante: %s\n", qPrintable(perche));
        return 1;
    };
    if (!server.avvia())
        return fallisci(server.errore());
    if (const auto preparato = PreparazioneServer::prepara(server.conninfo()); !preparato.riuscito)
        return fallisci(preparato.messaggio);
    if (!server.creaLogin(QStringLiteral("maestra"), QStringLiteral("quorvel_insegnanti")))
        return fallisci(server.errore());
    if (!copiaSulServer(file, server))
        return fallisci(QStringLiteral("the year could not be copied"));
    std::vector<double> accessi;
    const auto maestra = [&]() -> std::unique_ptr<Registro> {
        QString errore;
        QElapsedTimer t;
        t.start();
        auto r = RegistroServer::accedi(server.conninfo(), QStringLiteral("maestra"), server.password(), &errore);
        accessi.push_back(double(t.nsecsElapsed()) / 1e6);
        if (!r)
            std::fprintf(stderr, "bench_insegnante: %s\n", qPrintable(errore));
        return r;
    };
    int sulServer = 0;
    const auto prova = maestra();
    if (!prova)
        return 1;
    prova->risultatiBrevi({}, [&](const Registro::RigaBreve &) { ++sulServer; });
    std::printf("the server holds %d of them, read with a teacher's login over TLS\n\n", sulServer);

    Cifre sqlite, postgres;
    apertura([&] { return Registro::apri(file); }, 1, sqlite);
    sqlite["prima"] = sqlite["mostrato"];
    sqlite["primoTratto"] = sqlite["tratto"];
    apertura([&] { return Registro::apri(file); }, 5, sqlite);
    apertura(maestra, 5, postgres);
    postgres["prima"] = postgres["primoTratto"] = Cifra{-1, -1};
    inMemoria(*Registro::apri(file), classe, classi.first().nome, cartella.path(), sqlite);
    inMemoria(*prova, classe, classi.first().nome, cartella.path(), postgres);

    struct Riga {
        const char *chiave;
        const char *cosa;
        double obiettivo;
    };
    const Riga righe[] = {
        {"prima", "first window of the process (Qt's start): period shown", -1},
        {"primoTratto", "  window's thread: longest stretch away from events", -1},
        {"mostrato", "class table opens: the period shown (this week)", 200},
        {"anno", "  the whole school year read, filters in memory", -1},
        {"tratto", "  window's thread: longest stretch away from events", 16},
        {"lettura", "school year read and counted (one thread, reference)", -1},
        {"filtro", "filter change (period or kind, in memory)", 100},
        {"grafico", "pupil's chart (weeks counted, model, drawn)", 100},
        {"alunno", "pupil's window (chart, tables, the year's results)", 300},
        {"rapporto", "class report PDF (school year)", 1000},
    };
    std::printf("%-56s %21s %21s  %s\n", "median (max) in ms", "SQLite file", "PostgreSQL, TLS", "goal");
    for (const Riga &r : righe) {
        const auto colonna = [&](const Cifre &c) {
            const Cifra &x = c.at(r.chiave);
            if (x.mediana < 0)
                return std::string("-");
            char testo[64];
            std::snprintf(testo, sizeof testo, "%8.1f (%8.1f)", x.mediana, x.massimo);
            return std::string(testo);
        };
        char obiettivo[32] = "-";
        if (r.obiettivo > 0)
            std::snprintf(obiettivo, sizeof obiettivo, "<= %.0f", r.obiettivo);
        std::printf("%-56s %21s %21s  %s\n", r.cosa, colonna(sqlite).c_str(), colonna(postgres).c_str(), obiettivo);
    }
    std::printf("%-56s %21s %8.1f (%8.1f)  (before the window)\n", "teacher's login on the server", "-",
                cifra(accessi).mediana, cifra(accessi).massimo);
    QFile carico(QStringLiteral("/proc/loadavg"));
    if (carico.open(QIODevice::ReadOnly))
        std::printf("load average: %s\n", carico.readLine().trimmed().constData());
    return 0;
}
