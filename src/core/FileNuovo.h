#pragma once

#include <QByteArray>
#include <QString>

// A new file that takes its name only once it is whole: it is written under a hidden
// name in the folder it will live in, put on the disk, then renamed to its own name in
// one step that never replaces a file, not even one made meanwhile by someone else.
// Readable by its owner only. Until then (a failure, an early return) the hidden file
// is removed when the object goes; a process killed half way leaves at most the
// hidden file, never a partial one under the name the user asked for.
class FileNuovo {
public:
    // The hidden file is made beside `nome` (its folder is not made here).
    explicit FileNuovo(QString nome);
    ~FileNuovo();
    FileNuovo(const FileNuovo &) = delete;
    FileNuovo &operator=(const FileNuovo &) = delete;

    bool apri();
    bool aperto() const { return fd_ >= 0; }
    bool scrivi(const QByteArray &dati);
    // Every byte on the disk, then the name `nome` (the one given at first when empty),
    // in the same folder. False when that cannot be: nomePreso() tells whether a file
    // already has the name, in which case another name may be tried.
    bool concludi(const QString &nome = {});

    // Gives up: the hidden file goes now rather than with the object.
    void abbandona();

    bool nomePreso() const;
    // The system's reason for the last failure.
    QString errore() const;
    // The name the file took.
    QString nome() const { return concluso_ ? nome_ : QString(); }

private:
    bool fallisci(int numero);

    QString nome_;
    QByteArray nascosto_;
    int fd_ = -1;
    int errno_ = 0;
    bool sulDisco_ = false;
    bool concluso_ = false;
};
