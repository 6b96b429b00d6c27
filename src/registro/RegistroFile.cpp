#include "RegistroFile.h"

#include "Connessione.h"
#include "DepositoFile.h"
#include "Schema.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString virgolette(const QString &testo) { return QStringLiteral("«") + testo + QStringLiteral("»"); }

} // namespace

RegistroFile::RegistroFile(const QString &file, bool conUscita)
    : RegistroSql(conUscita ? fileUscita(file) : QString()), file_(file)
{
    consegnaLasciati();
}

Registro::Fabbrica RegistroFile::fabbricaLettore() const
{
    return [file = file_]() -> std::unique_ptr<Registro> { return std::make_unique<RegistroFile>(file, false); };
}

QString RegistroFile::descrizione() const { return QDir::toNativeSeparators(QFileInfo(file_).absoluteFilePath()); }

QString RegistroFile::fileUscita(const QString &file)
{
    const QFileInfo info(file);
    const QString base = info.suffix() == QLatin1String("sqlite") ? info.completeBaseName() : info.fileName();
    return info.absolutePath() + QLatin1Char('/') + base + QStringLiteral("-uscita.sqlite");
}

std::unique_ptr<Connessione> RegistroFile::apriFile(const QString &file, bool crea, QString *errore)
{
    auto c = std::make_unique<Connessione>(file, crea);
    if (!c->aperta()) {
        *errore = c->errore();
        return nullptr;
    }
    const std::optional<int> versione = Schema::versioneDi(c->db(), errore);
    if (!versione)
        return nullptr;
    if (*versione > Schema::versione()) {
        *errore = QStringLiteral("il registro %1 è della versione %2, più nuova di questo programma (%3): "
                                 "non viene modificato; aggiornare Quorvel.")
                      .arg(virgolette(QDir::toNativeSeparators(file)))
                      .arg(*versione)
                      .arg(Schema::versione());
        return nullptr;
    }
    if (!c->usaWal()) {
        *errore = c->errore();
        return nullptr;
    }
    if (!Schema::migra(c->db(), errore))
        return nullptr;
    return c;
}

std::unique_ptr<Connessione> RegistroFile::apri(bool crea, QString *errore)
{
    if (!crea && !QFileInfo::exists(file_))
        return nullptr;
    return apriFile(file_, crea, errore);
}

Spedizioniere::Fabbrica RegistroFile::fabbricaDeposito() const
{
    return [file = file_] { return std::make_unique<DepositoFile>(file); };
}
