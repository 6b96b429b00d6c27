#include "app/Applicazione.h"
#include "app/FrmInizio.h"
#include "insegnante/AccessoInsegnante.h"
#include "insegnante/PasswordInsegnante.h"
#include "printing/frmStampante.h"
#include "registro/Registro.h"
#include "registro/RegistroCorrente.h"
#include "support/AmbienteTest.h"
#include "support/OrologioScriptato.h"
#include "ui/Finestra.h"
#include "ui/RegistroFinestre.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <random>
#include <sys/stat.h>

// The whole program under random input, seeded and reproducible in its choices
// (QUORVEL_SEME picks another seed): presses, keys, held keys, menu choices,
// resizes, minimizing, restoring and close requests on whichever window a user
// could reach, with the PDF writer as the printer. With a register of a class,
// "Chi sei?" comes before each exercise, and the teacher's windows open with a
// password this run knows: their dialogs ("Classi e alunni", a pupil's progress,
// questions) get random presses and keys too. After every event: each window on
// its screen and closable, the keyboard in a window of the program, every saved
// PDF an A4 file (a worksheet one page) and none overwritten. It runs for
// eventiPredefiniti events (about 30 s in the sanitizer build), or QUORVEL_EVENTI: a seed and a count
// replay the same run on any machine.
class TestProgrammaCasuale : public QObject {
    Q_OBJECT

    static constexpr qint64 eventiPredefiniti = 2500;
    static inline const QString password = QStringLiteral("gatto-42");

    std::unique_ptr<Registro> registro;

    std::mt19937 caso;
    OrologioScriptato orologio;
    QString cartella;
    QHash<QString, QString> salvati; // PDF file -> its size and time when first seen
    QMap<QString, int> conteggi;
    QTimer guardiano;
    bool dialogoChiuso = false; // and the activation not yet back in a window
    int tickMenu = 0;           // the guard's ticks with a menu open
    QString azione;             // the last one, for the report of a failure
    QPoint puntatore;           // where the last mouse event was, on the screen

    // The widget under the pointer, for the report of a failure.
    QString sottoIlPuntatore() const
    {
        QWidget *w = QApplication::widgetAt(puntatore);
        return w ? QStringLiteral("%1 \"%2\" of %3")
                       .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(),
                            QString::fromLatin1(w->window()->metaObject()->className()))
                 : QStringLiteral("nothing");
    }

    int tra(int da, int a) { return std::uniform_int_distribution<int>(da, a)(caso); }
    template <class T> const T &uno(const QList<T> &l) { return l.at(tra(0, static_cast<int>(l.size()) - 1)); }

    static QList<Finestra *> visibili()
    {
        QList<Finestra *> v;
        for (RegistroFinestre::Scaricabile *s : RegistroFinestre::istanza().caricate())
            if (auto *f = dynamic_cast<Finestra *>(s); f && f->isVisible() && !f->scaricata())
                v << f;
        return v;
    }

    // The teacher's window, when open: not one of the pupils' windows, but reached from them.
    static QMainWindow *docente()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *m = qobject_cast<QMainWindow *>(w); m && m->isVisible() && !qobject_cast<Finestra *>(w))
                return m;
        return nullptr;
    }

    // A window of this program that may hold the keyboard.
    static bool delProgramma(QWidget *w)
    {
        return qobject_cast<Finestra *>(w) || qobject_cast<QMenu *>(w) || qobject_cast<QDialog *>(w) ||
               (qobject_cast<QMainWindow *>(w) && w == docente()) || w->inherits("QComboBoxPrivateContainer");
    }

    // Inside a dialog's own loop (the teacher's password, "Classi e alunni", a question): the
    // password when asked for it, else a press on one of its buttons, a key, or Escape. Queued, so
    // that a dialog it opens runs its loop outside this timer, which then acts in that one too.
    void nelDialogo(QDialog *d)
    {
        ++conteggi[d->metaObject()->className()];
        // Whatever it does may close the dialog, which offscreen hands the activation to nobody.
        dialogoChiuso = true;
        if (auto *accesso = qobject_cast<AccessoInsegnante *>(d); accesso && tra(0, 3)) {
            accesso->campo()->setText(password);
            if (accesso->ripeti()->isVisible())
                accesso->ripeti()->setText(password);
            QTimer::singleShot(0, accesso, &AccessoInsegnante::prova);
            ++conteggi["accessi"];
            return;
        }
        const int scelta = tra(0, 9);
        if (scelta == 0) {
            d->reject();
            dialogoChiuso = true;
            ++conteggi["dialoghi chiusi"];
            return;
        }
        QList<QAbstractButton *> pulsanti;
        for (QAbstractButton *b : d->findChildren<QAbstractButton *>())
            if (b->isVisibleTo(d) && b->isEnabled())
                pulsanti << b;
        const QPointer<QDialog> vivo(d);
        if (scelta < 6 && !pulsanti.isEmpty()) {
            const QPointer<QAbstractButton> b = uno(pulsanti);
            QTimer::singleShot(0, this, [b] {
                if (b && b->isVisible() && b->isEnabled())
                    b->click();
            });
            ++conteggi["pulsanti nei dialoghi"];
            return;
        }
        static const Qt::Key tasti[] = {Qt::Key_Tab, Qt::Key_Return, Qt::Key_Space, Qt::Key_Down,
                                        Qt::Key_Up,  Qt::Key_A,      Qt::Key_Escape};
        const Qt::Key k = tasti[tra(0, std::size(tasti) - 1)];
        QTimer::singleShot(0, this, [vivo, k] {
            if (!vivo || !vivo->isVisible())
                return;
            QWidget *fuoco = QApplication::focusWidget();
            QTest::keyClick(fuoco && fuoco->window() == vivo ? fuoco : vivo.data(), k);
        });
        ++conteggi["tasti nei dialoghi"];
    }

    // The window that takes the input: the modal one if any, else the active one, else one the
    // user clicks on.
    QWidget *bersaglio()
    {
        if (auto *m = qobject_cast<Finestra *>(QApplication::activeModalWidget()))
            return m;
        const QList<Finestra *> v = visibili();
        if (v.isEmpty())
            return nullptr;
        QWidget *attiva = QApplication::activeWindow();
        if (attiva && (qobject_cast<Finestra *>(attiva) || attiva == docente()) && tra(0, 9))
            return attiva;
        if (QMainWindow *d = docente(); d && tra(0, 3) == 0) {
            d->showNormal();
            d->raise();
            d->activateWindow();
            ++conteggi["cambi di finestra"];
            return d;
        }
        Finestra *f = uno(v);
        f->mostra();
        ++conteggi["cambi di finestra"];
        return f;
    }

    // What a pointer can press in the window: a pupil's window lists its controls, the teacher's
    // window is any widget that takes focus.
    static QList<QWidget *> controlliDi(QWidget *f)
    {
        QList<QWidget *> controlli;
        if (auto *finestra = qobject_cast<Finestra *>(f)) {
            for (const Controllo &c : finestra->controlli())
                if (c.widget() && c.widget()->isVisibleTo(f) && c.widget()->focusPolicy() != Qt::NoFocus)
                    controlli << c.widget();
            return controlli;
        }
        for (QWidget *w : f->findChildren<QWidget *>())
            if (w->isVisibleTo(f) && w->isEnabled() && w->focusPolicy() != Qt::NoFocus)
                controlli << w;
        return controlli;
    }

    void mouse(QWidget *f)
    {
        QWindow *w = f->windowHandle();
        if (!w)
            return;
        // Mostly on a control, else anywhere in the window.
        QPoint p(tra(0, f->width() - 1), tra(0, f->height() - 1));
        const QList<QWidget *> controlli = controlliDi(f);
        if (!controlli.isEmpty() && tra(0, 3)) {
            QWidget *c = uno(controlli);
            p = f->mapFromGlobal(c->mapToGlobal(QPoint(tra(0, c->width() - 1), tra(0, c->height() - 1))));
            azione += QStringLiteral(", press on ") + c->objectName();
        }
        // Not on the printer list: offscreen, its popup takes the activation away with it, which
        // X11 never does (the list is chosen with the keys instead).
        if (qobject_cast<QComboBox *>(f->childAt(f->mapFromGlobal(w->mapToGlobal(p)))))
            return;
        const Qt::MouseButton b = tra(0, 5) ? Qt::LeftButton : Qt::RightButton;
        if (tra(0, 19) == 0) {
            QTest::mouseDClick(w, b, {}, p);
            ++conteggi["doppi clic"];
            return;
        }
        const QPointer<QWidget> viva(f);
        puntatore = w->mapToGlobal(p);
        QTest::mousePress(w, b, {}, p);
        if (viva && f->windowHandle() == w && tra(0, 9))
            QTest::mouseRelease(w, b, {}, p);
        else if (viva && f->windowHandle() == w)
            QTest::mouseRelease(w, b, {}, QPoint(-1, -1)); // released outside
    }

    void tasto(QWidget *f)
    {
        static const Qt::Key tasti[] = {Qt::Key_1,     Qt::Key_2,      Qt::Key_3,     Qt::Key_4,  Qt::Key_5,
                                        Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_S,  Qt::Key_N,
                                        Qt::Key_Tab,   Qt::Key_Escape, Qt::Key_Down,  Qt::Key_Up, Qt::Key_A};
        const Qt::Key k = tasti[tra(0, std::size(tasti) - 1)];
        const Qt::KeyboardModifiers m = tra(0, 9) == 0 ? Qt::KeypadModifier : Qt::NoModifier;
        azione += QStringLiteral(", key %1").arg(QKeySequence(k).toString());
        QWindow *w = f->windowHandle();
        if (!w)
            return;
        const QPointer<QWidget> viva(f);
        QTest::keyPress(w, k, m);
        // Held: a series of auto-repeated presses before the release.
        for (int r = tra(0, 9) == 0 ? tra(1, 6) : 0; r > 0 && viva && f->windowHandle() == w && w->isVisible(); --r) {
            QPointer<QWidget> fuoco = QApplication::focusWidget() ? QApplication::focusWidget() : f;
            QKeyEvent su(QEvent::KeyRelease, k, m, QString(), true);
            QKeyEvent giu(QEvent::KeyPress, k, m,
                          QTest::keyToAscii(k) ? QString(QChar(QTest::keyToAscii(k))) : QString(), true);
            QApplication::sendEvent(fuoco, &su);
            if (QWidget *ora = QApplication::focusWidget() ? QApplication::focusWidget() : fuoco.data())
                QApplication::sendEvent(ora, &giu);
            ++conteggi["ripetizioni"];
        }
        if (tra(0, 9) && QGuiApplication::focusWindow())
            QTest::keyRelease(QGuiApplication::focusWindow(), k, m);
    }

    void menu(QWidget *f)
    {
        QList<QAction *> azioni;
        if (auto *finestra = qobject_cast<Finestra *>(f))
            for (const Controllo &c : finestra->controlli())
                if (auto *a = qobject_cast<QAction *>(c.oggetto); a && !a->menu() && a->isEnabled())
                    azioni << a;
        // The menus the program adds of its own ("Registro", "Voce", the teacher's window's).
        for (QAction *a : f->findChildren<QAction *>())
            if (!a->menu() && !a->isSeparator() && a->isEnabled() && !a->text().isEmpty() && !azioni.contains(a))
                azioni << a;
        if (azioni.isEmpty() || (QApplication::activeModalWidget() && QApplication::activeModalWidget() != f))
            return;
        uno(azioni)->trigger();
        ++conteggi["scelte di menu"];
    }

    void finestra(QWidget *f)
    {
        const int quale = tra(0, 3);
        azione += QStringLiteral(", window action %1").arg(quale);
        switch (quale) {
        case 0: {
            // Dragging an edge: any size the screen holds.
            const QRect schermo = f->screen()->availableGeometry();
            f->showNormal();
            const QMargins m(f->geometry().left() - f->frameGeometry().left(),
                             f->geometry().top() - f->frameGeometry().top(), 0, 0);
            if (f->minimumWidth() != f->maximumWidth())
                f->setGeometry(
                    QRect(schermo.topLeft() + QPoint(m.left(), m.top()),
                          QSize(tra(100, schermo.width() - m.left()), tra(100, schermo.height() - m.top()))));
            ++conteggi["ridimensionamenti"];
            break;
        }
        case 1:
            f->showMinimized();
            // As a window manager does, the keyboard goes to another window.
            AmbienteTest::elabora();
            if (!QApplication::activeWindow())
                for (Finestra *altra : visibili())
                    if (altra != f && !altra->isMinimized())
                        altra->activateWindow();
            ++conteggi["riduzioni a icona"];
            break;
        case 2:
            if (f->isMaximized())
                f->showNormal();
            else if (f->minimumWidth() != f->maximumWidth())
                f->showMaximized();
            break;
        default:
            // The close box; a modal window keeps the others' boxes from answering.
            if (!QApplication::activeModalWidget() || QApplication::activeModalWidget() == f) {
                f->close();
                ++conteggi["chiusure"];
            }
            break;
        }
    }

    void controllaPdf()
    {
        const QFileInfoList file = QDir(cartella).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
        for (const QFileInfo &i : file) {
            // A file seen before keeps its size and time; a new one is read once.
            const QString chiave = i.filePath();
            // The inode tells a file replaced under the name from one written over in place.
            struct stat st {};
            ::stat(QFile::encodeName(chiave).constData(), &st);
            const QString firma = QStringLiteral("%1 bytes, %2 ms, inode %3")
                                      .arg(i.size())
                                      .arg(i.lastModified().toMSecsSinceEpoch())
                                      .arg(st.st_ino);
            if (salvati.contains(chiave)) {
                QVERIFY2(salvati.value(chiave) == firma,
                         qPrintable(
                             QStringLiteral("%1 overwritten: %2, then %3").arg(chiave, salvati.value(chiave), firma)));
                continue;
            }
            QProcess pdfinfo;
            pdfinfo.start(QStringLiteral("pdfinfo"), {chiave});
            QVERIFY(pdfinfo.waitForFinished(30000));
            const QString info = QString::fromUtf8(pdfinfo.readAllStandardOutput());
            QVERIFY2(pdfinfo.exitCode() == 0, qPrintable(chiave));
            // A sheet is one page; a class set ("Schede…") and the teacher's reports as many as they hold.
            const QString pagine =
                i.fileName().startsWith(QStringLiteral("Scheda")) && !i.fileName().startsWith(QStringLiteral("Schede"))
                    ? QStringLiteral("1")
                    : QStringLiteral("[1-9]\\d*");
            QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pagine))),
                     qPrintable(info));
            QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
            salvati.insert(chiave, firma);
        }
    }

    void controllaInvarianti()
    {
        const QList<Finestra *> v = visibili();
        for (Finestra *f : v) {
            if (f->isMinimized())
                continue;
            const QRect schermo = f->screen()->availableGeometry();
            QVERIFY2(schermo.contains(f->frameGeometry()), qPrintable(f->windowTitle()));
            // A close box on every window; a modal one keeps the others from taking input until it goes.
            QVERIFY(!(f->windowFlags() & Qt::CustomizeWindowHint) || (f->windowFlags() & Qt::WindowCloseButtonHint));
        }
        if (QWidget *m = QApplication::activeModalWidget())
            QVERIFY(m->isVisible() && m->isEnabled());
        QWidget *fuoco = QApplication::focusWidget();
        if (fuoco) {
            QWidget *w = fuoco->window();
            QVERIFY2(delProgramma(w), qPrintable(w->objectName()));
        }
        // With a window of the program on the screen, the keyboard is in one.
        bool aperte = false;
        for (Finestra *f : v)
            aperte = aperte || !f->isMinimized();
        if (aperte && !QApplication::activePopupWidget()) {
            QString stato;
            for (Finestra *f : v)
                stato += QStringLiteral(" %1%2").arg(QString::fromLatin1(f->metaObject()->className()),
                                                     f->isMinimized() ? QStringLiteral("(min)") : QString());
            // Offscreen, a menu of the program stays the active window for a while after it closed;
            // on X11 (Xvfb with openbox) the keyboard is back in its window once it closes.
            QWidget *attiva = QApplication::activeWindow();
            auto *menu = qobject_cast<QMenu *>(attiva);
            const bool menuDelProgramma =
                menu && menu->parentWidget() && qobject_cast<Finestra *>(menu->parentWidget()->window());
            stato += QStringLiteral("; active: %1")
                         .arg(attiva ? QString::fromLatin1(attiva->metaObject()->className()) : QStringLiteral("none"));
            // Offscreen again, a closed dialog hands the activation to nobody until the next press;
            // a window manager gives it back to the dialog's window.
            if (attiva)
                dialogoChiuso = false;
            QVERIFY2(qobject_cast<Finestra *>(attiva) || menuDelProgramma || (attiva && delProgramma(attiva)) ||
                         (!attiva && dialogoChiuso),
                     qPrintable(stato));
        }
    }

    static qint64 numeroEventi()
    {
        return qEnvironmentVariableIsSet("QUORVEL_EVENTI") ? qEnvironmentVariable("QUORVEL_EVENTI").toLongLong()
                                                           : eventiPredefiniti;
    }

public:
    // A long run outlasts QtTest's 300 s watchdog, which would end it as a crash: allow 50 ms an event.
    static void initMain()
    {
        if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
            qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(std::max<qint64>(300000, numeroEventi() * 50)));
    }

private slots:
    void initTestCase()
    {
        Applicazione::collega();
        caso.seed(AmbienteTest::seme(20261208u));
        const QString casa = AmbienteTest::casaTemporanea();
        QVERIFY(!casa.isEmpty());
        cartella = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (cartella.isEmpty())
            cartella = casa;
        AmbienteTest::registraMessaggi();
        Orologio::imposta(&orologio);
        // A register of one class, as a school has it, and the teacher's password.
        registro = Registro::apri(QDir(casa).filePath(QStringLiteral("registro.sqlite")));
        const std::optional<Classe> classe = registro->creaClasse(QStringLiteral("1ª A"));
        QVERIFY2(classe, qPrintable(registro->errore()));
        QList<Alunno> alunni;
        for (const char *nome : {"Zoë", "Luca", "D'Angelo"})
            alunni << Alunno{{}, {}, QString::fromUtf8(nome), {}};
        QVERIFY2(registro->aggiungiAlunni(classe->id, alunni), qPrintable(registro->errore()));
        PasswordInsegnante chiave(PasswordInsegnante::fileAccanto(registro->fileLocale()));
        QVERIFY2(chiave.imposta(password), qPrintable(chiave.errore()));
        RegistroCorrente::imposta(registro.get());
        // What runs a loop of its own (the teacher's dialogs, Qt's own edit menu of a text or number
        // field) gets its input from inside that loop.
        connect(&guardiano, &QTimer::timeout, this, [this] {
            if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget()); d && d->isVisible())
                nelDialogo(d);
            if (QWidget *m = QApplication::activePopupWidget(); m && m->objectName() == QLatin1String("qt_edit_menu"))
                m->close();
            // A menu run in a loop of its own (a tool button's, a calendar's months) waits for a choice
            // that a click elsewhere would end: after a few ticks, one of its items or none.
            if (auto *m = qobject_cast<QMenu *>(QApplication::activePopupWidget()); m && ++tickMenu > 5) {
                tickMenu = 0;
                QList<QAction *> voci;
                for (QAction *a : m->actions())
                    if (a->isEnabled() && !a->isSeparator() && !a->menu())
                        voci << a;
                const QPointer<QMenu> menu(m);
                QAction *scelta = !voci.isEmpty() && tra(0, 1) ? uno(voci) : nullptr;
                QTimer::singleShot(0, this, [menu, scelta] {
                    if (menu && scelta)
                        scelta->trigger();
                    if (menu)
                        menu->close();
                });
                ++conteggi["menu con un loop"];
                dialogoChiuso = true; // offscreen, its end hands the activation to nobody, as a dialog's does
            } else if (!QApplication::activePopupWidget())
                tickMenu = 0;
        });
        guardiano.start(40);
    }

    void cleanupTestCase()
    {
        AmbienteTest::chiudiTutto();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w != nullptr && w->isVisible())
                w->close();
        RegistroCorrente::imposta(nullptr);
        registro.reset();
        Orologio::imposta(nullptr);
    }

    void tuttoIlProgramma()
    {
        const qint64 eventi = numeroEventi();
        QElapsedTimer durata;
        durata.start();
        qint64 passo = 0;
        for (; passo < eventi; ++passo) {
            if (visibili().isEmpty()) {
                // The program ended, or only hidden windows are left: start it again.
                AmbienteTest::chiudiTutto();
                FrmInizio::istanza().mostra();
                ++conteggi["avvii"];
            }
            orologio.avanza(tra(0, 30) + tra(0, 9) / 10.0);
            QWidget *f = bersaglio();
            if (!f)
                continue;
            ++conteggi[f->metaObject()->className()];
            const int scelta = tra(0, 99);
            azione = QStringLiteral("%1 on %2, active %3")
                         .arg(scelta)
                         .arg(QString::fromLatin1(f->metaObject()->className()),
                              QApplication::activeWindow()
                                  ? QString::fromLatin1(QApplication::activeWindow()->metaObject()->className())
                                  : QStringLiteral("none"));
            const bool conDocente = docente() != nullptr;
            if (scelta < 50)
                mouse(f);
            else if (scelta < 85)
                tasto(f);
            else if (scelta < 93)
                menu(f);
            else
                finestra(f);
            if (tra(0, 20) == 0)
                AmbienteTest::elabora();
            AmbienteTest::elabora();
            // Offscreen, the teacher's window closed hands the activation to nobody, as a dialog does.
            if (conDocente && !docente())
                dialogoChiuso = true;
            controllaInvarianti();
            controllaPdf();
            if (QTest::currentTestFailed()) {
                qWarning("step %lld: %s; under the pointer (%d, %d): %s", passo, qPrintable(azione), puntatore.x(),
                         puntatore.y(), qPrintable(sottoIlPuntatore()));
                return;
            }
            if (passo % 10000 == 9999)
                qInfo("%lld eventi in %.1f s", passo + 1, durata.elapsed() / 1000.0);
        }
        qInfo("%lld eventi in %.1f s, %lld PDF salvati", passo, durata.elapsed() / 1000.0,
              static_cast<qint64>(salvati.size()));
        for (auto it = conteggi.cbegin(); it != conteggi.cend(); ++it)
            qInfo("  %s: %d", qPrintable(it.key()), it.value());
        // Every window was reached.
        for (const char *classe : {"FrmInizio", "frmOperativo", "frmAutore", "frmStampaSchede", "frmStampaSchede2",
                                   "frmStampaSchede3", "frmStampante", "frmChiSei", "AccessoInsegnante", "FrmRegistro"})
            QVERIFY2(conteggi.value(QString::fromLatin1(classe)) > 0 || passo < 2000, classe);
    }
};

QTEST_MAIN(TestProgrammaCasuale)
#include "test_programma_casuale.moc"
