// The school lab's server under a whole lab's load: 30 PCs recording results
// through the real outbox and sender to a private PostgreSQL server, which is
// restarted once in the middle. Prints figures; asserts nothing about time.
//
//   bench_laboratorio [--pc 30] [--risultati 1000] [--intervallo-ms 10]
#include "registro/DepositoServer.h"
#include "registro/PostaUscita.h"
#include "registro/PreparazioneServer.h"
#include "registro/Schema.h"
#include "registro/Spedizioniere.h"
#include "support/ServerPostgresProva.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

int argomento(const QStringList &argomenti, const QString &nome, int predefinito)
{
    const qsizetype i = argomenti.indexOf(nome);
    return i >= 0 && i + 1 < argomenti.size() ? argomenti[i + 1].toInt() : predefinito;
}

// One PC: `quanti` results, one every `intervallo` ms, then waits for the outbox to drain.
// Prints what is left waiting.
int scrittore(const QStringList &a)
{
    const QString conninfo = a[2];
    const QString alunno = a[4];
    const int quanti = a[5].toInt();
    const int intervallo = a[6].toInt();
    Spedizioniere s([conninfo] { return std::make_unique<DepositoServer>(conninfo); }, a[3]);
    const QString sessione = Schema::nuovoId();
    for (int i = 0; i < quanti; ++i) {
        Risultato r;
        r.id = Schema::nuovoId();
        r.alunno = alunno;
        r.sessione = sessione;
        r.quando = QDateTime::currentDateTimeUtc();
        r.macchina = QSysInfo::machineHostName();
        r.tipo = i % 3;
        r.n = 1 + i % 9;
        r.figura = 1 + i % 12;
        r.risposta = r.n - 1;
        r.esatto = true;
        r.secondi = i; // with the pupil, tells every result apart on the server
        s.metti(r);
        if (intervallo > 0)
            QThread::msleep(ulong(intervallo));
    }
    s.svuota(600000);
    std::printf("%d\n", s.inAttesa());
    return 0;
}

[[noreturn]] void fallisci(const QString &perche)
{
    std::fprintf(stderr, "bench_laboratorio: %s\n", qPrintable(perche));
    std::exit(1);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = QCoreApplication::arguments();
    if (a.size() == 7 && a[1] == QLatin1String("--scrittore"))
        return scrittore(a);
    const int pc = argomento(a, QStringLiteral("--pc"), 30);
    const int risultati = argomento(a, QStringLiteral("--risultati"), 1000);
    const int intervallo = argomento(a, QStringLiteral("--intervallo-ms"), 10);

    const auto carico = [] {
        QFile f(QStringLiteral("/proc/loadavg"));
        return f.open(QIODevice::ReadOnly) ? f.readLine().trimmed() : QByteArray("?");
    };
    const QByteArray caricoPrima = carico();
    ServerPostgresProva server;
    if (!server.avvia())
        fallisci(server.errore());
    const auto preparato = PreparazioneServer::prepara(server.conninfo());
    if (!preparato.riuscito)
        fallisci(preparato.messaggio);
    if (!server.creaLogin(QStringLiteral("pc_aula"), QStringLiteral("quorvel_alunni")))
        fallisci(server.errore());
    QStringList sql{QStringLiteral("INSERT INTO classi VALUES ('\\x00000000000070008000000000000001', 'Lab', false)")};
    QStringList alunni;
    for (int i = 0; i < pc; ++i) {
        alunni << Schema::nuovoId();
        sql << QStringLiteral("INSERT INTO alunni VALUES ('\\x%1', '\\x00000000000070008000000000000001', "
                              "'Alunno %2', %3, %4)")
                   .arg(QString(alunni.last()).remove(QLatin1Char('-')))
                   .arg(i)
                   .arg(1 + i % 12)
                   .arg(i / 12);
    }
    if (server.psql(sql.join(QLatin1Char(';'))).isNull())
        fallisci(server.errore());

    QTemporaryDir cartella;
    std::vector<std::unique_ptr<QProcess>> scrittori;
    QElapsedTimer orologio;
    orologio.start();
    const qint64 inizio = QDateTime::currentMSecsSinceEpoch();
    for (int i = 0; i < pc; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--scrittore"), server.conninfo(QStringLiteral("pc_aula")),
                  cartella.filePath(QStringLiteral("uscita-%1.sqlite").arg(i)), alunni[i], QString::number(risultati),
                  QString::number(intervallo)});
        scrittori.push_back(std::move(p));
    }

    // Halfway through, the server stops as an administrator would stop it, and starts again.
    const int totale = pc * risultati;
    qint64 fermo = 0, ripreso = 0;
    while (orologio.elapsed() < 600000) {
        if (server.psql(QStringLiteral("SELECT count(*) FROM risultati")).toInt() >= totale / 2)
            break;
        QThread::msleep(100);
    }
    fermo = QDateTime::currentMSecsSinceEpoch();
    if (!server.ferma())
        fallisci(server.errore());
    QThread::msleep(1000);
    if (!server.avvia())
        fallisci(server.errore());
    ripreso = QDateTime::currentMSecsSinceEpoch();

    int inAttesa = 0;
    for (auto &p : scrittori) {
        if (!p->waitForFinished(600000) || p->exitCode() != 0)
            fallisci(QStringLiteral("a writer failed"));
        inAttesa += p->readAllStandardOutput().trimmed().toInt();
    }
    for (int i = 0; i < pc; ++i)
        inAttesa += PostaUscita(cartella.filePath(QStringLiteral("uscita-%1.sqlite").arg(i))).conta();

    // Answer to arrival of the results answered while the server was up: in the first 3 s, while
    // 30 programs start at once on this machine and connect; from then until a second before the
    // stop (those answered in that second are caught by the stop, and a result slower than a
    // second still counts); and after it was back (those wait behind what the PCs kept meanwhile).
    const QString tempi =
        QStringLiteral(" count(*) FILTER (WHERE %1),"
                       " percentile_cont(0.5) WITHIN GROUP (ORDER BY arrivo - quando) FILTER (WHERE %1),"
                       " percentile_cont(0.95) WITHIN GROUP (ORDER BY arrivo - quando) FILTER (WHERE %1)");
    const QStringList cifre =
        server
            .psql(QStringLiteral("SELECT count(*), count(*) - count(DISTINCT (alunno, secondi)), max(arrivo) - %1,")
                      .arg(inizio) +
                  tempi.arg(QStringLiteral("quando < %1").arg(inizio + 3000)) + QLatin1Char(',') +
                  tempi.arg(QStringLiteral("quando >= %1 AND quando < %2").arg(inizio + 3000).arg(fermo - 1000)) +
                  QLatin1Char(',') + tempi.arg(QStringLiteral("quando > %1").arg(ripreso)) +
                  QStringLiteral(" FROM risultati"))
            .split(QLatin1Char('|'));
    if (cifre.size() != 12)
        fallisci(server.errore());
    const double secondi = cifre[2].toDouble() / 1000.0;
    std::printf("bench_laboratorio: %d PCs x %d results, one every %d ms per PC, server restarted once "
                "(down %.1f s)\n",
                pc, risultati, intervallo, double(ripreso - fermo) / 1000.0);
    std::printf("  rows on the server:            %s (expected %d)\n", qPrintable(cifre[0]), totale);
    std::printf("  duplicates:                    %s\n", qPrintable(cifre[1]));
    std::printf("  left in outboxes after drain:  %d\n", inAttesa);
    std::printf("  results per second:            %.0f (first answer to last arrival, %.1f s)\n",
                cifre[0].toDouble() / secondi, secondi);
    std::printf("  answer to arrival, first 3 s (all PCs starting):  median %.0f ms, p95 %.0f ms (%s results)\n",
                cifre[4].toDouble(), cifre[5].toDouble(), qPrintable(cifre[3]));
    std::printf("  answer to arrival, then until 1 s before the stop: median %.0f ms, p95 %.0f ms (%s results)\n",
                cifre[7].toDouble(), cifre[8].toDouble(), qPrintable(cifre[6]));
    std::printf("  answer to arrival, after the restart (backlog):   median %.0f ms, p95 %.0f ms (%s results)\n",
                cifre[10].toDouble(), cifre[11].toDouble(), qPrintable(cifre[9]));
    std::printf("  load average before / after:   %s / %s\n", caricoPrima.constData(), carico().constData());
    return cifre[0].toInt() == totale && cifre[1].toInt() == 0 && inAttesa == 0 ? 0 : 1;
}
