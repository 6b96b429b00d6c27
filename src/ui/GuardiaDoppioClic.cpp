#include "GuardiaDoppioClic.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWidget>

namespace {
const GuardiaDoppioClic::Pressione *inCorso = nullptr;
}

GuardiaDoppioClic::Pressione::Pressione(const QMouseEvent &evento)
    : precedente_(inCorso), istante_(evento.timestamp()), punto_(evento.globalPosition())
{
    inCorso = this;
}

GuardiaDoppioClic::Pressione::~Pressione() { inCorso = precedente_; }

void GuardiaDoppioClic::comparso(const QWidget &controllo)
{
    armata_ = inCorso && controllo.rect().contains(controllo.mapFromGlobal(inCorso->punto_).toPoint());
    if (armata_)
        istante_ = inCorso->istante_;
}

bool GuardiaDoppioClic::ignora(const QMouseEvent &evento) const
{
    // Event times come from the window system and only grow; a press older than the one
    // that brought the control up cannot reach it.
    return armata_ && evento.timestamp() >= istante_ &&
           evento.timestamp() - istante_ <
               static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}
