// CDelivery: one delivery of the pump as the control keeps it in its delivery list, from the
// delivery changes the client object reports. The face and the popup read it.
#pragma once

#include <string>

#include "control/element_list.h"
#include "control/timer.h"
#include "platform/variant.h"

namespace tolvan {

class CDelivery : public CElement<CDelivery, CDelivery> {
  public:
    LONG DeliveryID = 0;  // the client object's identifier; the list's key
    LONG HoseID = 0;
    SHORT HoseNumber = 0;
    LONG GradeID = 0;
    std::string GradeName;       // UTF-8, blanks trimmed at both ends
    std::string ShortGradeName;  // UTF-8, blanks trimmed at both ends
    SHORT PriceLevel = 0;
    double Price = 0;
    double Volume = 0;
    double Value = 0;
    SHORT DeliveryState = 0;  // 1 the current delivery, 2 stacked
    SHORT DeliveryType = 0;
    LONG LockedBy = 0;
    LONG ReservedBy = 0;
    LONG Age = 0;     // seconds, as last received
    CTimer AgeTimer;  // started at creation, restarted at every update
    DATE CompletedDT = 0;
    LONG AttendantID = 0;
    double VolumeETot = 0;  // 0 when the delivery came without electronic totals
    double Volume2ETot = 0;
    double ValueETot = 0;

    // |Age| plus the whole seconds elapsed on AgeTimer.
    LONG CurrentAge() const;
};

}  // namespace tolvan
