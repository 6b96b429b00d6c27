// Start-up: from process start to the start window's first paint, and peak
// memory, against a bare Qt window with a menu bar and as many widgets, all
// measured in child processes of one run. The program is measured as it starts
// for real, with its voice: switched off, and switched on against a speech
// server of the benchmark's own.
#include "ServizioVoce.h"
#include "app/Applicazione.h"
#include "app/FrmInizio.h"
#include "sintesi/VoceSpeechd.h"
#include "voce/Parlato.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QStyleFactory>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

qint64 memoriaDiPicco()
{
    QFile stato(QStringLiteral("/proc/self/status"));
    if (!stato.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &riga : stato.readAll().split('\n'))
        if (riga.startsWith("VmHWM:"))
            return riga.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

// Prints the moment of the first paint of `w` and the peak memory, then ends.
class PrimoDisegno : public QObject {
public:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && !fatto_) {
            fatto_ = true;
            QMetaObject::invokeMethod(
                qApp,
                [] {
                    const QSize schermo = QGuiApplication::primaryScreen()->size();
                    std::printf("%lld %lld %dx%d\n", QDateTime::currentMSecsSinceEpoch(), memoriaDiPicco(),
                                schermo.width(), schermo.height());
                    std::fflush(stdout);
                    std::_Exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool fatto_ = false;
};

enum class Modo { Base, Programma, ProgrammaConVoce };

int figlio(int argc, char *argv[], Modo modo, const QString &impostazioni)
{
    QApplication app(argc, argv);
    PrimoDisegno osservatore;
    if (modo != Modo::Base) {
        // As main() does.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, impostazioni);
        QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"))
            .setValue(QStringLiteral("voce/attiva"), modo == Modo::ProgrammaConVoce);
        Applicazione::prepara();
        static VoceSpeechd voce;
        Parlato::istanza().impostaVoce(&voce);
        FrmInizio &f = FrmInizio::istanza();
        f.client()->installEventFilter(&osservatore);
        f.mostra();
        return QApplication::exec();
    }
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QMainWindow base;
    QMenu *menu = base.menuBar()->addMenu(QStringLiteral("Stampa schede"));
    for (const char *voce : {"insieme vuoto", "aggiungi elemementi", "togli elementi"})
        menu->addAction(QString::fromLatin1(voce));
    base.menuBar()->addAction(QStringLiteral("About"));
    auto *client = new QWidget;
    base.setCentralWidget(client);
    for (int i = 0; i < 16; ++i)
        (new QWidget(client))->setGeometry(10 * i, 10 * i, 100, 40);
    client->installEventFilter(&osservatore);
    base.showMaximized();
    return QApplication::exec();
}

struct Misura {
    qint64 millisecondi;
    qint64 kib;
    QByteArray schermo;
};

Misura lancia(const QString &binario, const char *modo, const QProcessEnvironment &ambiente,
              const QString &impostazioni)
{
    QProcess p;
    p.setProcessEnvironment(ambiente);
    const qint64 inizio = QDateTime::currentMSecsSinceEpoch();
    p.start(binario, {QStringLiteral("--figlio"), QString::fromLatin1(modo), impostazioni});
    if (!p.waitForFinished(30000))
        return {-1, -1, {}};
    const QList<QByteArray> parti = p.readAllStandardOutput().trimmed().split(' ');
    if (parti.size() != 3)
        return {-1, -1, {}};
    return {parti[0].toLongLong() - inizio, parti[1].toLongLong(), parti[2]};
}

qint64 mediana(std::vector<qint64> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--figlio") == 0) {
        const Modo modo = qstrcmp(argv[2], "base") == 0        ? Modo::Base
                          : qstrcmp(argv[2], "programma") == 0 ? Modo::Programma
                                                               : Modo::ProgrammaConVoce;
        return figlio(argc, argv, modo, QString::fromLocal8Bit(argv[3]));
    }

    const QString binario = QString::fromLocal8Bit(argv[0]);
    const int prove = argc > 1 ? atoi(argv[1]) : 9;
    ServizioVoce servizio;
    const QString indirizzo = servizio.avvia();
    if (indirizzo.isEmpty()) {
        std::fprintf(stderr, "the speech server did not start (packages speech-dispatcher, "
                             "speech-dispatcher-espeak-ng)\n");
        return 1;
    }
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("SPEECHD_ADDRESS"), indirizzo);
    ambiente.insert(QStringLiteral("XDG_CONFIG_HOME"), servizio.configurazione());
    QTemporaryDir impostazioni;

    const char *modi[] = {"base", "programma", "voce"};
    std::vector<qint64> tempi[3], memoria[3];
    QByteArray schermo;
    for (int i = 0; i < prove; ++i) {
        for (int m = 0; m < 3; ++m) {
            const Misura misura = lancia(binario, modi[m], ambiente, impostazioni.path());
            if (misura.millisecondi < 0) {
                std::fprintf(stderr, "a child did not paint (is there a display?)\n");
                return 1;
            }
            tempi[m].push_back(misura.millisecondi);
            memoria[m].push_back(misura.kib);
            schermo = misura.schermo;
        }
    }
    std::printf("screen %s, median of %d runs; bare window: start-up %lld ms, peak memory %lld KiB\n",
                schermo.constData(), prove, mediana(tempi[0]), mediana(memoria[0]));
    bool raggiunto = true;
    for (int m = 1; m < 3; ++m) {
        const double rt = double(mediana(tempi[m])) / std::max<qint64>(1, mediana(tempi[0]));
        const double rm = double(mediana(memoria[m])) / std::max<qint64>(1, mediana(memoria[0]));
        raggiunto = raggiunto && rt <= 1.2 && rm <= 1.05;
        std::printf("start window, voice %s: start-up %lld ms, ratio %.2f; peak memory %lld KiB, ratio %.2f\n",
                    m == 1 ? "off" : "on ", mediana(tempi[m]), rt, mediana(memoria[m]), rm);
    }
    std::printf("target: start-up within 1.20 and peak memory within 1.05, voice on and off: %s\n",
                raggiunto ? "met" : "NOT met");
    return 0;
}
