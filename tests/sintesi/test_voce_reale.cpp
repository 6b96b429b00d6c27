// The real engine against a speech-dispatcher of this test's own (sound to
// ALSA's null device: no sound card needed), stopped by its pid at the end
// together with the output modules it started.
#include "sintesi/VoceSpeechd.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>

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

// A speech-dispatcher of the test's own whose only output module is `modulo`.
struct Servizio {
    QTemporaryDir cartella;
    QProcess processo;
    std::optional<Arresto> arresto;

    bool avvia(const QByteArray &modulo)
    {
        const QString d = cartella.path();
        if (!scrivi(d + "/conf/speechd.conf", "LogLevel 1\nAudioOutputMethod \"alsa\"\nAudioALSADevice \"null\"\n"
                                              "AddModule \"" +
                                                  modulo + "\" \"sd_" + modulo +
                                                  "\" \"\"\n"
                                                  "DefaultModule " +
                                                  modulo + "\n") ||
            // A server started by the library itself would escape this test.
            !scrivi(d + "/config/speech-dispatcher/speechd.conf", "DisableAutoSpawn\n"))
            return false;
        qputenv("XDG_CONFIG_HOME", (d + "/config").toUtf8());
        qputenv("SPEECHD_ADDRESS", ("unix_socket:" + d + "/speechd.sock").toUtf8());
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("HOME"), d);
        ambiente.insert(QStringLiteral("XDG_RUNTIME_DIR"), d);
        processo.setProcessEnvironment(ambiente);
        processo.setStandardOutputFile(d + "/speechd.out");
        processo.setStandardErrorFile(d + "/speechd.out");
        processo.start(QStringLiteral("speech-dispatcher"),
                       {"--run-single", "--timeout", "0", "--communication-method", "unix_socket", "--socket-path",
                        d + "/speechd.sock", "--config-dir", d + "/conf", "--log-dir", d, "--pid-file", d + "/pid"});
        if (!processo.waitForStarted(10000))
            return false;
        arresto.emplace(processo);
        QElapsedTimer attesa;
        attesa.start();
        while (!QFile::exists(d + "/speechd.sock") && attesa.elapsed() < 20000)
            QTest::qWait(20);
        return QFile::exists(d + "/speechd.sock");
    }
};

} // namespace

class TestVoceReale : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty())
            QSKIP("speech-dispatcher is not installed (packages speech-dispatcher, speech-dispatcher-espeak-ng)");
    }

    void italianoProntaSubitoEParla()
    {
        Servizio servizio;
        QVERIFY(servizio.avvia("espeak-ng"));
        VoceSpeechd voce;
        QSignalSpy parlando(&voce, &VoceSpeechd::parlando);
        voce.prepara();
        // Ready on the service's first answer: no list of voices is awaited.
        QTRY_VERIFY_WITH_TIMEOUT(voce.stato() != Voce::Stato::DaProvare, 20000);
        QCOMPARE(voce.stato(), Voce::Stato::Pronta);
        QVERIFY(!voce.verificata());
        voce.pronuncia(QStringLiteral("È esatto."));
        QTRY_VERIFY_WITH_TIMEOUT(parlando.contains(QVariantList{true}), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(parlando.last().first().toBool(), false, 20000);
        // Later, once quiet, the list confirms the Italian voice.
        QTRY_VERIFY_WITH_TIMEOUT(voce.verificata(), 120000);
        QCOMPARE(voce.stato(), Voce::Stato::Pronta);
        QVERIFY(voce.chiudi(10000));
    }

    void senzaVoceItalianaDiventaAssente()
    {
        Servizio servizio;
        QVERIFY(servizio.avvia("dummy")); // its one voice is English
        VoceSpeechd voce;
        voce.prepara();
        QTRY_VERIFY_WITH_TIMEOUT(voce.verificata(), 60000);
        QCOMPARE(voce.stato(), Voce::Stato::Assente);
        QVERIFY2(voce.mancante().contains(QLatin1String("speech-dispatcher-espeak-ng")), qPrintable(voce.mancante()));
        QVERIFY(voce.chiudi(10000));
    }

    void servizioCheNonRispondeEAssente()
    {
        QTemporaryDir cartella;
        QVERIFY(scrivi(cartella.path() + "/config/speech-dispatcher/speechd.conf", "DisableAutoSpawn\n"));
        qputenv("XDG_CONFIG_HOME", (cartella.path() + "/config").toUtf8());
        qputenv("SPEECHD_ADDRESS", ("unix_socket:" + cartella.path() + "/nessuno.sock").toUtf8());
        VoceSpeechd voce;
        voce.prepara();
        QTRY_VERIFY_WITH_TIMEOUT(voce.stato() != Voce::Stato::DaProvare, 20000);
        QCOMPARE(voce.stato(), Voce::Stato::Assente);
        QVERIFY(voce.mancante().contains(QLatin1String("non risponde")));
    }
};

QTEST_MAIN(TestVoceReale)
#include "test_voce_reale.moc"
