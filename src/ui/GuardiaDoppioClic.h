#pragma once

#include <QPointF>
#include <QtGlobal>

class QMouseEvent;
class QWidget;

// A control that a mouse press brings up under the pointer (it appears or becomes
// enabled while that press is handled) ignores a press that follows within the
// system's double-click interval: the second half of a double-click is not an
// answer to a question the pupil has not seen yet. The keyboard is not affected.
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
    void comparso(const QWidget &controllo);
    // Whether this press is the second half of the press that brought the control up.
    bool ignora(const QMouseEvent &evento) const;

private:
    bool armata_ = false;
    quint64 istante_ = 0;
};
