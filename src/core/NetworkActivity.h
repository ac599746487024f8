#pragma once

#include <functional>

// The actions that call a service over the network, seen from the controller: it shows
// when a request is under way and drops the requests of a run the user has moved past.
namespace lexorra {

// Called with true when a request starts and false when it ends, on the run's thread;
// nullptr drops the handler.
void setNetworkBusyHandler(std::function<void(bool)> handler);
// Cancels every request under way; their runs end with their error marker.
void cancelNetworkRequests();

} // namespace lexorra
