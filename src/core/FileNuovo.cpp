#include "FileNuovo.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

FileNuovo::FileNuovo(QString nome) : nome_(std::move(nome)) {}

FileNuovo::~FileNuovo() { abbandona(); }

void FileNuovo::abbandona()
{
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
    if (!concluso_ && !nascosto_.isEmpty())
        ::unlink(std::exchange(nascosto_, QByteArray()).constData());
}

bool FileNuovo::fallisci(int numero)
{
    errno_ = numero;
    return false;
}

bool FileNuovo::apri()
{
    if (fd_ >= 0 || concluso_)
        return false;
    const QFileInfo info(nome_);
    // mkostemps makes it 0600 whatever the umask, and never opens an existing file.
    QByteArray modello = QFile::encodeName(info.path() + QStringLiteral("/.") + info.fileName()) + "-XXXXXX";
    fd_ = ::mkostemp(modello.data(), O_CLOEXEC);
    if (fd_ < 0)
        return fallisci(errno);
    nascosto_ = modello;
    return true;
}

bool FileNuovo::scrivi(const QByteArray &dati)
{
    if (fd_ < 0)
        return fallisci(errno_ ? errno_ : EBADF);
    const char *da = dati.constData();
    qsizetype resta = dati.size();
    while (resta > 0) {
        const ssize_t scritti = ::write(fd_, da, size_t(resta));
        if (scritti < 0 && errno == EINTR)
            continue;
        // A short write is followed by one that says why (the disk is full, a size limit).
        if (scritti <= 0)
            return fallisci(scritti < 0 ? errno : EIO);
        da += scritti;
        resta -= scritti;
    }
    return true;
}

bool FileNuovo::concludi(const QString &nome)
{
    if (concluso_)
        return false;
    if (!sulDisco_) {
        if (fd_ < 0)
            return fallisci(errno_ ? errno_ : EBADF);
        if (::fsync(fd_) != 0)
            return fallisci(errno);
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0)
            return fallisci(errno);
        sulDisco_ = true;
    }
    const QString finale = nome.isEmpty() ? nome_ : nome;
    const QByteArray destinazione = QFile::encodeName(finale);
    if (::renameat2(AT_FDCWD, nascosto_.constData(), AT_FDCWD, destinazione.constData(), RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS)
            return fallisci(errno);
        // A file system without that rename: a link fails as well on an existing name.
        if (::link(nascosto_.constData(), destinazione.constData()) != 0)
            return fallisci(errno);
        ::unlink(nascosto_.constData());
    }
    concluso_ = true;
    nome_ = finale;
    // The new name itself on the disk too.
    const int cartella =
        ::open(QFile::encodeName(QFileInfo(finale).path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (cartella >= 0) {
        ::fsync(cartella);
        ::close(cartella);
    }
    return true;
}

bool FileNuovo::nomePreso() const { return errno_ == EEXIST; }

QString FileNuovo::errore() const { return errno_ ? QString::fromLocal8Bit(std::strerror(errno_)) : QString(); }
