// What reaches the disk: a result leaves the outbox only once the register's commit is on the
// disk, not only in the system's cache, so a power cut after the handover loses nothing. The
// program's own fsync/fdatasync calls are counted here, per file, by taking their place.
#include "registro/PostaUscita.h"
#include "registro/Registro.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>
#include <unistd.h>

namespace {

QMutex guardia;
QHash<QString, int> sincronizzati;

void conta(int fd)
{
    const QString file = QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(fd));
    QMutexLocker l(&guardia);
    ++sincronizzati[file];
}

template <typename F> F reale(const char *nome) { return reinterpret_cast<F>(dlsym(RTLD_NEXT, nome)); }

} // namespace

extern "C" int fsync(int fd)
{
    conta(fd);
    return reale<int (*)(int)>("fsync")(fd);
}

extern "C" int fdatasync(int fd)
{
    conta(fd);
    return reale<int (*)(int)>("fdatasync")(fd);
}

class TestRegistroDisco : public QObject {
    Q_OBJECT
private slots:
    void consegnaDurevoleSuQuestoPc()
    {
        QTemporaryDir cartella;
        const QString file = cartella.filePath(QStringLiteral("registro.sqlite"));
        QList<Alunno> alunni{{{}, {}, QStringLiteral("Marco"), {}}};
        {
            const auto registro = Registro::apri(file);
            const auto classe = registro->creaClasse(QStringLiteral("1ª A"));
            QVERIFY(classe && registro->aggiungiAlunni(classe->id, alunni));
        }
        Risultato r;
        r.id = Registro::nuovoId();
        r.alunno = alunni[0].id;
        r.sessione = Registro::nuovoId();
        r.quando = QDateTime::currentDateTimeUtc();
        r.macchina = QStringLiteral("aula-1");
        r.n = 3;
        r.figura = 2;
        r.risposta = 2;
        r.esatto = true;
        QVERIFY(PostaUscita(cartella.filePath(QStringLiteral("registro-uscita.sqlite"))).metti({r}));
        {
            QMutexLocker l(&guardia);
            sincronizzati.clear();
        }
        const auto registro = Registro::apri(file);
        QVERIFY(registro->svuota(10000));
        // And once the file is open and its journal under way: each handover is on the disk.
        {
            QMutexLocker l(&guardia);
            QVERIFY(sincronizzati.value(file + QStringLiteral("-wal")) > 0);
            sincronizzati.clear();
        }
        r.id = Registro::nuovoId();
        QVERIFY(PostaUscita(cartella.filePath(QStringLiteral("registro-uscita.sqlite"))).metti({r}));
        r.id = Registro::nuovoId();
        registro->registra(r);
        QVERIFY(registro->svuota(10000));
        QMutexLocker l(&guardia);
        QVERIFY2(sincronizzati.value(file + QStringLiteral("-wal")) > 0,
                 qPrintable(QStringList(sincronizzati.keys()).join(QLatin1Char(' '))));
    }
};

QTEST_GUILESS_MAIN(TestRegistroDisco)
#include "test_registro_disco.moc"
