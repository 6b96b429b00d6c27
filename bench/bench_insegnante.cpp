// The teacher's window on a school year of one class (25 pupils x 200 days x 50
// results): the class table, a filter change, a pupil's chart, the class report.
// Usage: bench_insegnante [registro.sqlite]; with no file, bench_registro makes the year first.
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

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
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
    misura("class table opens (window, school year loaded)", 200, 5, [&] {
        FrmRegistro finestra(*registro);
        finestra.show();
        QApplication::processEvents();
    });
    FrmRegistro finestra(*registro);
    finestra.show();
    QApplication::processEvents();
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
