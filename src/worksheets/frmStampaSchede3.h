#pragma once

#include "SchedaDoppia.h"

// Worksheet of kind 3: the second set starts with more elements than the answer.
class frmStampaSchede3 : public FinestraUnica<frmStampaSchede3, SchedaDoppia> {
    Q_OBJECT
public:
    frmStampaSchede3() : FinestraUnica(3) {}
};
