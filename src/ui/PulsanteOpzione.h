#pragma once

#include "GuardiaDoppioClic.h"

#include <QAbstractButton>
#include <QColor>

#include <optional>

// An option button drawn as a big push button. It never stays selected, takes
// every key itself (no focus moves on Tab, no built-in Space or Enter action)
// and reports each input event with its index in the control array, as the
// window's handlers expect them: key down with the key code, then the typed
// character, key up, mouse down and up, focus in and out.
// Auto-repeated key events are swallowed here: a held key acts once. A press
// that is the second half of the double-click which brought the button up is too.
// A press that does not come from the mouse (an assistive technology's press
// action, click()) reports a left-button press and release.
class PulsanteOpzione : public QAbstractButton {
    Q_OBJECT
public:
    explicit PulsanteOpzione(QWidget *parent = nullptr);

    // Its id in the control array's button group; -1 outside an array.
    int indice() const;

    void impostaSfondo(const std::optional<QColor> &colore);
    // The colour it shows: its own, or the style's button colour.
    QColor sfondo() const;

    // The selected state of an option button; the windows keep clearing it.
    void impostaValore(bool valore);
    bool valore() const { return valore_; }

    // What a left click does, at once: press and release, if enabled.
    void premi();

    // The button's own Enabled property, whatever its container's state.
    bool abilitato() const;

    QSize sizeHint() const override;

    // Where the caption goes, and the font it takes there (smaller than the button's
    // own only when the button is smaller than its design).
    QRect rettangoloTesto() const;
    QFont carattereEffettivo() const;
    // The teacher's key that puts a window's menu bar under the keyboard: the only plain key
    // these buttons let through, and none of the pupils' keys.
    static constexpr Qt::Key tastoBarraMenu = Qt::Key_F10;
    static constexpr int allineamentoTesto = Qt::AlignCenter | Qt::TextWordWrap;

signals:
    void presoFuoco(int indice);
    void persoFuoco(int indice);
    void tastoGiu(int indice, int codice);
    void carattere(int indice, int codice);
    void tastoSu(int indice, int codice);
    void mouseGiu(int indice, Qt::MouseButton pulsante);
    void mouseSu(int indice, Qt::MouseButton pulsante);

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    std::optional<QColor> sfondo_;
    bool valore_ = false;
    GuardiaDoppioClic guardia_;
};

// An array of option buttons wired to its window's seven event handlers, named as the design names
// them (GotFocus, LostFocus, KeyDown, KeyPress, KeyUp, MouseDown, MouseUp).
template <class Array, class W, class GF, class LF, class KD, class KP, class KU, class MD, class MU>
void collegaGestori(const Array &array, W *finestra, GF gotFocus, LF lostFocus, KD keyDown, KP keyPress, KU keyUp,
                    MD mouseDown, MU mouseUp)
{
    for (const auto &[indice, pulsante] : array) {
        QObject::connect(pulsante, &PulsanteOpzione::presoFuoco, finestra, gotFocus);
        QObject::connect(pulsante, &PulsanteOpzione::persoFuoco, finestra, lostFocus);
        QObject::connect(pulsante, &PulsanteOpzione::tastoGiu, finestra, keyDown);
        QObject::connect(pulsante, &PulsanteOpzione::carattere, finestra, keyPress);
        QObject::connect(pulsante, &PulsanteOpzione::tastoSu, finestra, keyUp);
        QObject::connect(pulsante, &PulsanteOpzione::mouseGiu, finestra, mouseDown);
        QObject::connect(pulsante, &PulsanteOpzione::mouseSu, finestra, mouseUp);
    }
}
