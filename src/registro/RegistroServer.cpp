#include "RegistroServer.h"

#include "ConnessioneServer.h"

#include <QCryptographicHash>
#include <QStandardPaths>

RegistroServer::RegistroServer(const QString &conninfo, const QString &fileUscita)
    : RegistroLocale(QString(), fileUscita, conninfo)
{
}

QString RegistroServer::descrizione() const
{
    return QStringLiteral("server %1").arg(ConnessioneServer::descrivi(conninfo()));
}

QString RegistroServer::fileUscita(const QString &conninfo)
{
    const QByteArray impronta =
        QCryptographicHash::hash(conninfo.trimmed().toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/server-") +
           QString::fromLatin1(impronta) + QStringLiteral("-uscita.sqlite");
}
