#include "FilePdf.h"

#include "core/FileNuovo.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <pwd.h>
#include <unistd.h>

namespace {
constexpr double margine = 10 * 20.0; // 10 pt in twips
} // namespace

FilePdf::FilePdf(QString cartella, QString radice, QString nonSalvato)
    : cartella_(std::move(cartella)), radice_(std::move(radice)), nonSalvato_(std::move(nonSalvato))
{
}

QString FilePdf::cartellaDocumenti()
{
    if (!qEnvironmentVariableIsEmpty("HOME"))
        return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // Qt would take the root of the file system for the home folder.
    const passwd *utente = getpwuid(geteuid());
    const QString casa = utente && utente->pw_dir ? QDir::cleanPath(QFile::decodeName(utente->pw_dir)) : QString();
    if (casa.isEmpty() || casa == QDir::rootPath())
        return {};
    return casa + QStringLiteral("/Documents");
}

std::optional<Foglio> FilePdf::foglio()
{
    Foglio f;
    f.carta = QPageSize(QPageSize::A4);
    const QSizeF carta = f.carta.size(QPageSize::Point) * 20;
    f.area = QRectF(margine, margine, carta.width() - 2 * margine, carta.height() - 2 * margine);
    f.dpi = 1200;
    return f;
}

bool FilePdf::fallisci(const QString &motivo)
{
    spiegazione_ = cartella_.isEmpty()
                       ? nonSalvato_ + QStringLiteral(": ") + motivo
                       : nonSalvato_ + QStringLiteral(" nella cartella\n") +
                             QDir::toNativeSeparators(QDir::cleanPath(cartella_)) + QStringLiteral("\n") + motivo;
    return false;
}

bool FilePdf::consegna(const QByteArray &pdf)
{
    file_.clear();
    spiegazione_.clear();
    if (cartella_.isEmpty())
        return fallisci(QStringLiteral("non c'è una cartella dei documenti."));
    const QDir cartella(QDir::cleanPath(cartella_));
    if (!cartella.mkpath(QStringLiteral(".")))
        return fallisci(QStringLiteral("la cartella non si può creare."));

    // Written under a hidden name first: a file cut short never takes a sheet's name.
    FileNuovo scritto(cartella.filePath(radice_ + QStringLiteral(".pdf")));
    const auto motivo = [&] {
        if (!QFileInfo(cartella.path()).isWritable())
            return QStringLiteral("la cartella è di sola lettura.");
        if (QStorageInfo(cartella).bytesAvailable() < pdf.size())
            return QStringLiteral("il disco è pieno.");
        return QStringLiteral("errore di scrittura (%1).").arg(scritto.errore());
    };
    if (!scritto.apri() || !scritto.scrivi(pdf))
        return fallisci(motivo());

    for (int n = 1; n < 100000; ++n) {
        const QString nome = cartella.filePath(n == 1 ? radice_ + QStringLiteral(".pdf")
                                                      : QStringLiteral("%1 (%2).pdf").arg(radice_).arg(n));
        if (QFileInfo::exists(nome))
            continue;
        // Never over an existing file, even one made by someone else meanwhile.
        if (scritto.concludi(nome)) {
            file_ = nome;
            return true;
        }
        if (!scritto.nomePreso())
            return fallisci(motivo());
    }
    return fallisci(QStringLiteral("ogni nome %1 (n).pdf è già preso.").arg(radice_));
}
