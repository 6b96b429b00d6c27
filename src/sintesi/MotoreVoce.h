#pragma once

#include <QLocale>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QTextToSpeech;

// The speech engine, on a thread of its own: starting it lists thousands of
// voices (seconds, measured), and every call into it waits on the speech
// service. VoceQt only posts work here.
class MotoreVoce : public QObject {
    Q_OBJECT
public:
    explicit MotoreVoce(std::shared_ptr<std::atomic<quint64>> ultimaRichiesta);
    ~MotoreVoce() override;

    // Quick: whether the engine and the speech service are installed at all.
    void controlla();
    // Slow: connects to the speech service and chooses an Italian voice.
    void prepara();
    // Says the sentence unless a newer request came after it.
    void pronuncia(const QString &frase, quint64 richiesta);
    void taci();
    void chiudi();

signals:
    void controllato(bool possibile, const QString &mancante);
    void preparato(bool italiano, const QString &mancante, const QLocale &lingua);
    void parlando(bool parla);

private:
    std::shared_ptr<std::atomic<quint64>> ultimaRichiesta_;
    std::unique_ptr<QTextToSpeech> motore_;
    bool provato_ = false;
};
