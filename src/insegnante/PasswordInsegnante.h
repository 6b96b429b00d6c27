#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// The teacher's password of a register on this PC. The file beside the register
// (0600) holds only libsodium's Argon2id string (salt and cost inside) and the
// count of wrong tries: after the fifth a wait of 30 seconds, doubled at each
// further wrong try up to 15 minutes, which survives a restart of the program.
// Every try is counted under a lock shared by all the running copies, before the
// password is checked: a try that cannot be counted is refused.
class PasswordInsegnante {
public:
    using Orologio = std::function<QDateTime()>;

    static constexpr int tentativiLiberi = 5;
    static constexpr int primaAttesa = 30;        // seconds
    static constexpr int attesaMassima = 15 * 60; // seconds
    static constexpr int lunghezzaMinima = 6;

    explicit PasswordInsegnante(QString file, Orologio orologio = {});

    // The file that goes with a register file.
    static QString fileAccanto(const QString &fileRegistro);
    // One sentence for a register that holds classes but no password: who sets it, and with which command.
    static QString comeSceglierla(const QString &fileRegistro);

    bool impostata() const;
    // Replaces the password (the first time, or a reset); false and errore() on failure.
    bool imposta(const QString &password);
    // The first time only: false when one was set meanwhile (from the command line, another copy).
    bool scegli(const QString &password);

    enum class Esito { Giusta, Sbagliata, Attendere, Errore };
    Esito verifica(const QString &password);
    // Seconds still to wait before the next try; 0 when a try is allowed.
    int attesa() const;

    QString errore() const { return errore_; }
    const QString &file() const { return file_; }

private:
    struct Stato {
        QByteArray hash;
        int errati = 0;
        qint64 attesaFino = 0; // ms since the epoch, UTC
    };
    bool scriviHash(const QString &password, bool soloLaPrima);
    Stato leggi() const;
    bool scrivi(const Stato &stato);
    QDateTime adesso() const;
    qint64 resta(const Stato &stato) const;

    QString file_;
    Orologio orologio_;
    QString errore_;
};
