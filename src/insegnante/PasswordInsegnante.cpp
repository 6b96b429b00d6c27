#include "PasswordInsegnante.h"

#include "registro/Registro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <sodium.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace {

bool sodioPronto()
{
    static const bool pronto = sodium_init() >= 0;
    return pronto;
}

// The lock every running copy takes on the file beside the password's before it reads and
// writes the count. The kernel lets it go with its holder, however that ends; a holder that
// hangs is waited for 10 seconds at most.
class Serratura {
public:
    explicit Serratura(const QString &file)
        : fd_(::open(QFile::encodeName(file).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        for (int i = 0; fd_ >= 0 && i < 1000; ++i) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
                presa_ = true;
                return;
            }
            if (errno != EWOULDBLOCK && errno != EINTR)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~Serratura()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Serratura(const Serratura &) = delete;
    Serratura &operator=(const Serratura &) = delete;
    bool presa() const { return presa_; }

private:
    int fd_;
    bool presa_ = false;
};

// The wait after `errati` wrong tries, in seconds.
qint64 durataAttesa(int errati)
{
    if (errati < PasswordInsegnante::tentativiLiberi)
        return 0;
    const int raddoppi = std::min(errati - PasswordInsegnante::tentativiLiberi, 5);
    return std::min<qint64>(qint64(PasswordInsegnante::primaAttesa) << raddoppi, PasswordInsegnante::attesaMassima);
}

QString fileSerratura(const QString &file) { return file + QStringLiteral(".blocco"); }

} // namespace

PasswordInsegnante::PasswordInsegnante(QString file, Orologio orologio)
    : file_(std::move(file)), orologio_(std::move(orologio))
{
}

QString PasswordInsegnante::fileAccanto(const QString &fileRegistro)
{
    return fileRegistro + QStringLiteral(".insegnante");
}

QString PasswordInsegnante::comeSceglierla(const QString &fileRegistro)
{
    const QFileInfo cartella(QFileInfo(fileRegistro).absolutePath());
    const QString chi =
        cartella.owner().isEmpty()
            ? QStringLiteral("il proprietario della cartella del registro")
            : QStringLiteral("l'utente «%1», proprietario della cartella del registro").arg(cartella.owner());
    QString comando = QStringLiteral("quorvel --registro-nuova-password");
    if (QFileInfo(fileRegistro).absoluteFilePath() != QFileInfo(Registro::filePredefinito()).absoluteFilePath()) {
        const QString file = QDir::toNativeSeparators(QFileInfo(fileRegistro).absoluteFilePath());
        comando += QStringLiteral(" --registro ") + (file.contains(QLatin1Char(' ')) ? u'"' + file + u'"' : file);
    }
    return QStringLiteral("Questo registro ha già delle classi ma non ha ancora la password dell'insegnante: la "
                          "sceglie %1, scrivendo in un terminale %2")
        .arg(chi, comando);
}

QDateTime PasswordInsegnante::adesso() const { return orologio_ ? orologio_() : QDateTime::currentDateTimeUtc(); }

// A file that exists but cannot be read still counts as a password set: a
// damaged file must never let anyone choose a new one from the window.
bool PasswordInsegnante::impostata() const { return QFileInfo::exists(file_); }

PasswordInsegnante::Stato PasswordInsegnante::leggi() const
{
    Stato stato;
    QFile f(file_);
    if (!f.open(QIODevice::ReadOnly))
        return stato;
    const QJsonObject o = QJsonDocument::fromJson(f.read(64 * 1024)).object();
    stato.hash = o.value(QStringLiteral("argon2id")).toString().toLatin1();
    stato.errati = o.value(QStringLiteral("errati")).toInt();
    stato.attesaFino = qint64(o.value(QStringLiteral("attesaFino")).toDouble());
    return stato;
}

bool PasswordInsegnante::scrivi(const Stato &stato)
{
    QJsonObject o;
    o.insert(QStringLiteral("argon2id"), QString::fromLatin1(stato.hash));
    o.insert(QStringLiteral("errati"), stato.errati);
    o.insert(QStringLiteral("attesaFino"), double(stato.attesaFino));
    QSaveFile f(file_);
    // The explicit flush: commit() alone takes a write that failed in its buffer (a full disk) for
    // done, and puts an empty file in place of the password's.
    if (!f.open(QIODevice::WriteOnly) || !f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        f.write(QJsonDocument(o).toJson(QJsonDocument::Compact)) < 0 || !f.flush() || !f.commit()) {
        errore_ = QStringLiteral("Non si può scrivere il file %1: %2.").arg(file_, f.errorString());
        return false;
    }
    return true;
}

bool PasswordInsegnante::imposta(const QString &password) { return scriviHash(password, false); }

bool PasswordInsegnante::scegli(const QString &password) { return scriviHash(password, true); }

bool PasswordInsegnante::scriviHash(const QString &password, bool soloLaPrima)
{
    if (password.size() < lunghezzaMinima) {
        errore_ = QStringLiteral("La password deve avere almeno %1 caratteri.").arg(lunghezzaMinima);
        return false;
    }
    if (!sodioPronto()) {
        errore_ = QStringLiteral("La libreria crittografica non si avvia.");
        return false;
    }
    QByteArray chiaro = password.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    const int esito = crypto_pwhash_str(hash, chiaro.constData(), std::size_t(chiaro.size()),
                                        crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE);
    sodium_memzero(chiaro.data(), std::size_t(chiaro.size()));
    if (esito != 0) {
        errore_ = QStringLiteral("Memoria insufficiente per proteggere la password.");
        return false;
    }
    // Before the first class the register's folder may not exist yet: made private, as the register makes it.
    const QString cartella = QFileInfo(file_).absolutePath();
    if (!QDir().exists(cartella) && QDir().mkpath(cartella))
        QFile::setPermissions(cartella, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Under the lock, so that a try being counted cannot write the old hash back.
    const Serratura serratura(fileSerratura(file_));
    if (!serratura.presa()) {
        errore_ = QStringLiteral("Non si può scrivere nella cartella %1.").arg(cartella);
        return false;
    }
    if (soloLaPrima && impostata()) {
        errore_ = QStringLiteral("La password dell'insegnante è stata scelta nel frattempo: chiudere questa "
                                 "finestra e riaprire «Registro».");
        return false;
    }
    Stato stato;
    stato.hash = QByteArray(hash, int(std::strlen(hash)));
    return scrivi(stato);
}

qint64 PasswordInsegnante::resta(const Stato &stato) const
{
    const qint64 ms = stato.attesaFino - adesso().toMSecsSinceEpoch();
    // A wait ending further away than the longest was not set at this clock (an older version's
    // unbounded doubling, a clock put back): it does not hold.
    return ms > 0 && ms <= qint64(attesaMassima) * 1000 ? ms : 0;
}

int PasswordInsegnante::attesa() const { return int((resta(leggi()) + 999) / 1000); }

PasswordInsegnante::Esito PasswordInsegnante::verifica(const QString &password)
{
    const Serratura serratura(fileSerratura(file_));
    Stato stato = leggi();
    if (stato.hash.isEmpty() || !sodioPronto()) {
        errore_ = QStringLiteral("Il file della password %1 manca o è danneggiato: "
                                 "reimpostarla con quorvel --registro-nuova-password.")
                      .arg(file_);
        return Esito::Errore;
    }
    if (resta(stato) > 0)
        return Esito::Attendere;
    // The try is counted before the password is checked: one that cannot be counted is not
    // checked at all, and a program killed during the check has already paid for it.
    Stato contato = stato;
    ++contato.errati;
    const qint64 durata = durataAttesa(contato.errati);
    contato.attesaFino = durata > 0 ? adesso().toMSecsSinceEpoch() + durata * 1000 : 0;
    if (!serratura.presa() || !scrivi(contato)) {
        errore_ = QStringLiteral("Tentativo non accettato: non si può scrivere il file %1, dove si contano i "
                                 "tentativi. Controllare che il disco non sia pieno e che il file si possa scrivere.")
                      .arg(file_);
        return Esito::Errore;
    }
    QByteArray chiaro = password.toUtf8();
    const bool giusta =
        crypto_pwhash_str_verify(stato.hash.constData(), chiaro.constData(), std::size_t(chiaro.size())) == 0;
    sodium_memzero(chiaro.data(), std::size_t(chiaro.size()));
    if (!giusta)
        return Esito::Sbagliata;
    stato.errati = 0;
    stato.attesaFino = 0;
    scrivi(stato);
    return Esito::Giusta;
}
