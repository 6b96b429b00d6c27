#include "app/FrmInizio.h"
#include "ui/OsservatoreRilasci.h"
#include "ui/RegistroFinestre.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

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
    if (!schermoDisponibile()) {
        std::fputs(senzaSchermo, stderr);
        return 2;
    }
    gestorePredefinito = qInstallMessageHandler(gestoreMessaggi);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    QTranslator traduzioneQt;
    if (traduzioneQt.load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traduzioneQt);

    // Watches key releases from the first event on, to tell held keys from fresh presses.
    OsservatoreRilasci::istanza();

    QObject::connect(&RegistroFinestre::istanza(), &RegistroFinestre::programmaTerminato, &app, &QApplication::quit,
                     Qt::QueuedConnection);

    FrmInizio::istanza().mostra();
    const int esito = QApplication::exec();
    // Unloaded windows are deleted later; let that happen before the application goes.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return esito;
}
