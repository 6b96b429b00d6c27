#pragma once

#include "registro/RegistroSql.h"

// The register in a SQLite file on this PC (0600, in a folder only its user reads). Two copies
// of the program write it together; results go through the outbox beside it.
class RegistroFile : public RegistroSql {
public:
    // Without `conUscita` it records nothing and leaves the outbox to whoever does.
    explicit RegistroFile(const QString &file, bool conUscita = true);

    QString descrizione() const override;
    QString fileLocale() const override { return file_; }
    Fabbrica fabbricaLettore() const override;

    // The outbox of `file`: beside it and named after all of its name, so that a copy of the
    // register ("registro.bak", the same register's id) never takes another file's results.
    static QString fileUscita(const QString &file);
    // A connection to `file` at the program's version: a newer file is refused before anything
    // is written to it, an older one takes the steps it is missing. With `crea`, made if missing.
    static std::unique_ptr<Connessione> apriFile(const QString &file, bool crea, QString *errore);

protected:
    std::unique_ptr<Connessione> apri(bool crea, QString *errore) override;
    Spedizioniere::Fabbrica fabbricaDeposito() const override;

private:
    QString file_;
};
