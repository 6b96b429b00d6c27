#pragma once

#include <QEvent>
#include <QString>

class QWidget;

// Key events as the tests send them: a press carries the text a real one types
// (digits, letters, Space, Enter, Tab, Escape), a release none.
namespace TastiTest {
QString testoDi(Qt::Key tasto);
void invia(QWidget *w, QEvent::Type tipo, Qt::Key tasto, bool ripetuto = false,
           Qt::KeyboardModifiers m = Qt::NoModifier);
void premi(QWidget *w, Qt::Key tasto, Qt::KeyboardModifiers m = Qt::NoModifier, bool ripetuto = false);
void rilascia(QWidget *w, Qt::Key tasto, Qt::KeyboardModifiers m = Qt::NoModifier);
void premiERilascia(QWidget *w, Qt::Key tasto, Qt::KeyboardModifiers m = Qt::NoModifier);
// As the window system sends it: spontaneous, with a timestamp.
void tastoDiSistema(QWidget *w, QEvent::Type tipo, Qt::Key tasto, quint64 istante, bool ripetuto = false,
                    const QString &testo = {});
} // namespace TastiTest
