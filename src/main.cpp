#include "app/Applicazione.h"
#include "app/FrmInizio.h"
#include "worksheets/RigaComandoSchede.h"

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
    if (RigaComandoSchede::richiesta(argc, argv))
        return RigaComandoSchede::esegui(argc, argv);
    if (!schermoDisponibile()) {
        std::fputs(senzaSchermo, stderr);
        return 2;
    }
    gestorePredefinito = qInstallMessageHandler(gestoreMessaggi);

    QApplication app(argc, argv);
    Applicazione::prepara();
    FrmInizio::istanza().mostra();
    const int esito = QApplication::exec();
    // Unloaded windows are deleted later; let that happen before the application goes.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return esito;
}
