// The teacher's window on a school year of one class (25 pupils x 200 days x 50
// results): the class table, a filter change, a pupil's chart, the class report.
// Usage: bench_insegnante [registro.sqlite]; with no file, bench_registro makes the year first.
//        bench_insegnante --esempio registro.sqlite makes a small class with named pupils and
//        a term of results up to today, for looking at the window.
#include "insegnante/FrmAndamento.h"
#include "insegnante/FrmRegistro.h"
#include "insegnante/GraficoAndamento.h"
#include "insegnante/RapportiRegistro.h"
#include "printing/StampanteCorrente.h"
#include "printing/SuperficieStampa.h"
#include "registro/Registro.h"
#include "ui/Messaggio.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Median and worst of n runs, in milliseconds.
void misura(const char *cosa, double obiettivo, int volte, const std::function<void()> &passo)
{
    std::vector<double> tempi;
    for (int i = 0; i < volte; ++i) {
        QElapsedTimer t;
        t.start();
        passo();
        tempi.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("%-58s median %7.1f ms, max %7.1f ms (goal <= %.0f ms)\n", cosa, mediana(tempi),
                *std::max_element(tempi.begin(), tempi.end()), obiettivo);
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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    if (argc > 2 && QByteArray(argv[1]) == "--esempio")
        return esempio(QString::fromLocal8Bit(argv[2]));
    Messaggio::impostaRegistratore([](const QString &) {});
    QTemporaryDir cartella;
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
    const auto registro = Registro::apri(file);
    const QList<Classe> classi = registro->classi();
    if (classi.isEmpty()) {
        std::fprintf(stderr, "no class in %s\n", qPrintable(file));
        return 1;
    }
    int risultati = 0;
    registro->risultati({}, [&](const Registro::RigaRisultato &) { ++risultati; });
    std::printf("register: %d results, class %s\n", risultati, qPrintable(classi.first().nome));

    // The window as the teacher opens it: the school year loaded, this week shown.
    misura("school year read and counted on this thread", 200, 3, [&] {
        Riepilogo::DatiClasse::carica(*registro, classi.first().id,
                                      Riepilogo::Periodo::annoScolastico(Riepilogo::oggi()))
            ->righe(Riepilogo::Periodo::annoScolastico(Riepilogo::oggi()));
    });
    // The window answers at once; the figures come when the year is read on its own thread.
    const auto apri = [&](FrmRegistro &finestra, double *risposta = nullptr) {
        QElapsedTimer t;
        t.start();
        finestra.show();
        QApplication::processEvents();
        if (risposta)
            *risposta = double(t.nsecsElapsed()) / 1e6;
        while (finestra.inLettura())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    };
    std::vector<double> risposte;
    misura("class table opens (window, school year read, figures shown)", 200, 5, [&] {
        FrmRegistro finestra(*registro);
        risposte.push_back(0);
        apri(finestra, &risposte.back());
    });
    std::printf("%-58s median %7.1f ms\n", "  of which the window's thread busy before it answers", mediana(risposte));
    FrmRegistro finestra(*registro);
    apri(finestra);
    int scelta = 0;
    misura("filter change (period or kind, in memory)", 100, 20, [&] {
        ++scelta;
        if (scelta % 2)
            finestra.periodi()->setCurrentIndex((scelta / 2) % 3);
        else
            finestra.tipi()->setCurrentIndex((scelta / 2) % 4);
        QApplication::processEvents();
    });
    const auto dati = Riepilogo::DatiClasse::carica(*registro, classi.first().id,
                                                    Riepilogo::Periodo::annoScolastico(Riepilogo::oggi()));
    misura("pupil's chart (weeks counted, model, drawn)", 100, 10, [&] {
        ModelloAndamento modello;
        modello.imposta(dati->andamento(3, Riepilogo::oggi()));
        QImage immagine(720, 420, QImage::Format_RGB32);
        immagine.fill(Qt::white);
        QPainter p(&immagine);
        GraficoAndamento::disegna(p, QRectF(0, 0, 720, 420), modello);
    });
    misura("pupil's window (chart, tables, list of the year's results)", 300, 5, [&] {
        finestra.periodi()->setCurrentIndex(int(FrmRegistro::Scelta::Anno));
        FrmAndamento andamento(*registro, *dati, 3, Riepilogo::oggi(), {classi.first().nome, finestra.periodo(), -1});
        andamento.show();
        QApplication::processEvents();
    });
    int n = 0;
    misura("class report PDF (school year)", 1000, 5, [&] {
        finestra.periodi()->setCurrentIndex(int(FrmRegistro::Scelta::Anno));
        finestra.stampaRiepilogo(cartella.filePath(QStringLiteral("classe%1.pdf").arg(++n)));
    });
    return 0;
}
