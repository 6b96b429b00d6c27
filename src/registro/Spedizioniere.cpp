#include "Spedizioniere.h"

#include "PostaUscita.h"

#include <QDebug>

#include <algorithm>
#include <chrono>

namespace {

using namespace std::chrono_literals;
using Orologio = std::chrono::steady_clock;

constexpr auto primaAttesa = 250ms;
constexpr auto massimaAttesa = 30s;
// New results after a failure: the store is tried again at most this long after it failed,
// however long the wait has grown, so a restarted server has them within a second or so.
constexpr auto conNuovi = 1s;
constexpr int lottoUscita = 500;
// What the end of the program waits for a store that is slow to take the last results.
constexpr auto pazienza = 1500ms;
// How often results that found no room in the outbox try it again.
constexpr auto attesaCustode = 100ms;

} // namespace

Spedizioniere::Spedizioniere(Fabbrica fabbrica, const QString &fileUscita, const QStringList &vecchie)
    : fabbrica_(std::move(fabbrica)), fileUscita_(fileUscita), vecchie_(vecchie), chiamante_(std::this_thread::get_id())
{
    thread_ = std::thread([this] { lavora(); });
    custode_ = std::thread([this] { custodisci(); });
}

Spedizioniere::~Spedizioniere()
{
    // What still waits in memory, into the outbox before anything else, if it can go now.
    if (std::this_thread::get_id() == chiamante_) {
        bool inMemoria = false;
        {
            std::lock_guard l(mutex_);
            inMemoria = !coda_.isEmpty();
        }
        if (inMemoria)
            inUscitaDalChiamante({});
    }
    {
        std::unique_lock l(mutex_);
        fine_ = true;
        sveglia_.notify_all();
        // The program ends with this: a store that does not answer keeps it waiting no longer.
        if (!fatto_.wait_for(l, pazienza, [this] { return finito_; }) && deposito_)
            deposito_->interrompi();
    }
    thread_.join();
    {
        std::lock_guard l(mutex_);
        fineCustode_ = true;
    }
    sveglia_.notify_all();
    custode_.join();
    postaChiamante_.reset();
}

void Spedizioniere::metti(const Risultato &risultato)
{
    // Connections belong to a thread: another caller's result goes through memory.
    if (std::this_thread::get_id() != chiamante_ || !inUscitaDalChiamante({risultato})) {
        std::lock_guard l(mutex_);
        coda_.append(risultato);
    }
    sveglia_.notify_all();
}

bool Spedizioniere::inUscitaDalChiamante(const QList<Risultato> &nuovi)
{
    if (!postaChiamante_)
        postaChiamante_ = std::make_unique<PostaUscita>(fileUscita_, PostaUscita::Scrittura::Rapida);
    // What waits in memory because the outbox could not take it (a full disk) goes in with these,
    // now that it may: the sender may be held up by a store that does not answer.
    QList<Risultato> lotto;
    {
        std::lock_guard l(mutex_);
        lotto.swap(coda_);
    }
    lotto += nuovi;
    const bool ok = postaChiamante_->metti(lotto);
    std::lock_guard l(mutex_);
    if (ok) {
        nuovi_ = true;
        inUscita_ = std::max(inUscita_, 0) + int(lotto.size()); // recounted by the sender
    } else {
        coda_ = lotto.mid(0, lotto.size() - nuovi.size()) + coda_;
    }
    return ok;
}

void Spedizioniere::custodisci()
{
    std::unique_ptr<PostaUscita> posta;
    std::unique_lock l(mutex_);
    for (;;) {
        sveglia_.wait(l, [this] { return fineCustode_ || !coda_.isEmpty(); });
        if (fineCustode_)
            return;
        const QList<Risultato> copia = coda_;
        l.unlock();
        if (!posta)
            posta = std::make_unique<PostaUscita>(fileUscita_);
        const bool ok = posta->metti(copia);
        l.lock();
        if (!ok) {
            // A full disk: again in a moment, whatever the store is doing.
            sveglia_.wait_for(l, attesaCustode, [this] { return fineCustode_; });
            continue;
        }
        // Those still in memory are in the outbox now; the sender may have taken some meanwhile.
        coda_.removeIf([&](const Risultato &r) {
            return std::any_of(copia.cbegin(), copia.cend(), [&](const Risultato &c) {
                return c.id == r.id && c.aiuto == r.aiuto && c.intervento == r.intervento;
            });
        });
        nuovi_ = true;
        inUscita_ = std::max(inUscita_, 0) + int(copia.size()); // recounted by the sender
        sveglia_.notify_all();
    }
}

int Spedizioniere::inAttesa()
{
    std::lock_guard l(mutex_);
    return int(coda_.size()) + inVolo_ + std::max(inUscita_, 0);
}

bool Spedizioniere::svuota(int ms)
{
    std::unique_lock l(mutex_);
    subito_ = true;
    sveglia_.notify_all();
    return fatto_.wait_for(l, std::chrono::milliseconds(std::max(ms, 0)),
                           [this] { return coda_.isEmpty() && inVolo_ == 0 && inUscita_ == 0; });
}

QString Spedizioniere::errore()
{
    std::lock_guard l(mutex_);
    return errore_;
}

bool Spedizioniere::spedisci(Deposito &deposito, PostaUscita &posta, const QList<Risultato> &lotto, bool prova)
{
    if (!deposito.lontano() && prova) {
        // A register on this PC is as safe as the outbox: straight there, the outbox only when it
        // fails, or for results meant for another register.
        const QString mia = deposito.identita();
        QList<Risultato> qui;
        QList<Risultato> altrove;
        for (const Risultato &r : lotto)
            (r.registro.isEmpty() || mia.isEmpty() || r.registro == mia ? qui : altrove).append(r);
        if (!altrove.isEmpty() && !posta.metti(altrove)) {
            qWarning("registro: posta in uscita: %s", qPrintable(posta.errore()));
            return false;
        }
        if (qui.isEmpty())
            return true;
        for (int prova = 0; prova < 3; ++prova) {
            if (deposito.consegna(qui))
                return true;
            std::this_thread::sleep_for(prova * 50ms);
        }
        qWarning("registro: %s", qPrintable(deposito.errore()));
        if (posta.metti(qui))
            return true;
        qWarning("registro: posta in uscita: %s", qPrintable(posta.errore()));
        return false;
    }
    if (posta.metti(lotto))
        return true;
    qWarning("registro: posta in uscita: %s", qPrintable(posta.errore()));
    // Nowhere on this PC to keep them: the store at once, whatever the wait after its last failure.
    return (prova || deposito.lontano()) && deposito.consegna(lotto);
}

bool Spedizioniere::consegnaUscita(Deposito &deposito, PostaUscita &posta)
{
    const QString mia = deposito.identita();
    if (mia.isEmpty())
        return false;
    for (;;) {
        const QList<Risultato> lotto = posta.prendi(lottoUscita, mia);
        if (lotto.isEmpty())
            return posta.conta(mia) == 0;
        if (!deposito.consegna(lotto))
            return false;
        // Removed only now that the store has committed them; if this fails they are offered
        // again later, and the store skips them.
        if (!posta.togli(lotto))
            return false;
        if (lotto.size() < lottoUscita)
            return true;
    }
}

void Spedizioniere::lavora()
{
    std::unique_ptr<Deposito> deposito = fabbrica_();
    PostaUscita posta(fileUscita_);
    for (const QString &vecchia : vecchie_)
        if (!posta.assorbi(vecchia) && !posta.errore().isEmpty())
            qWarning("registro: posta in uscita: %s", qPrintable(posta.errore()));
    // Until the store answers, every result in the outbox counts as waiting for it.
    QString identita;
    const int lasciati = posta.conta();
    std::unique_lock l(mutex_);
    deposito_ = deposito.get();
    inUscita_ = std::max(inUscita_, 0) + lasciati;
    fatto_.notify_all();
    // guasto: the store failed, tried again at `riprova`; fermo: nothing took the last results either.
    bool guasto = false;
    bool fermo = false;
    auto attesa = std::chrono::duration_cast<Orologio::duration>(primaAttesa);
    Orologio::time_point riprova;
    Orologio::time_point fallitoAlle;
    for (;;) {
        const auto pronto = [&] {
            return fine_ || subito_ || nuovi_ || (!fermo && !coda_.isEmpty()) || (!guasto && inUscita_ > 0);
        };
        if (guasto && (fermo || inUscita_ > 0))
            sveglia_.wait_until(l, riprova, pronto);
        else
            sveglia_.wait(l, pronto);
        const bool fine = fine_;
        const bool nuovi = std::exchange(nuovi_, false);
        // The store is tried when it has not failed, when its time has come, or when asked. At
        // the end a store away from this PC is not: what it has not taken is in the outbox.
        const bool prova = (!guasto || subito_ || fine || Orologio::now() >= riprova) && !(fine && deposito->lontano());
        subito_ = false;
        QList<Risultato> lotto;
        lotto.swap(coda_);
        inVolo_ = int(lotto.size());
        l.unlock();

        // What the caller put in the outbox survives a killed program; now a power cut too.
        if (nuovi && !posta.sincronizza())
            qWarning("registro: posta in uscita: %s", qPrintable(posta.errore()));
        bool ok = true;
        bool fallito = false;
        if (!lotto.isEmpty()) {
            ok = spedisci(*deposito, posta, lotto, prova);
            fallito = !ok;
        }
        if (prova && identita.isEmpty())
            identita = deposito->identita();
        if (ok && prova && posta.conta(identita) > 0 && !consegnaUscita(*deposito, posta))
            fallito = true; // what is in the outbox is safe: only the store is tried again later
        const int inUscita = posta.conta(identita);
        const QString errore = !fallito                        ? QString()
                               : !deposito->errore().isEmpty() ? deposito->errore()
                                                               : posta.errore();

        l.lock();
        inVolo_ = 0;
        inUscita_ = inUscita;
        if (nuovi_) // put in meanwhile: counted again next time round
            ++inUscita_;
        if (!ok) // neither the store nor the outbox took them: they stay in memory, first in line
            coda_ = lotto + coda_;
        fermo = !ok;
        if (prova || fallito) {
            errore_ = errore;
            guasto = fallito;
            if (guasto) {
                fallitoAlle = Orologio::now();
                riprova = fallitoAlle + attesa;
                attesa = std::min<Orologio::duration>(attesa * 2, massimaAttesa);
            } else {
                attesa = primaAttesa;
            }
        } else if (guasto && (!lotto.isEmpty() || nuovi)) {
            riprova = std::min(riprova, fallitoAlle + std::chrono::duration_cast<Orologio::duration>(conNuovi));
        }
        fatto_.notify_all();
        if (fine && (coda_.isEmpty() || !ok))
            break;
    }
    deposito_ = nullptr;
    l.unlock();
    // A server is left without a word: one that does not answer would keep the end waiting.
    if (deposito->lontano())
        deposito->interrompi();
    deposito.reset();
    l.lock();
    finito_ = true;
    fatto_.notify_all();
}
