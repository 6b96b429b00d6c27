#include "app/Applicazione.h"
#include "app/FrmInizio.h"
#include "app/RigaComando.h"
#include "app/RigaComandoRegistro.h"
#include "app/SegnaliFine.h"
#include "insegnante/ComandiInsegnante.h"
#include "registro/Registro.h"
#include "registro/RegistroCorrente.h"
#include "sintesi/VoceSpeechd.h"
#include "ui/RegistroFinestre.h"
#include "voce/Parlato.h"
#include "worksheets/RigaComandoSchede.h"

#include <QApplication>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>
#include <utility>

namespace {

constexpr const char *senzaSchermo =
    "quorvel: nessuno schermo grafico disponibile: avviare il programma da una sessione grafica (DISPLAY).\n";

QtMessageHandler gestorePredefinito = nullptr;

// The display went away (its server ended, the connection broke): Qt says so, then ends the
// process at once, with no way back to the event loop. What closing the windows does for the
// register is done first: the windows' unloading hands over the answer still waiting, and the
// register's queue goes to its file or its outbox.
void fineSenzaSchermo()
{
    static bool iniziata = false;
    if (std::exchange(iniziata, true))
        return;
    RegistroFinestre::istanza().chiudiTutto();
    if (Registro *registro = RegistroCorrente::registro()) {
        RegistroCorrente::imposta(nullptr);
        registro->svuota(5000);
    }
    // The speech engine's thread and the register's would race the static destructors of exit().
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(1);
}

// Qt aborts with a core dump when it finds no display; a clear sentence is enough.
void gestoreMessaggi(QtMsgType tipo, const QMessageLogContext &contesto, const QString &testo)
{
    if (tipo == QtFatalMsg && testo.contains(QLatin1String("platform plugin"))) {
        std::fputs(senzaSchermo, stderr);
        _exit(2);
    }
    gestorePredefinito(tipo, contesto, testo);
    if (tipo == QtWarningMsg && testo.startsWith(QLatin1String("The X11 connection broke")) && qApp &&
        QThread::currentThread() == qApp->thread())
        fineSenzaSchermo();
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
    // The teacher's commands (a new password, a class report) run with no display and no window.
    if (ComandiInsegnante::richiesta(argc, argv))
        return ComandiInsegnante::esegui(argc, argv);
    RigaComando riga;
    const bool schermo = schermoDisponibile();
    // Help and version need no display. Without one, Qt's own options cannot be told apart: one read only.
    if (const auto esito = riga.leggi(RigaComando::argomenti(argc, argv), !schermo))
        return *esito;
    // The register's commands for the school's IT need no display. First: "--classe C --livello 2"
    // sets a class's level, while "--livello" alone belongs to a class set.
    if (RigaComandoRegistro::richiesta(argc, argv))
        return RigaComandoRegistro::esegui(argc, argv);
    // A class set is drawn off screen, with or without a display.
    if (RigaComandoSchede::richiesta(argc, argv))
        return RigaComandoSchede::esegui(argc, argv);
    if (!schermo) {
        std::fputs(senzaSchermo, stderr);
        return 2;
    }
    gestorePredefinito = qInstallMessageHandler(gestoreMessaggi);

    QApplication app(argc, argv);
    if (const auto esito = riga.rileggi(QApplication::arguments()))
        return *esito;
    Applicazione::prepara();
    SegnaliFine::installa();
    // Opening writes nothing: with no class made, the program runs as it always did.
    std::unique_ptr<Registro> registro = Registro::apri(riga.valore(RigaComandoRegistro::opzioneRegistro()));
    RegistroCorrente::imposta(registro.get());
    VoceSpeechd voce;
    Parlato::istanza().impostaVoce(&voce);
    FrmInizio::istanza().mostra();
    const int esito = QApplication::exec();
    // Ended by a signal: the windows go now, as closing them would have made them go (an
    // exercise hands over the answer still waiting for SI or NO).
    RegistroFinestre::istanza().chiudiTutto();
    // Unloaded windows are deleted later; let that happen before the application goes.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The last answers go to the register, or to the outbox for the next start: a server that
    // does not answer keeps the program from ending for 2 s at most.
    RegistroCorrente::imposta(nullptr);
    registro.reset();
    Parlato::istanza().impostaVoce(nullptr);
    if (!voce.chiudi(1000)) {
        // The speech engine still waits on the service on its thread and cannot be
        // interrupted; nothing is left to save, so end without waiting for it. Only
        // our own streams are flushed: the speech library's reader holds its stream's
        // lock while it waits, and flushing every stream would wait on it for ever.
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(esito);
    }
    return esito;
}
