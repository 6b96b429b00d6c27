#include "ConfigurazioneRegistro.h"

#include "ConnessioneServer.h"

#include <QSettings>

ConfigurazioneRegistro ConfigurazioneRegistro::scegli(const QString &daRigaComando)
{
    QString valore = daRigaComando.trimmed();
    if (valore.isEmpty()) {
        // System scope only: a pupil's own settings file cannot point the PC elsewhere.
        const QSettings sistema(QSettings::SystemScope, QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
        const QVariant letto = sistema.value(QStringLiteral("registro/database"));
        // Unquoted, a value with commas (host=a,b) reads as a list: the commas were the administrator's.
        valore = (letto.metaType().id() == QMetaType::QStringList ? letto.toStringList().join(QLatin1Char(','))
                                                                  : letto.toString())
                     .trimmed();
        if (!ConnessioneServer::eServer(valore))
            valore.clear();
    }
    ConfigurazioneRegistro c;
    c.tipo = ConnessioneServer::eServer(valore) ? Tipo::Server : Tipo::FileLocale;
    c.valore = valore;
    return c;
}
