#include "ConfigurazioneRegistro.h"

#include "ConnessioneServer.h"

#include <QSettings>

ConfigurazioneRegistro ConfigurazioneRegistro::scegli(const QString &daRigaComando)
{
    QString valore = daRigaComando.trimmed();
    if (valore.isEmpty()) {
        // System scope only: a pupil's own settings file cannot point the PC elsewhere.
        const QSettings sistema(QSettings::SystemScope, QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
        valore = sistema.value(QStringLiteral("registro/database")).toString().trimmed();
        if (!ConnessioneServer::eServer(valore))
            valore.clear();
    }
    ConfigurazioneRegistro c;
    c.tipo = ConnessioneServer::eServer(valore) ? Tipo::Server : Tipo::FileLocale;
    c.valore = valore;
    return c;
}
