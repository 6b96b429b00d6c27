#include "Applicazione.h"

#include "FrmInizio.h"
#include "Identita.h"

#include "ui/OsservatoreRilasci.h"
#include "ui/RegistroFinestre.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

namespace Applicazione {

void prepara()
{
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationVersion(QLatin1String(Identita::versione));
    // Wayland and the task bars match windows to the menu entry and its icon by this name.
    QApplication::setDesktopFileName(QLatin1String(Identita::idApplicazione));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    auto *traduzioneQt = new QTranslator(qApp);
    if (traduzioneQt->load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(traduzioneQt);

    collega();
    QObject::connect(&RegistroFinestre::istanza(), &RegistroFinestre::programmaTerminato, qApp, &QApplication::quit,
                     Qt::QueuedConnection);
}

void collega()
{
    // Watches key releases from the first event on, to tell held keys from fresh presses.
    OsservatoreRilasci::istanza();
    // Every other window comes back to the start window when it closes.
    RegistroFinestre::impostaRitorno([] { FrmInizio::istanza().mostra(); });
}

} // namespace Applicazione
