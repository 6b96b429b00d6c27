#pragma once

#include <QDateTime>

// When a result happened, for the teacher's reports. A result carries the PC's own
// clock (quando); on the lab's server also the PC's clock when its sender handed it
// over (inviato) and the server's clock when it arrived (arrivo). A result is sent
// within milliseconds of inviato, so arrivo - inviato is how wrong the PC's clock was
// then. The reports trust quando when that error is within `tolleranza`, and
// otherwise move quando by the error: a PC whose clock is a year or an hour off
// cannot scatter a class's results over the calendar, and a result that waited days
// in the outbox still keeps its own day. Never later than its arrival.
namespace Orario {

constexpr qint64 tolleranzaMs = 5 * 60 * 1000;

// `inviato` and `arrivo` in ms since 1970 UTC, 0 when unknown (a register on this PC):
// then quando is all there is.
QDateTime momento(const QDateTime &quando, qint64 inviato, qint64 arrivo);

} // namespace Orario
