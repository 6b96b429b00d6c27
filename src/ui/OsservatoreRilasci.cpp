#include "OsservatoreRilasci.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

OsservatoreRilasci &OsservatoreRilasci::istanza()
{
    static OsservatoreRilasci *osservatore = new OsservatoreRilasci;
    return *osservatore;
}

OsservatoreRilasci::OsservatoreRilasci() : QObject(QCoreApplication::instance())
{
    corregge_ = QGuiApplication::platformName() == QLatin1String("xcb");
    attesa_.setSingleShot(true);
    attesa_.setInterval(attesaRipetizione);
    connect(&attesa_, &QTimer::timeout, this, &OsservatoreRilasci::consegnaRilascio);
    QCoreApplication::instance()->installEventFilter(this);
}

void OsservatoreRilasci::impostaCorrezioneRipetizioni(bool attiva)
{
    if (!attiva && inAttesa_)
        consegnaRilascio();
    corregge_ = attiva;
}

void OsservatoreRilasci::consegnaRilascio()
{
    attesa_.stop();
    if (!inAttesa_)
        return;
    inAttesa_ = false;
    if (!destinatario_)
        return;
    QKeyEvent rilascio(QEvent::KeyRelease, tasto_, modificatori_, codiceNativo_, tastoVirtuale_, modificatoriNativi_,
                       testo_, false);
    rilascio.setTimestamp(istante_);
    QCoreApplication::sendEvent(destinatario_, &rilascio);
}

bool OsservatoreRilasci::eventFilter(QObject *oggetto, QEvent *evento)
{
    if (evento->type() == QEvent::ApplicationDeactivate) {
        // Keys and buttons released in another program never reach this one.
        if (inAttesa_)
            consegnaRilascio();
        emit tastoRilasciato();
        emit mouseRilasciato();
        return false;
    }
    if (!oggetto->isWidgetType())
        return false;
    const QEvent::Type tipo = evento->type();
    if (tipo == QEvent::MouseButtonRelease) {
        emit mouseRilasciato();
        return false;
    }
    if (tipo != QEvent::KeyPress && tipo != QEvent::KeyRelease)
        return false;

    auto *tasto = static_cast<QKeyEvent *>(evento);
    if (corregge_ && evento->spontaneous() && !tasto->isAutoRepeat()) {
        if (tipo == QEvent::KeyRelease) {
            if (inAttesa_)
                consegnaRilascio();
            inAttesa_ = true;
            destinatario_ = oggetto;
            tasto_ = tasto->key();
            modificatori_ = tasto->modifiers();
            testo_ = tasto->text();
            codiceNativo_ = tasto->nativeScanCode();
            tastoVirtuale_ = tasto->nativeVirtualKey();
            modificatoriNativi_ = tasto->nativeModifiers();
            istante_ = tasto->timestamp();
            attesa_.start();
            return true;
        }
        if (inAttesa_ && tasto->key() == tasto_ && tasto->timestamp() == istante_) {
            // The pair was the keyboard repeating a held key.
            attesa_.stop();
            inAttesa_ = false;
            QKeyEvent ripetuto(QEvent::KeyPress, tasto->key(), tasto->modifiers(), tasto->nativeScanCode(),
                               tasto->nativeVirtualKey(), tasto->nativeModifiers(), tasto->text(), true);
            ripetuto.setTimestamp(tasto->timestamp());
            QCoreApplication::sendEvent(oggetto, &ripetuto);
            return true;
        }
        // A new press: the release waiting before it was a real one.
        if (inAttesa_)
            consegnaRilascio();
        return false;
    }
    // A release travelling up the parents is seen more than once; clearing a guard twice is harmless.
    if (tipo == QEvent::KeyRelease && !tasto->isAutoRepeat())
        emit tastoRilasciato();
    return false;
}
