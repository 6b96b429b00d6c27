#pragma once

#include <QPointF>
#include <QtGlobal>

class QMouseEvent;

// A control that a mouse press brings up (it appears or becomes enabled while
// that press is handled) ignores a press at the same spot within the system's
// double-click interval and distance: the second half of a double-click is not
// an answer to a question the pupil has not seen yet. The spot, not the control's
// place when it appeared, decides: a window that opens and then is maximized
// lays its controls out again before the second press. The keyboard is not affected.
class GuardiaDoppioClic {
public:
    // Marks a mouse press as being handled, for as long as the object lives.
    class Pressione {
    public:
        explicit Pressione(const QMouseEvent &evento);
        ~Pressione();
        Pressione(const Pressione &) = delete;
        Pressione &operator=(const Pressione &) = delete;

    private:
        const Pressione *precedente_;
        friend class GuardiaDoppioClic;
        quint64 istante_;
        QPointF punto_; // global
    };

    // The control has just appeared or become enabled.
    void comparso();
    // Whether this press is the second half of the press that brought the control up.
    bool ignora(const QMouseEvent &evento) const;

private:
    bool armata_ = false;
    quint64 istante_ = 0;
    QPointF punto_; // global
};
