// The class register on a SQLite file: one result from the window's call to
// the committed row, then a school year of one class (25 pupils x 200 days x
// 50 results) written through the same path, its file size, the CSV export
// and the per-pupil summary.
#include "app/RigaComandoRegistro.h"
#include "registro/Registro.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Processor time of the whole program: on a machine shared with other work the
// elapsed time also counts the waits for a core.
double processore()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

Risultato risultato(const Alunno &a, const QString &sessione, const QDateTime &quando, QRandomGenerator &caso)
{
    Risultato r;
    r.id = Registro::nuovoId();
    r.alunno = a.id;
    r.sessione = sessione;
    r.quando = quando;
    r.macchina = QStringLiteral("aula-informatica-07");
    r.tipo = int(caso.bounded(3));
    r.n = int(caso.bounded(10));
    r.figura = 1 + int(caso.bounded(12));
    r.esatto = caso.bounded(4) != 0;
    r.risposta = r.esatto ? r.n + 1 : int(caso.bounded(10));
    r.aiuto = r.esatto ? Risultato::Aiuto::NonOfferto : Risultato::Aiuto(1 + caso.bounded(3));
    r.secondi = 2 + caso.bounded(40);
    return r;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir cartella;
    // A folder given keeps the year's register and its export for a look afterwards.
    const QString file =
        (argc > 1 ? QString::fromLocal8Bit(argv[1]) : cartella.path()) + QStringLiteral("/registro.sqlite");
    QRandomGenerator caso(20261208);
    QList<Alunno> alunni;
    for (int i = 0; i < 25; ++i)
        alunni.append({{}, {}, QStringLiteral("Alunno %1").arg(i + 1), {}});
    QString classe;
    {
        // One result at a time, as a pupil answers: registra() on this thread, the commit on the sender's.
        // In a register of its own: an erasure stays, so the year's would drop results of its days.
        QList<Alunno> caldi = alunni;
        const auto registro = Registro::apri(cartella.filePath(QStringLiteral("caldo.sqlite")));
        if (!registro->importaAlunni(QStringLiteral("2ª B 2026/27"), caldi)) {
            std::fprintf(stderr, "%s\n", qPrintable(registro->errore()));
            return 1;
        }
        std::vector<double> chiamata, scrittura;
        const QString sessione = Registro::nuovoId();
        for (int i = 0; i < 2000; ++i) {
            const Risultato r = risultato(caldi[i % 25], sessione, QDateTime::currentDateTimeUtc(), caso);
            QElapsedTimer t;
            t.start();
            registro->registra(r);
            chiamata.push_back(double(t.nsecsElapsed()) / 1e6);
            registro->svuota(10000);
            scrittura.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::printf("one result, registra() on the window's thread: p50 %.3f ms, p95 %.3f ms, max %.3f ms\n",
                    percentile(chiamata, 0.5), percentile(chiamata, 0.95), percentile(chiamata, 1.0));
        std::printf("one result, window to committed row (goal p95 <= 2 ms): p50 %.3f ms, p95 %.3f ms, max %.3f ms\n",
                    percentile(scrittura, 0.5), percentile(scrittura, 0.95), percentile(scrittura, 1.0));
    }
    {
        const auto registro = Registro::apri(file);
        const auto c = registro->importaAlunni(QStringLiteral("2ª B 2026/27"), alunni);
        if (!c) {
            std::fprintf(stderr, "%s\n", qPrintable(registro->errore()));
            return 1;
        }
        classe = c->id;

        // The school year: each day every pupil opens the exercise once and answers 50 times,
        // the class's answers interleaved as in a lab.
        QElapsedTimer t;
        t.start();
        const QDateTime inizio(QDate(2026, 9, 14), QTime(8, 0), Qt::UTC);
        for (int giorno = 0; giorno < 200; ++giorno) {
            QStringList sessioni;
            for (int a = 0; a < 25; ++a)
                sessioni << Registro::nuovoId();
            for (int k = 0; k < 50; ++k)
                for (int a = 0; a < 25; ++a)
                    registro->registra(
                        risultato(alunni[a], sessioni[a], inizio.addDays(giorno).addSecs(k * 40 + a), caso));
            registro->svuota(600000);
        }
        if (!registro->svuota(600000)) {
            std::fprintf(stderr, "the year was not written: %s\n", qPrintable(registro->errore()));
            return 1;
        }
        std::printf("school year: 250000 results written in %.1f s\n", double(t.elapsed()) / 1000);
    }
    // The register closed: the journal is folded into the file.
    const qint64 dimensione = QFileInfo(file).size() + QFileInfo(file + QStringLiteral("-wal")).size();
    std::printf("school year: file %.1f MB (goal < 40 MB)\n", double(dimensione) / 1e6);

    const auto registro = Registro::apri(file);
    std::vector<double> riassunti;
    int righe = 0;
    const double cpuRiassunti = processore();
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer t;
        t.start();
        const auto r = registro->riassunto({classe, {}, {}, {}, -1});
        riassunti.push_back(double(t.nsecsElapsed()) / 1e6);
        righe = r ? int(r->size()) : -1;
    }
    std::printf("per-pupil summary (count, right, median seconds, per kind; %d rows; goal <= 100 ms): "
                "median %.1f ms, max %.1f ms elapsed, %.1f ms processor time each\n",
                righe, percentile(riassunti, 0.5), percentile(riassunti, 1.0), (processore() - cpuRiassunti) * 100);

    const QString csv = QFileInfo(file).absolutePath() + QStringLiteral("/risultati.csv");
    QElapsedTimer t;
    t.start();
    const double cpuEsporta = processore();
    const int esito = RigaComandoRegistro::esegui(
        {QStringLiteral("quorvel"), QStringLiteral("--registro"), file, QStringLiteral("--esporta-risultati"), csv});
    std::printf("CSV export of the year (goal <= 2 s): %.2f s elapsed, %.2f s processor time, %.1f MB, exit %d\n",
                double(t.elapsed()) / 1000, processore() - cpuEsporta, double(QFileInfo(csv).size()) / 1e6, esito);
    return 0;
}
