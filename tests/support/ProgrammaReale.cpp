#include "ProgrammaReale.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

ProgrammaReale::ProgrammaReale()
    : display_(qEnvironmentVariable("QUORVEL_TEST_DISPLAY")), binario_(qEnvironmentVariable("QUORVEL_BINARY"))
{
}

ProgrammaReale::~ProgrammaReale()
{
    if (processo_.state() != QProcess::NotRunning) {
        processo_.kill();
        processo_.waitForFinished(5000);
    }
}

QString ProgrammaReale::motivoAssenza() const
{
    if (display_.isEmpty())
        return QStringLiteral("no test display (QUORVEL_TEST_DISPLAY is set by scripts/test)");
    if (binario_.isEmpty())
        return QStringLiteral("QUORVEL_BINARY not set");
    return {};
}

bool ProgrammaReale::avvia(const QStringList &argomenti)
{
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("DISPLAY"), display_);
    ambiente.remove(QStringLiteral("QT_QPA_PLATFORM"));
    ambiente.remove(QStringLiteral("WAYLAND_DISPLAY"));
    ambiente.insert(QStringLiteral("XDG_CONFIG_HOME"), impostazioni_.path());
    processo_.setProcessEnvironment(ambiente);
    processo_.start(binario_, argomenti);
    return processo_.waitForStarted(5000);
}

QByteArray ProgrammaReale::esegui(const QString &programma, const QStringList &argomenti, bool *riuscito)
{
    QProcess p;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("DISPLAY"), display_);
    p.setProcessEnvironment(ambiente);
    p.start(programma, argomenti);
    const bool ok = p.waitForFinished(15000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (riuscito)
        *riuscito = ok;
    return p.readAllStandardOutput();
}

qulonglong ProgrammaReale::attendiFinestra(const QString &titolo, int millisecondi)
{
    QElapsedTimer orologio;
    orologio.start();
    // xdotool reads POSIX extended expressions: escape only their own metacharacters.
    QString modello = QStringLiteral("^");
    for (QChar c : titolo) {
        if (QStringLiteral(".[](){}*+?|^$\\").contains(c))
            modello += QLatin1Char('\\');
        modello += c;
    }
    modello += QLatin1Char('$');
    while (orologio.elapsed() < millisecondi) {
        const QByteArray uscita =
            esegui(QStringLiteral("xdotool"),
                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), modello});
        const QList<QByteArray> righe = uscita.trimmed().split('\n');
        if (!righe.isEmpty() && !righe.first().isEmpty())
            return righe.first().toULongLong();
        QThread::msleep(100);
    }
    return 0;
}

QRect ProgrammaReale::geometria(qulonglong finestra)
{
    // xdotool misplaces decorated windows by the frame's height; xwininfo does not.
    const QByteArray uscita = esegui(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(finestra)});
    QRect r;
    for (const QByteArray &grezza : uscita.split('\n')) {
        const QByteArray riga = grezza.trimmed();
        const int duepunti = riga.lastIndexOf(':');
        if (duepunti < 0)
            continue;
        const QByteArray nome = riga.left(duepunti);
        const int v = riga.mid(duepunti + 1).trimmed().toInt();
        if (nome == "Absolute upper-left X")
            r.moveLeft(v);
        else if (nome == "Absolute upper-left Y")
            r.moveTop(v);
        else if (nome == "Width")
            r.setWidth(v);
        else if (nome == "Height")
            r.setHeight(v);
    }
    return r;
}

QString ProgrammaReale::statoFinestra(qulonglong finestra)
{
    return QString::fromUtf8(esegui(
        QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(finestra), QStringLiteral("_NET_WM_STATE")}));
}

QString ProgrammaReale::titoloAttivo()
{
    return QString::fromUtf8(
               esegui(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")}))
        .trimmed();
}

bool ProgrammaReale::tasti(const QStringList &nomi)
{
    bool ok = false;
    esegui(QStringLiteral("xdotool"),
           QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + nomi, &ok);
    return ok;
}

bool ProgrammaReale::tastoGiu(const QString &nome)
{
    bool ok = false;
    esegui(QStringLiteral("xdotool"), {QStringLiteral("keydown"), nome}, &ok);
    return ok;
}

bool ProgrammaReale::tastoSu(const QString &nome)
{
    bool ok = false;
    esegui(QStringLiteral("xdotool"), {QStringLiteral("keyup"), nome}, &ok);
    return ok;
}

bool ProgrammaReale::clic(int x, int y, int pulsante)
{
    bool ok = false;
    esegui(QStringLiteral("xdotool"),
           {QStringLiteral("mousemove"), QString::number(x), QString::number(y), QStringLiteral("click"),
            QString::number(pulsante)},
           &ok);
    return ok;
}

QImage ProgrammaReale::schermata()
{
    QTemporaryDir cartella;
    const QString file = cartella.filePath(QStringLiteral("schermata.png"));
    bool ok = false;
    esegui(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), file}, &ok);
    return ok ? QImage(file).convertToFormat(QImage::Format_RGB32) : QImage();
}

bool ProgrammaReale::segnale(int numero)
{
    return processo_.state() == QProcess::Running && ::kill(pid_t(processo_.processId()), numero) == 0;
}

bool ProgrammaReale::attendiFine(int millisecondi)
{
    if (processo_.state() == QProcess::NotRunning)
        return true;
    return processo_.waitForFinished(millisecondi);
}
