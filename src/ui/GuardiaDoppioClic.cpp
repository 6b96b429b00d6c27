#include "GuardiaDoppioClic.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>

namespace {
const GuardiaDoppioClic::Pressione *inCorso = nullptr;
}

GuardiaDoppioClic::Pressione::Pressione(const QMouseEvent &evento)
    : precedente_(inCorso), istante_(evento.timestamp()), punto_(evento.globalPosition())
{
    inCorso = this;
}

GuardiaDoppioClic::Pressione::~Pressione() { inCorso = precedente_; }

void GuardiaDoppioClic::comparso()
{
    armata_ = inCorso != nullptr;
    if (armata_) {
        istante_ = inCorso->istante_;
        punto_ = inCorso->punto_;
    }
}

bool GuardiaDoppioClic::ignora(const QMouseEvent &evento) const
{
    // Event times come from the window system and only grow; a press older than the one
    // that brought the control up cannot reach it.
    const QStyleHints *suggerimenti = QGuiApplication::styleHints();
    return armata_ && evento.timestamp() >= istante_ &&
           evento.timestamp() - istante_ < static_cast<quint64>(suggerimenti->mouseDoubleClickInterval()) &&
           (evento.globalPosition() - punto_).manhattanLength() <= suggerimenti->mouseDoubleClickDistance();
}
