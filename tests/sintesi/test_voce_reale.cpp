// The real engine against a speech-dispatcher of this test's own (sound to
// ALSA's null device: no sound card needed), stopped by its pid at the end
// together with the output modules it started.
#include "sintesi/VoceQt.h"

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
// rest of the reply; the sanitizer's checking strstr makes that minutes, not seconds.
extern "C" const char *__asan_default_options() { return "intercept_strstr=0"; }
#endif

namespace {

bool scrivi(const QString &percorso, const QByteArray &testo)
{
    QDir().mkpath(QFileInfo(percorso).path());
    QFile f(percorso);
    return f.open(QIODevice::WriteOnly) && f.write(testo) == testo.size();
}

// Stops the server by its pid, then whatever module it failed to end.
struct Arresto {
    QProcess &servizio;
    ~Arresto()
    {
        QFile figli(QStringLiteral("/proc/%1/task/%1/children").arg(servizio.processId()));
        const QList<QByteArray> moduli =
            figli.open(QIODevice::ReadOnly) ? figli.readAll().split(' ') : QList<QByteArray>();
        servizio.terminate();
        if (!servizio.waitForFinished(10000)) {
            servizio.kill();
            servizio.waitForFinished(5000);
        }
        for (const QByteArray &pid : moduli)
            if (pid.trimmed().toInt() > 0)
                ::kill(pid.trimmed().toInt(), SIGKILL);
    }
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
        const QString d = cartella.path();
        QVERIFY(scrivi(d + "/conf/speechd.conf", "LogLevel 1\nAudioOutputMethod \"alsa\"\nAudioALSADevice \"null\"\n"
                                                 "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"
                                                 "DefaultModule espeak-ng\n"));
        QVERIFY(scrivi(d + "/conf/modules/espeak-ng.conf", {}));
        // A server started by the library itself would escape this test.
        QVERIFY(scrivi(d + "/config/speech-dispatcher/speechd.conf", "DisableAutoSpawn\n"));
        qputenv("XDG_CONFIG_HOME", (d + "/config").toUtf8());
        qputenv("XDG_RUNTIME_DIR", d.toUtf8());
        qputenv("SPEECHD_ADDRESS", ("unix_socket:" + d + "/speechd.sock").toUtf8());

        QProcess servizio;
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("HOME"), d);
        servizio.setProcessEnvironment(ambiente);
        servizio.setStandardOutputFile(d + "/speechd.out");
        servizio.setStandardErrorFile(d + "/speechd.out");
        servizio.start(QStringLiteral("speech-dispatcher"),
                       {"--run-single", "--timeout", "0", "--communication-method", "unix_socket", "--socket-path",
                        d + "/speechd.sock", "--config-dir", d + "/conf", "--log-dir", d, "--pid-file", d + "/pid"});
        QVERIFY(servizio.waitForStarted(10000));
        Arresto arresto{servizio};
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(d + "/speechd.sock"), 20000);

        VoceQt voce;
        voce.prepara();
        // Listing the voices takes seconds (4 to 9 measured on a busy machine).
        QTRY_VERIFY_WITH_TIMEOUT(voce.stato() != Voce::Stato::DaProvare, 120000);
        QCOMPARE(voce.stato(), Voce::Stato::Pronta);
        QCOMPARE(voce.lingua().language(), QLocale::Italian);

        QSignalSpy parlando(&voce, &VoceQt::parlando);
        voce.pronuncia(QStringLiteral("Esatto."));
        QTRY_VERIFY_WITH_TIMEOUT(parlando.contains(QVariantList{true}), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(parlando.last().first().toBool(), false, 20000);
        QVERIFY(voce.chiudi(10000));
    }
};

QTEST_MAIN(TestVoceReale)
#include "test_voce_reale.moc"
