#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QKeyEvent;

// Sees every real key release and mouse release in the program, whichever
// widget gets it, and counts the program losing the keyboard to another one as
// a release. A window's "one press acts once" guards clear on these, so a
// release that went elsewhere never swallows the next fresh press.
//
// On X11 a held key arrives as release + press pairs with one timestamp, and Qt
// flags them as auto-repeated only when the press is already queued as it
// reads the release, which is often not the case. So on that platform a
// release is held back briefly: a press of the same key with the same
// timestamp turns the pair into one auto-repeated press; otherwise the release
// is delivered as it was.
class OsservatoreRilasci : public QObject {
    Q_OBJECT
public:
    static OsservatoreRilasci &istanza();

    // How long a release waits for the press of an auto-repeat pair.
    static constexpr int attesaRipetizione = 25;
    // Whether releases are held back to find auto-repeat pairs (the X11 platform).
    bool correggeRipetizioni() const { return corregge_; }
    void impostaCorrezioneRipetizioni(bool attiva);

signals:
    void tastoRilasciato();
    void mouseRilasciato();

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override;

private:
    OsservatoreRilasci();
    void consegnaRilascio();

    bool corregge_ = false;
    QTimer attesa_;
    QPointer<QObject> destinatario_;
    int tasto_ = 0;
    Qt::KeyboardModifiers modificatori_;
    QString testo_;
    quint32 codiceNativo_ = 0;
    quint32 tastoVirtuale_ = 0;
    quint32 modificatoriNativi_ = 0;
    quint64 istante_ = 0;
    bool inAttesa_ = false;
};
