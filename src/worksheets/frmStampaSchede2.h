#pragma once

#include "SchedaDoppia.h"

// Worksheet of kind 2: the second set starts with fewer elements than the answer.
class frmStampaSchede2 : public FinestraUnica<frmStampaSchede2, SchedaDoppia> {
    Q_OBJECT
public:
    frmStampaSchede2() : FinestraUnica(2) {}
};
