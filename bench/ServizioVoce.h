#pragma once

// A speech-dispatcher of the benchmark's own, as the voice tests start it:
// espeak-ng to ALSA's null device, in a temporary folder, stopped by its pid
// (with the output modules it started) when this goes.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

class ServizioVoce {
public:
    // The address to give a client in SPEECHD_ADDRESS; empty if it did not start.
    QString avvia()
    {
        const QString d = cartella_.path();
        QDir().mkpath(d + "/conf");
        QDir().mkpath(d + "/config/speech-dispatcher");
        scrivi(d + "/conf/speechd.conf", "LogLevel 1\nAudioOutputMethod \"alsa\"\nAudioALSADevice \"null\"\n"
                                         "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"\"\nDefaultModule espeak-ng\n");
        scrivi(d + "/config/speech-dispatcher/speechd.conf", "DisableAutoSpawn\n");
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("HOME"), d);
        ambiente.insert(QStringLiteral("XDG_RUNTIME_DIR"), d);
        processo_.setProcessEnvironment(ambiente);
        processo_.setStandardOutputFile(QProcess::nullDevice());
        processo_.setStandardErrorFile(QProcess::nullDevice());
        processo_.start(QStringLiteral("speech-dispatcher"),
                        {"--run-single", "--timeout", "0", "--communication-method", "unix_socket", "--socket-path",
                         presa(), "--config-dir", d + "/conf", "--log-dir", d, "--pid-file", d + "/pid"});
        if (!processo_.waitForStarted(10000))
            return {};
        QElapsedTimer attesa;
        attesa.start();
        while (!QFile::exists(presa()) && attesa.elapsed() < 20000)
            QThread::msleep(20);
        return QFile::exists(presa()) ? QStringLiteral("unix_socket:") + presa() : QString();
    }

    QString presa() const { return cartella_.path() + "/speechd.sock"; }
    // A user configuration folder that forbids starting another server.
    QString configurazione() const { return cartella_.path() + "/config"; }

    ~ServizioVoce()
    {
        if (processo_.state() == QProcess::NotRunning)
            return;
        QFile figli(QStringLiteral("/proc/%1/task/%1/children").arg(processo_.processId()));
        const QList<QByteArray> moduli =
            figli.open(QIODevice::ReadOnly) ? figli.readAll().split(' ') : QList<QByteArray>();
        processo_.terminate();
        if (!processo_.waitForFinished(10000)) {
            processo_.kill();
            processo_.waitForFinished(5000);
        }
        for (const QByteArray &pid : moduli)
            if (pid.trimmed().toInt() > 0)
                ::kill(pid.trimmed().toInt(), SIGKILL);
    }

private:
    static void scrivi(const QString &percorso, const QByteArray &testo)
    {
        QFile f(percorso);
        if (f.open(QIODevice::WriteOnly))
            f.write(testo);
    }

    QTemporaryDir cartella_;
    QProcess processo_;
};
