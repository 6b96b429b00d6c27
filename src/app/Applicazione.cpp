#include "Applicazione.h"

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
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    auto *traduzioneQt = new QTranslator(qApp);
    if (traduzioneQt->load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(traduzioneQt);

    // Watches key releases from the first event on, to tell held keys from fresh presses.
    OsservatoreRilasci::istanza();

    QObject::connect(&RegistroFinestre::istanza(), &RegistroFinestre::programmaTerminato, qApp, &QApplication::quit,
                     Qt::QueuedConnection);
}

} // namespace Applicazione
