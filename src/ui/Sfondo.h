#pragma once

#include <QColor>

#include <optional>

class QWidget;
// Fills a widget with a back colour of the definitions; none leaves it transparent.
void riempiSfondo(QWidget *widget, const std::optional<QColor> &colore);
