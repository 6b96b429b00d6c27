#pragma once

#include "platform/Orologio.h"

// A clock that says what the test sets.
class OrologioScriptato : public Orologio {
public:
    double secondiDallaMezzanotte() const override { return adesso; }
    double adesso = 36000.0;
};
