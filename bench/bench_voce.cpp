// Time to first word: the program starts with the voice against a speech
// server of the benchmark's own and, 0.2 s after the start window's first
// paint, either opens an exercise or ticks "Voce" (voice off until then). The
// benchmark stands between the program and the server and notes when each
// sentence reaches the server; it prints the delay from the exercise window's
// first paint (or the tick) to its sentence, median and worst of the runs.
// Needs a display (QT_QPA_PLATFORM=xcb with DISPLAY set, or offscreen).
#include "ServizioVoce.h"
#include "app/Applicazione.h"
#include "app/FrmInizio.h"
#include "sintesi/VoceSpeechd.h"
#include "voce/Parlato.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

qint64 adesso()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// In the child: 0.2 s after the start window's first paint does what a pupil
// or teacher would; prints the moment of the exercise window's first paint or of the tick.
class Copione : public QObject {
public:
    explicit Copione(bool esercizio) : esercizio_(esercizio) {}

    bool eventFilter(QObject *o, QEvent *e) override
    {
        auto *w = qobject_cast<QWidget *>(o);
        if (e->type() != QEvent::Paint || !w)
            return false;
        const bool operativo = w->window()->inherits("frmOperativo");
        if (!avviato_ && w->window() == &FrmInizio::istanza()) {
            avviato_ = true;
            QTimer::singleShot(200, this, [this] { agisci(); });
        } else if (operativo && !dipinto_) {
            dipinto_ = true;
            fine(adesso());
        }
        return false;
    }

private:
    void agisci()
    {
        if (esercizio_) {
            FrmInizio::istanza().AvviaScelta(0);
        } else {
            const qint64 t = adesso();
            FrmInizio::istanza().casellaVoce()->click();
            fine(t);
        }
    }
    void fine(qint64 t)
    {
        std::printf("%lld\n", static_cast<long long>(t));
        std::fflush(stdout);
        // Long enough for the sentence to reach the server.
        QTimer::singleShot(1500, qApp, [] { QApplication::exit(0); });
    }

    bool esercizio_;
    bool avviato_ = false;
    bool dipinto_ = false;
};

int figlio(int argc, char *argv[], bool esercizio, const QString &impostazioni)
{
    QApplication app(argc, argv);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, impostazioni);
    QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).setValue("voce/attiva", esercizio);
    Applicazione::prepara();
    VoceSpeechd voce;
    Parlato::istanza().impostaVoce(&voce);
    Copione copione(esercizio);
    app.installEventFilter(&copione);
    FrmInizio::istanza().mostra();
    const int esito = QApplication::exec();
    Parlato::istanza().impostaVoce(nullptr);
    voce.chiudi(2000);
    std::fflush(stdout); // not every stream: see main()
    std::_Exit(esito);
}

// Stands between the program and the speech server and notes every sentence that passes.
class Intermediario : public QObject {
public:
    struct Frase {
        qint64 quando;
        QByteArray testo;
    };
    std::vector<Frase> frasi;

    bool avvia(const QString &percorso, const QString &server)
    {
        server_ = server;
        QLocalServer::removeServer(percorso);
        connect(&ascolto_, &QLocalServer::newConnection, this, &Intermediario::nuova);
        return ascolto_.listen(percorso);
    }

private:
    void nuova()
    {
        while (QLocalSocket *cliente = ascolto_.nextPendingConnection()) {
            auto *servizio = new QLocalSocket(cliente);
            servizio->connectToServer(server_);
            if (!servizio->waitForConnected(5000)) {
                cliente->deleteLater();
                continue;
            }
            auto *letto = new QByteArray;
            connect(cliente, &QObject::destroyed, [letto] { delete letto; });
            connect(cliente, &QLocalSocket::readyRead, this, [this, cliente, servizio, letto] {
                const QByteArray dati = cliente->readAll();
                servizio->write(dati);
                *letto += dati;
                // A sentence is the data between SPEAK and a line holding only a dot.
                for (;;) {
                    // SSIP's commands are case-blind; libspeechd writes them in lower case.
                    const qsizetype inizio = letto->toUpper().indexOf("SPEAK\r\n");
                    const qsizetype fine = inizio < 0 ? -1 : letto->indexOf("\r\n.\r\n", inizio);
                    if (fine < 0)
                        break;
                    frasi.push_back({adesso(), letto->mid(inizio + 7, fine - inizio - 7)});
                    letto->remove(0, fine + 5);
                }
            });
            connect(servizio, &QLocalSocket::readyRead, cliente,
                    [cliente, servizio] { cliente->write(servizio->readAll()); });
            connect(cliente, &QLocalSocket::disconnected, cliente, &QObject::deleteLater);
            connect(servizio, &QLocalSocket::disconnected, cliente, &QLocalSocket::disconnectFromServer);
        }
    }

    QLocalServer ascolto_;
    QString server_;
};

struct Esito {
    std::vector<double> ritardi;
    int mancati = 0;
};

Esito misura(const QString &binario, bool esercizio, int prove, ServizioVoce &servizio, const QString &cartella)
{
    Esito esito;
    Intermediario intermediario;
    const QString presa = cartella + (esercizio ? "/esercizio.sock" : "/spunta.sock");
    if (!intermediario.avvia(presa, servizio.presa()))
        return esito;
    for (int i = 0; i < prove; ++i) {
        intermediario.frasi.clear();
        QProcess p;
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("SPEECHD_ADDRESS"), QStringLiteral("unix_socket:") + presa);
        ambiente.insert(QStringLiteral("XDG_CONFIG_HOME"), servizio.configurazione());
        p.setProcessEnvironment(ambiente);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QEventLoop attesa;
        QObject::connect(&p, &QProcess::finished, &attesa, &QEventLoop::quit);
        p.start(binario,
                {QStringLiteral("--figlio"), esercizio ? QStringLiteral("esercizio") : QStringLiteral("spunta"),
                 cartella + QStringLiteral("/impostazioni%1").arg(i)});
        QTimer::singleShot(30000, &attesa, &QEventLoop::quit);
        attesa.exec();
        const qint64 inizio = p.readAllStandardOutput().trimmed().toLongLong();
        // Opening an exercise says what to do; ticking repeats the focused button's caption.
        const auto frase = std::find_if(intermediario.frasi.begin(), intermediario.frasi.end(),
                                        [&](const auto &f) { return !esercizio || f.testo.contains("Costruisci"); });
        if (inizio <= 0 || frase == intermediario.frasi.end())
            ++esito.mancati;
        else
            esito.ritardi.push_back((frase->quando - inizio) / 1000.0);
    }
    std::sort(esito.ritardi.begin(), esito.ritardi.end());
    return esito;
}

void stampa(const char *cosa, const Esito &e, int prove)
{
    if (e.ritardi.empty()) {
        std::printf("%s: no sentence reached the speech server in %d runs\n", cosa, prove);
        return;
    }
    std::printf("%s (%zu runs; below 0: before the paint): median %.0f ms, worst %.0f ms; goal 300 ms: %s%s\n", cosa,
                e.ritardi.size(), e.ritardi[e.ritardi.size() / 2], e.ritardi.back(),
                e.ritardi.back() <= 300 ? "met" : "NOT met",
                e.mancati ? qPrintable(QStringLiteral("; %1 runs with no sentence").arg(e.mancati)) : "");
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--figlio") == 0)
        return figlio(argc, argv, qstrcmp(argv[2], "esercizio") == 0, QString::fromLocal8Bit(argv[3]));

    QCoreApplication app(argc, argv);
    const int prove = argc > 1 ? atoi(argv[1]) : 9;
    ServizioVoce servizio;
    if (servizio.avvia().isEmpty()) {
        std::fprintf(stderr, "the speech server did not start (packages speech-dispatcher, "
                             "speech-dispatcher-espeak-ng)\n");
        return 1;
    }
    QTemporaryDir cartella;
    const QString binario = QCoreApplication::applicationFilePath();
    const Esito esercizio = misura(binario, true, prove, servizio, cartella.path());
    const Esito spunta = misura(binario, false, prove, servizio, cartella.path());
    stampa("exercise window's first paint to its sentence at the speech server", esercizio, prove);
    stampa("first tick of \"Voce\" to the sentence at the speech server", spunta, prove);
    return 0;
}
