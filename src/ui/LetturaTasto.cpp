#include "LetturaTasto.h"

#include <QKeyEvent>

namespace CodiciTasto {

namespace {
// X11 (evdev) key codes of the main row's digit keys 1..9, 0.
constexpr quint32 primaCifraX11 = 10;
constexpr quint32 ultimaCifraX11 = 19;
} // namespace

int codice(const QKeyEvent &e)
{
    const int k = e.key();
    const bool tastierino = e.modifiers() & Qt::KeypadModifier;
    // Modifiers are not looked at: Shift with a digit key still gives the digit's code,
    // though Qt reports the shifted symbol ("!" or "1" depending on the layout).
    const quint32 fisico = e.nativeScanCode();
    if (!tastierino && (k < Qt::Key_0 || k > Qt::Key_9) && fisico >= primaCifraX11 && fisico <= ultimaCifraX11)
        return Cifra(static_cast<int>((fisico - primaCifraX11 + 1) % 10));
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return tastierino ? CifraTastierino(k - Qt::Key_0) : Cifra(k - Qt::Key_0);
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return 65 + (k - Qt::Key_A);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12)
        return 112 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Invio;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return Tab;
    case Qt::Key_Space:
        return Spazio;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Backspace:
        return 8;
    default:
        return 256 + (k & 0xFFFF);
    }
}

int carattere(const QKeyEvent &e)
{
    const QString t = e.text();
    if (t.isEmpty())
        return 0;
    return t.at(0).unicode();
}

} // namespace CodiciTasto
