#include "LettoreServer.h"

#include "Connessione.h"
#include "RegistroServer.h"

#include <QSqlQuery>

// The same register on the server, with no outbox: this one only reads.
class RegistroLettore : public RegistroSql {
public:
    explicit RegistroLettore(const QString &conninfo) : RegistroSql({}), conninfo_(conninfo) {}
    QString descrizione() const override { return conninfo_; }
    InterruttoreServer &interruttore() { return interruttore_; }
    QString identita() const { return identita_; }

protected:
    std::unique_ptr<Connessione> apri(bool, QString *errore) override
    {
        return RegistroServer::apriServer(conninfo_, interruttore_, errore);
    }
    Spedizioniere::Fabbrica fabbricaDeposito() const override { return {}; }

private:
    QString conninfo_;
    InterruttoreServer interruttore_;
};

LettoreServer::LettoreServer(const QString &conninfo) : conninfo_(conninfo) {}

LettoreServer::~LettoreServer()
{
    {
        std::lock_guard l(mutex_);
        fine_ = true;
        if (registro_ && finita_ != chiesta_)
            registro_->interruttore().interrompi();
    }
    sveglia_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

std::optional<QList<Classe>> LettoreServer::classi(Attesa attesa, QString *identita)
{
    struct Esito {
        std::optional<QList<Classe>> classi;
        QString identita;
    };
    auto esito = std::make_shared<Esito>();
    if (!esegui(
            [esito](RegistroSql &r) {
                const QList<Classe> elenco = r.classi(true);
                if (r.errore().isEmpty()) {
                    esito->classi = elenco;
                    esito->identita = static_cast<RegistroLettore &>(r).identita();
                }
            },
            attesa))
        return std::nullopt;
    if (identita && esito->classi)
        *identita = esito->identita;
    return esito->classi;
}

std::optional<QList<Alunno>> LettoreServer::alunni(const QString &classe, Attesa attesa)
{
    auto esito = std::make_shared<std::optional<QList<Alunno>>>();
    if (!esegui(
            [esito, classe](RegistroSql &r) {
                const QList<Alunno> elenco = r.alunni(classe);
                if (r.errore().isEmpty())
                    *esito = elenco;
            },
            attesa))
        return std::nullopt;
    return *esito;
}

bool LettoreServer::risponde(Attesa attesa)
{
    // Any read is a question the server must answer; the list of classes is the smallest there is.
    return classi(attesa).has_value();
}

bool LettoreServer::esegui(Lettura lettura, Attesa attesa)
{
    std::unique_lock l(mutex_);
    if (fine_ || finita_ != chiesta_)
        return false;
    if (!thread_.joinable())
        thread_ = std::thread([this] { lavora(); });
    if (registro_)
        registro_->interruttore().riprendi(); // the last read's break, if any, is over
    lettura_ = std::move(lettura);
    const quint64 numero = ++chiesta_;
    sveglia_.notify_all();
    if (fatto_.wait_for(l, attesa, [&] { return finita_ == numero; }))
        return true;
    // Still waiting: broken off, so the thread is free for the next read once libpq gives up.
    if (registro_)
        registro_->interruttore().interrompi();
    return false;
}

void LettoreServer::lavora()
{
    // Made, used and destroyed on this thread, as Qt SQL wants of its connections.
    RegistroLettore registro(conninfo_);
    std::unique_lock l(mutex_);
    registro_ = &registro;
    for (;;) {
        sveglia_.wait(l, [this] { return fine_ || finita_ != chiesta_; });
        if (fine_)
            break;
        const Lettura lettura = std::move(lettura_);
        const quint64 numero = chiesta_;
        l.unlock();
        lettura(registro);
        l.lock();
        finita_ = numero;
        fatto_.notify_all();
    }
    registro_ = nullptr;
}
