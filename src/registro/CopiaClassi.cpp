#include "CopiaClassi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

QJsonObject CopiaClassi::leggi() const
{
    QFile f(file_);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

void CopiaClassi::scrivi(const QJsonObject &copia) const
{
    // Like the outbox: the folder only its user's, the file 0600 from the start.
    const QFileInfo info(file_);
    if (!info.absoluteDir().exists() && !QDir().mkpath(info.absolutePath()))
        return;
    QFile::setPermissions(info.absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QSaveFile f(file_);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    // Flushed first: commit() alone can take a write the full disk refused for a whole one, and
    // replace the copy with an empty file.
    const QByteArray testo = QJsonDocument(copia).toJson(QJsonDocument::Compact);
    if (f.write(testo) != testo.size() || !f.flush()) {
        f.cancelWriting();
        return;
    }
    f.commit();
}

void CopiaClassi::dimentica(const QString &cartella, const QString &alunno)
{
    const QDir dir(cartella);
    for (const QString &nome : dir.entryList({QStringLiteral("server-*-classi.json")}, QDir::Files)) {
        const CopiaClassi copia(dir.filePath(nome));
        QJsonObject c = copia.leggi();
        QJsonObject perClasse = c.value(QLatin1String("alunni")).toObject();
        bool cambiato = false;
        for (auto it = perClasse.begin(); it != perClasse.end(); ++it) {
            QJsonArray alunni = it.value().toArray();
            for (qsizetype i = alunni.size() - 1; i >= 0; --i)
                if (alunni.at(i).toArray().at(0).toString() == alunno) {
                    alunni.removeAt(i);
                    cambiato = true;
                }
            *it = alunni;
        }
        if (cambiato) {
            c.insert(QLatin1String("alunni"), perClasse);
            copia.scrivi(c);
        }
    }
}
