#include "PasswordInsegnante.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <sodium.h>

#include <cstring>

namespace {

bool sodioPronto()
{
    static const bool pronto = sodium_init() >= 0;
    return pronto;
}

} // namespace

PasswordInsegnante::PasswordInsegnante(QString file, Orologio orologio)
    : file_(std::move(file)), orologio_(std::move(orologio))
{
}

QString PasswordInsegnante::fileAccanto(const QString &fileRegistro)
{
    return fileRegistro + QStringLiteral(".insegnante");
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
    // Before the first class the register's folder may not exist yet: made private, as the register makes it.
    const QString cartella = QFileInfo(file_).absolutePath();
    if (!QDir().exists(cartella) && QDir().mkpath(cartella))
        QFile::setPermissions(cartella, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QSaveFile f(file_);
    if (!f.open(QIODevice::WriteOnly) || !f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        f.write(QJsonDocument(o).toJson(QJsonDocument::Compact)) < 0 || !f.commit()) {
        errore_ = QStringLiteral("Non si può scrivere il file %1: %2").arg(file_, f.errorString());
        return false;
    }
    return true;
}

bool PasswordInsegnante::imposta(const QString &password)
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
    Stato stato;
    stato.hash = QByteArray(hash, int(std::strlen(hash)));
    return scrivi(stato);
}

int PasswordInsegnante::attesa() const
{
    const qint64 resta = leggi().attesaFino - adesso().toMSecsSinceEpoch();
    return resta > 0 ? int((resta + 999) / 1000) : 0;
}

PasswordInsegnante::Esito PasswordInsegnante::verifica(const QString &password)
{
    Stato stato = leggi();
    if (stato.hash.isEmpty() || !sodioPronto()) {
        errore_ = QStringLiteral("Il file della password %1 manca o è danneggiato: "
                                 "reimpostarla con quorvel --registro-nuova-password.")
                      .arg(file_);
        return Esito::Errore;
    }
    const qint64 ora = adesso().toMSecsSinceEpoch();
    if (stato.attesaFino > ora)
        return Esito::Attendere;
    QByteArray chiaro = password.toUtf8();
    const bool giusta =
        crypto_pwhash_str_verify(stato.hash.constData(), chiaro.constData(), std::size_t(chiaro.size())) == 0;
    sodium_memzero(chiaro.data(), std::size_t(chiaro.size()));
    if (giusta) {
        if (stato.errati != 0 || stato.attesaFino != 0) {
            stato.errati = 0;
            stato.attesaFino = 0;
            scrivi(stato);
        }
        return Esito::Giusta;
    }
    ++stato.errati;
    if (stato.errati >= tentativiLiberi) {
        const int raddoppi = std::min(stato.errati - tentativiLiberi, 16);
        stato.attesaFino = ora + qint64(primaAttesa) * 1000 * (qint64(1) << raddoppi);
    }
    if (!scrivi(stato))
        return Esito::Errore;
    return Esito::Sbagliata;
}
