#include "domain/ApPositions.h"

namespace aero::position {

int reestimatePositions(APList& table, Method method)
{
    int placed = 0;
    for (int slot = 1; slot <= table.count(); ++slot) {
        const Observation& seen = table.observation(slot);
        const std::optional<Estimate> e = estimate(seen.located, method);
        if (!e)
            continue;
        Observation updated = seen;
        updated.positionMethod = methodName(method);
        updated.uncertaintyM = e->uncertaintyM;
        table.setObservation(slot, std::move(updated));
        table.modify(slot, [&](AccessPoint& ap) {
            ap.Latitude = e->latitude;
            ap.Longitude = e->longitude;
        });
        ++placed;
    }
    return placed;
}

} // namespace aero::position
