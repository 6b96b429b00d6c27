// Start-up: from process start to the start window's first paint, and peak
// memory, against a bare Qt window with a menu bar and as many widgets, both
// measured in child processes of one run.
#include "app/Applicazione.h"
#include "app/FrmInizio.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
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
                    std::printf("%lld %lld\n", QDateTime::currentMSecsSinceEpoch(), memoriaDiPicco());
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

int figlio(int argc, char *argv[], bool programma)
{
    QApplication app(argc, argv);
    PrimoDisegno osservatore;
    if (programma) {
        Applicazione::prepara();
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
};

Misura lancia(const QString &binario, const char *modo)
{
    QProcess p;
    const qint64 inizio = QDateTime::currentMSecsSinceEpoch();
    p.start(binario, {QStringLiteral("--figlio"), QString::fromLatin1(modo)});
    if (!p.waitForFinished(30000))
        return {-1, -1};
    const QList<QByteArray> parti = p.readAllStandardOutput().trimmed().split(' ');
    if (parti.size() != 2)
        return {-1, -1};
    return {parti[0].toLongLong() - inizio, parti[1].toLongLong()};
}

qint64 mediana(std::vector<qint64> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--figlio") == 0)
        return figlio(argc, argv, qstrcmp(argv[2], "programma") == 0);

    const QString binario = QString::fromLocal8Bit(argv[0]);
    const int prove = argc > 1 ? atoi(argv[1]) : 9;
    std::vector<qint64> tBase, tProg, mBase, mProg;
    for (int i = 0; i < prove; ++i) {
        const Misura b = lancia(binario, "base");
        const Misura p = lancia(binario, "programma");
        if (b.millisecondi < 0 || p.millisecondi < 0) {
            std::fprintf(stderr, "a child did not paint (is there a display?)\n");
            return 1;
        }
        tBase.push_back(b.millisecondi);
        tProg.push_back(p.millisecondi);
        mBase.push_back(b.kib);
        mProg.push_back(p.kib);
    }
    const double rt = double(mediana(tProg)) / std::max<qint64>(1, mediana(tBase));
    const double rm = double(mediana(mProg)) / std::max<qint64>(1, mediana(mBase));
    std::printf("start-up to first paint (median of %d): bare window %lld ms, start window %lld ms, ratio %.2f\n",
                prove, mediana(tBase), mediana(tProg), rt);
    std::printf("peak memory (median): bare window %lld KiB, start window %lld KiB, ratio %.2f\n", mediana(mBase),
                mediana(mProg), rm);
    std::printf("target: both ratios within 1.30: %s\n", rt <= 1.3 && rm <= 1.3 ? "met" : "NOT met");
    return 0;
}
