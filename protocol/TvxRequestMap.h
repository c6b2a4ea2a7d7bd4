#pragma once
// The map request connection: posts a "map.request" document its caller has
// built in the bound document and announces the answer (OnRecievedDoc), from
// which the caller takes the map id.

#include "protocol/TvxCustomConnection.h"

class TvxRequestMap : public TvxCustomConnection {
public:
    explicit TvxRequestMap(QObject* owner = nullptr);
    ~TvxRequestMap() override;

    // Raises, before sending anything, "Document component has not been
    // assigned", "Document has not been created for this method" (no request
    // element) or "Invalid document type for this component" (not
    // "map.request").
    void Execute();
};
