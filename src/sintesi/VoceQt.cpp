#include "VoceQt.h"

#include "sintesi/MotoreVoce.h"

#include <QThread>

VoceQt::VoceQt() : filo_(new QThread), ultimaRichiesta_(std::make_shared<std::atomic<quint64>>(0))
{
    filo_->setObjectName(QStringLiteral("voce"));
    motore_ = new MotoreVoce(ultimaRichiesta_);
    motore_->moveToThread(filo_);
    connect(motore_, &MotoreVoce::controllato, this, [this](bool possibile, const QString &mancante) {
        if (possibile || stato_ != Stato::DaProvare)
            return;
        stato_ = Stato::Assente;
        mancante_ = mancante;
        emit statoCambiato();
    });
    connect(motore_, &MotoreVoce::preparato, this,
            [this](bool italiano, const QString &mancante, const QLocale &lingua) {
                stato_ = italiano ? Stato::Pronta : Stato::Assente;
                mancante_ = mancante;
                lingua_ = lingua;
                emit statoCambiato();
            });
    connect(motore_, &MotoreVoce::parlando, this, &VoceQt::parlando);
    filo_->start();
    esegui([m = motore_] { m->controlla(); });
}

VoceQt::~VoceQt() { chiudi(2000); }

template <class F> void VoceQt::esegui(F &&lavoro)
{
    if (motore_)
        QMetaObject::invokeMethod(motore_, std::forward<F>(lavoro), Qt::QueuedConnection);
}

void VoceQt::prepara()
{
    if (avviata_ || stato_ == Stato::Assente)
        return;
    avviata_ = true;
    esegui([m = motore_] { m->prepara(); });
}

void VoceQt::pronuncia(const QString &frase)
{
    const quint64 richiesta = ++*ultimaRichiesta_;
    esegui([m = motore_, frase, richiesta] { m->pronuncia(frase, richiesta); });
}

void VoceQt::taci()
{
    ++*ultimaRichiesta_; // sentences still queued are dropped
    esegui([m = motore_] { m->taci(); });
}

bool VoceQt::chiudi(int millisecondi)
{
    if (!filo_)
        return true;
    ++*ultimaRichiesta_;
    esegui([m = motore_] { m->chiudi(); });
    filo_->quit();
    const bool finito = filo_->wait(QDeadlineTimer(millisecondi));
    if (finito) {
        // The thread has ended: nothing runs in the engine any more.
        delete motore_;
        delete filo_;
    }
    motore_ = nullptr;
    filo_ = nullptr;
    return finito;
}
