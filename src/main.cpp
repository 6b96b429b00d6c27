#include "app/Applicazione.h"
#include "app/FrmInizio.h"
#include "app/RigaComando.h"

#include <QApplication>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr const char *senzaSchermo =
    "quorvel: nessuno schermo grafico disponibile: avviare il programma da una sessione grafica (DISPLAY).\n";

QtMessageHandler gestorePredefinito = nullptr;

// Qt aborts with a core dump when it finds no display; a clear sentence is enough.
void gestoreMessaggi(QtMsgType tipo, const QMessageLogContext &contesto, const QString &testo)
{
    if (tipo == QtFatalMsg && testo.contains(QLatin1String("platform plugin"))) {
        std::fputs(senzaSchermo, stderr);
        _exit(2);
    }
    gestorePredefinito(tipo, contesto, testo);
}

bool schermoDisponibile()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char *argv[])
{
    RigaComando riga;
    const bool letta = riga.leggi(RigaComando::argomenti(argc, argv));
    if (letta) {
        if (const auto esito = riga.rispondi())
            return *esito;
    }
    if (!schermoDisponibile()) {
        if (!letta)
            return riga.segnalaErrore();
        std::fputs(senzaSchermo, stderr);
        return 2;
    }
    gestorePredefinito = qInstallMessageHandler(gestoreMessaggi);

    QApplication app(argc, argv);
    // What the first read did not know may be Qt's own options, which QApplication has taken out by now.
    if (!letta) {
        if (!riga.leggi(QApplication::arguments()))
            return riga.segnalaErrore();
        if (const auto esito = riga.rispondi())
            return *esito;
    }
    Applicazione::prepara();
    FrmInizio::istanza().mostra();
    const int esito = QApplication::exec();
    // Unloaded windows are deleted later; let that happen before the application goes.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return esito;
}
