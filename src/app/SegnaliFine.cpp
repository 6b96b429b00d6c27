#include "SegnaliFine.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QWidget>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int scrittura = -1;
std::atomic<bool> arrivato{false};

void gestore(int)
{
    const int salvato = errno;
    const char byte = 1;
    // Nothing else here: a write is all a signal handler may safely do.
    [[maybe_unused]] const ssize_t scritto = ::write(scrittura, &byte, 1);
    errno = salvato;
}

} // namespace

void SegnaliFine::installa()
{
    if (scrittura >= 0)
        return;
    int coppia[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, coppia) != 0)
        return;
    scrittura = coppia[1];
    new SegnaliFine(coppia[0], qApp);
    struct sigaction azione {};
    azione.sa_handler = gestore;
    sigemptyset(&azione.sa_mask);
    azione.sa_flags = SA_RESTART;
    for (const int segnale : {SIGTERM, SIGHUP})
        ::sigaction(segnale, &azione, nullptr);
}

bool SegnaliFine::ricevuto() { return arrivato.load(); }

SegnaliFine::SegnaliFine(int lettura, QObject *genitore)
    : QObject(genitore), notifica_(new QSocketNotifier(lettura, QSocketNotifier::Read, this)), lettura_(lettura)
{
    connect(notifica_, &QSocketNotifier::activated, this, &SegnaliFine::termina);
}

void SegnaliFine::termina()
{
    char byte[16];
    while (::read(lettura_, byte, sizeof byte) > 0) {
    }
    if (arrivato.exchange(true))
        return;
    // A dialog or a menu waits in an event loop of its own, within which the windows
    // cannot go: each is closed as Escape would close it, every loop is left, and
    // main() closes the windows once back from the main loop.
    for (int i = 0; i < 16 && QApplication::activePopupWidget(); ++i)
        QApplication::activePopupWidget()->close();
    for (QWidget *finestra : QApplication::topLevelWidgets())
        if (auto *dialogo = qobject_cast<QDialog *>(finestra); dialogo && dialogo->isVisible())
            dialogo->reject();
    QCoreApplication::exit(0);
}
