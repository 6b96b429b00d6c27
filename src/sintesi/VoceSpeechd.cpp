#include "VoceSpeechd.h"

#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <libspeechd.h>

#include <cstdlib>
#include <optional>

namespace {

const char *const cliente = "quorvel";
const QString senzaServizio =
    QStringLiteral("Voce non disponibile: installare i pacchetti speech-dispatcher e speech-dispatcher-espeak-ng");
const QString nonRisponde = QStringLiteral("Voce non disponibile: il servizio speech-dispatcher non risponde");
const QString senzaItaliano =
    QStringLiteral("Nessuna voce italiana: installare il pacchetto speech-dispatcher-espeak-ng");
// A little slower than a reader for adults: the listeners are six.
constexpr int velocita = -20;
// How long the voice must have been quiet before the service is asked for its voices.
constexpr int attesaVerifica = 3000;

// Whether the service's output module has a voice for Italian. Asked on a
// connection of its own, so the voice keeps its own free for sentences.
// Empty when the service could not be asked: nothing is decided then.
std::optional<bool> italianoPresente()
{
    char *errore = nullptr;
    SPDConnection *c = spd_open2(cliente, "verifica", nullptr, SPD_MODE_SINGLE, nullptr, 0, &errore);
    free(errore);
    if (!c)
        return std::nullopt;
    std::optional<bool> trovato;
    if (spd_set_language(c, "it") == 0) {
        if (SPDVoice **voci = spd_list_synthesis_voices(c)) {
            trovato = false;
            for (SPDVoice **v = voci; *v && !*trovato; ++v) {
                const QByteArray lingua((*v)->language ? (*v)->language : "");
                trovato = lingua == "it" || lingua.startsWith("it-") || lingua.startsWith("it_");
            }
            free_spd_voices(voci);
        }
    }
    spd_close(c);
    return trovato;
}

} // namespace

// Lives on the voice's thread and alone talks to the service.
class VoceSpeechd::Motore : public QObject {
public:
    Motore(VoceSpeechd *voce, std::shared_ptr<std::atomic<quint64>> ultimaRichiesta)
        : voce_(voce), ultimaRichiesta_(std::move(ultimaRichiesta))
    {
    }
    ~Motore() override { chiudi(); }

    void controlla()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty())
            rispondi(Stato::Assente, senzaServizio);
    }

    void prepara()
    {
        if (connessione_ || provato_)
            return;
        provato_ = true;
        char *errore = nullptr;
        // Started by the library when not running, unless the user's settings forbid it.
        connessione_ = spd_open2(cliente, "voce", nullptr, SPD_MODE_THREADED, nullptr, 1, &errore);
        free(errore);
        if (!connessione_ || spd_set_language(connessione_, "it") != 0) {
            chiudi();
            rispondi(Stato::Assente, nonRisponde);
            return;
        }
        spd_set_voice_rate(connessione_, velocita);
        attivo_.store(this);
        connessione_->callback_begin = notifica;
        connessione_->callback_end = notifica;
        connessione_->callback_cancel = notifica;
        spd_set_notification_on(connessione_, SPD_BEGIN);
        spd_set_notification_on(connessione_, SPD_END);
        spd_set_notification_on(connessione_, SPD_CANCEL);
        rispondi(Stato::Pronta, {});
        verifica_ = new QTimer(this);
        verifica_->setSingleShot(true);
        verifica_->setInterval(attesaVerifica);
        connect(verifica_, &QTimer::timeout, this, &Motore::verifica);
        verifica_->start();
    }

    void pronuncia(const QByteArray &frase, quint64 richiesta)
    {
        if (!connessione_ || richiesta != ultimaRichiesta_->load())
            return;
        // The service reports the end late: stop whatever it may still be saying.
        spd_cancel(connessione_);
        spd_say(connessione_, SPD_MESSAGE, frase.constData());
        if (verifica_ && verifica_->isActive())
            verifica_->start();
    }

    void taci()
    {
        if (connessione_)
            spd_cancel(connessione_);
    }

    void chiudi()
    {
        // A timer goes on the thread that started it.
        delete verifica_;
        verifica_ = nullptr;
        // Silence first: the check of the voices may still take seconds.
        if (connessione_) {
            spd_cancel(connessione_);
            attivo_.store(nullptr);
            spd_close(connessione_);
            connessione_ = nullptr;
        }
        if (controllo_) {
            controllo_->wait();
            delete controllo_;
            controllo_ = nullptr;
        }
    }

private:
    static void notifica(size_t, size_t, SPDNotificationType tipo)
    {
        // On the library's own thread.
        if (Motore *m = attivo_.load()) {
            const bool parla = tipo == SPD_EVENT_BEGIN;
            QMetaObject::invokeMethod(
                m->voce_, [v = m->voce_, parla] { emit v->parlando(parla); }, Qt::QueuedConnection);
        }
    }

    void verifica()
    {
        controllo_ = QThread::create([this] {
            const std::optional<bool> italiano = italianoPresente();
            QMetaObject::invokeMethod(
                voce_,
                [v = voce_, italiano] {
                    v->verificata_ = true;
                    if (italiano == false)
                        v->imposta(Stato::Assente, senzaItaliano);
                    emit v->verificataCambiata();
                },
                Qt::QueuedConnection);
        });
        controllo_->setObjectName(QStringLiteral("voce-verifica"));
        controllo_->start(QThread::LowPriority);
    }

    void rispondi(Stato stato, const QString &mancante)
    {
        QMetaObject::invokeMethod(
            voce_, [v = voce_, stato, mancante] { v->imposta(stato, mancante); }, Qt::QueuedConnection);
    }

    static inline std::atomic<Motore *> attivo_{nullptr};
    VoceSpeechd *voce_;
    std::shared_ptr<std::atomic<quint64>> ultimaRichiesta_;
    SPDConnection *connessione_ = nullptr;
    QTimer *verifica_ = nullptr;
    QThread *controllo_ = nullptr;
    bool provato_ = false;
};

VoceSpeechd::VoceSpeechd() : filo_(new QThread), ultimaRichiesta_(std::make_shared<std::atomic<quint64>>(0))
{
    filo_->setObjectName(QStringLiteral("voce"));
    motore_ = new Motore(this, ultimaRichiesta_);
    motore_->moveToThread(filo_);
    filo_->start();
    esegui([m = motore_] { m->controlla(); });
}

VoceSpeechd::~VoceSpeechd() { chiudi(2000); }

template <class F> void VoceSpeechd::esegui(F &&lavoro)
{
    if (motore_)
        QMetaObject::invokeMethod(motore_, std::forward<F>(lavoro), Qt::QueuedConnection);
}

void VoceSpeechd::imposta(Stato stato, const QString &mancante)
{
    // Once found missing, the voice stays missing for this run.
    if (stato_ == Stato::Assente || (stato_ == stato && mancante_ == mancante))
        return;
    stato_ = stato;
    mancante_ = mancante;
    emit statoCambiato();
}

void VoceSpeechd::prepara()
{
    if (avviata_ || stato_ == Stato::Assente)
        return;
    avviata_ = true;
    esegui([m = motore_] { m->prepara(); });
}

void VoceSpeechd::pronuncia(const QString &frase)
{
    const quint64 richiesta = ++*ultimaRichiesta_;
    esegui([m = motore_, frase = frase.toUtf8(), richiesta] { m->pronuncia(frase, richiesta); });
}

void VoceSpeechd::taci()
{
    ++*ultimaRichiesta_; // sentences still queued are dropped
    esegui([m = motore_] { m->taci(); });
}

bool VoceSpeechd::chiudi(int millisecondi)
{
    if (!filo_)
        return true;
    ++*ultimaRichiesta_;
    QDeadlineTimer scadenza(millisecondi);
    esegui([m = motore_] { m->chiudi(); });
    filo_->quit();
    const bool finito = filo_->wait(scadenza);
    if (finito) {
        // The thread has ended: nothing runs in the engine any more.
        delete motore_;
        delete filo_;
    }
    motore_ = nullptr;
    filo_ = nullptr;
    return finito;
}
