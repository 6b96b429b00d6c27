#include "ServerSospeso.h"

#include "ServerPostgresProva.h"

#include <QFile>
#include <QProcess>

#include <csignal>

ServerSospeso::ServerSospeso(const ServerPostgresProva &server)
{
    QFile file(server.cartella() + QStringLiteral("/data/postmaster.pid"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const qint64 postmaster = file.readLine().trimmed().toLongLong();
    QProcess ps;
    ps.start(QStringLiteral("ps"),
             {QStringLiteral("-o"), QStringLiteral("pid="), QStringLiteral("--ppid"), QString::number(postmaster)});
    if (postmaster <= 0 || !ps.waitForFinished(10000))
        return;
    pid_.append(pid_t(postmaster));
    for (const QByteArray &riga : ps.readAllStandardOutput().split('\n'))
        if (const qint64 figlio = riga.trimmed().toLongLong(); figlio > 0)
            pid_.append(pid_t(figlio));
    for (const pid_t pid : std::as_const(pid_))
        ::kill(pid, SIGSTOP);
}

ServerSospeso::~ServerSospeso()
{
    for (const pid_t pid : std::as_const(pid_))
        ::kill(pid, SIGCONT);
}
