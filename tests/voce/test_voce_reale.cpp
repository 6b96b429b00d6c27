// The real engine: Qt TextToSpeech over a speech-dispatcher of this test's
// own (sound to ALSA's null device, so no sound card is needed), stopped by
// its pid at the end together with the output modules it started.
#include "voce/VoceQt.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextToSpeech>

#include <csignal>

#ifdef __SANITIZE_ADDRESS__
// libspeechd splits its reply of thousands of voices with strstr over the whole
// rest of the reply; the sanitizer's checking strstr makes that quadratic: minutes, not seconds.
extern "C" const char *__asan_default_options() { return "intercept_strstr=0"; }
#endif

namespace {

// The speech-dispatcher this test starts, and the modules it starts in turn.
class ServizioVoce {
public:
    ~ServizioVoce() { ferma(); }

    bool avvia(const QString &cartella)
    {
        const QString conf = cartella + QStringLiteral("/conf");
        QDir().mkpath(conf + QStringLiteral("/modules"));
        QFile impostazioni(conf + QStringLiteral("/speechd.conf"));
        if (!impostazioni.open(QIODevice::WriteOnly))
            return false;
        impostazioni.write("LogLevel 1\n"
                           "AudioOutputMethod \"alsa\"\n"
                           "AudioALSADevice \"null\"\n"
                           "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"
                           "DefaultModule espeak-ng\n");
        impostazioni.close();
        QFile(conf + QStringLiteral("/modules/espeak-ng.conf")).open(QIODevice::WriteOnly);

        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        for (const char *variabile : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            ambiente.insert(QString::fromLatin1(variabile), cartella);
        processo_.setProcessEnvironment(ambiente);
        processo_.setProcessChannelMode(QProcess::MergedChannels);
        processo_.setStandardOutputFile(cartella + QStringLiteral("/speechd.out"));
        socket_ = cartella + QStringLiteral("/speechd.sock");
        processo_.start(QStringLiteral("speech-dispatcher"),
                        {QStringLiteral("--run-single"), QStringLiteral("--timeout"), QStringLiteral("0"),
                         QStringLiteral("--communication-method"), QStringLiteral("unix_socket"),
                         QStringLiteral("--socket-path"), socket_, QStringLiteral("--config-dir"), conf,
                         QStringLiteral("--log-dir"), cartella, QStringLiteral("--pid-file"),
                         cartella + QStringLiteral("/speechd.pid")});
        return processo_.waitForStarted(10000);
    }

    QString socket() const { return socket_; }
    QProcess &processo() { return processo_; }

    void ferma()
    {
        if (processo_.state() == QProcess::NotRunning)
            return;
        const QList<qint64> moduli = figli(processo_.processId());
        processo_.terminate();
        if (!processo_.waitForFinished(10000)) {
            processo_.kill();
            processo_.waitForFinished(5000);
        }
        for (qint64 pid : moduli)
            ::kill(static_cast<pid_t>(pid), SIGKILL); // only those the server failed to end are still there
    }

private:
    static QList<qint64> figli(qint64 pid)
    {
        QList<qint64> elenco;
        QFile f(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray &p : f.readAll().split(' '))
                if (!p.trimmed().isEmpty())
                    elenco.append(p.trimmed().toLongLong());
        return elenco;
    }

    QProcess processo_;
    QString socket_;
};

} // namespace

class TestVoceReale : public QObject {
    Q_OBJECT

private slots:
    void unaFraseItalianaDaDireAPronta()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty())
            QSKIP("speech-dispatcher is not installed (packages speech-dispatcher, speech-dispatcher-espeak-ng)");
        if (!QTextToSpeech::availableEngines().contains(QStringLiteral("speechd")))
            QSKIP("Qt's speechd engine is not installed (package qt6-speech-speechd-plugin)");

        QTemporaryDir cartella;
        QVERIFY(cartella.isValid());
        // A server started by the library itself would escape this test: forbid it.
        QDir().mkpath(cartella.path() + QStringLiteral("/config/speech-dispatcher"));
        QFile divieto(cartella.path() + QStringLiteral("/config/speech-dispatcher/speechd.conf"));
        QVERIFY(divieto.open(QIODevice::WriteOnly));
        divieto.write("DisableAutoSpawn\n");
        divieto.close();
        qputenv("XDG_CONFIG_HOME", (cartella.path() + QStringLiteral("/config")).toUtf8());
        qputenv("XDG_RUNTIME_DIR", cartella.path().toUtf8());

        ServizioVoce servizio;
        QVERIFY(servizio.avvia(cartella.path()));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(servizio.socket()), 20000);
        qputenv("SPEECHD_ADDRESS", ("unix_socket:" + servizio.socket()).toUtf8());

        VoceQt voce;
        QCOMPARE(voce.stato(), Voce::Stato::DaProvare);
        voce.prepara();
        // Listing the voices takes seconds (measured 4 to 9 on a busy machine).
        QTRY_VERIFY_WITH_TIMEOUT(voce.stato() != Voce::Stato::DaProvare, 120000);
        QCOMPARE(voce.stato(), Voce::Stato::Pronta);
        QCOMPARE(voce.lingua().language(), QLocale::Italian);

        QSignalSpy parlando(&voce, &VoceQt::parlando);
        voce.pronuncia(QStringLiteral("Esatto."));
        QTRY_VERIFY_WITH_TIMEOUT(parlando.contains(QVariantList{true}), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(parlando.last().first().toBool(), false, 20000);
        QVERIFY(voce.chiudi(10000));

        servizio.ferma();
        QCOMPARE(servizio.processo().exitStatus(), QProcess::NormalExit);
    }
};

QTEST_MAIN(TestVoceReale)
#include "test_voce_reale.moc"
