#include "LettoreSfondo.h"

LettoreSfondo::LettoreSfondo(Registro::Fabbrica fabbrica) : fabbrica_(std::move(fabbrica)) {}

LettoreSfondo::~LettoreSfondo()
{
    {
        std::lock_guard l(mutex_);
        fine_ = true;
        coda_.clear();
    }
    sveglia_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void LettoreSfondo::accoda(Lettura lettura)
{
    std::lock_guard l(mutex_);
    coda_.push_back(std::move(lettura));
    // Started with the first read: a window that never reads opens no connection.
    if (!thread_.joinable())
        thread_ = std::thread([this] { lavora(); });
    sveglia_.notify_all();
}

bool LettoreSfondo::chiuso() const
{
    std::lock_guard l(mutex_);
    return fine_;
}

void LettoreSfondo::lavora()
{
    // Made, used and destroyed on this thread, as Qt SQL wants of its connections.
    const std::unique_ptr<Registro> registro = fabbrica_();
    std::unique_lock l(mutex_);
    for (;;) {
        sveglia_.wait(l, [this] { return fine_ || !coda_.empty(); });
        if (fine_)
            break;
        const Lettura lettura = std::move(coda_.front());
        coda_.pop_front();
        l.unlock();
        lettura(*registro);
        l.lock();
    }
}
