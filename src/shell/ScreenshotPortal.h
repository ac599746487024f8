#pragma once

// The desktop portal's screenshot request: the desktop asks the user for a region (or a whole
// screen) and hands back the picture by its address.

#include <QDBusConnection>
#include <QString>

#include <chrono>
#include <optional>
#include <string>

namespace lexorra::shell {

// Where a request's answer is signalled: the portal builds it from the caller's unique bus
// name (":1.42" becomes "1_42") and the token the caller chose, so that the caller can listen
// before it asks.
QString portalRequestPath(const QString& uniqueName, const QString& token);

// The local file a "file:" address names, %-escapes decoded; nothing for any other address.
std::optional<QString> localFileOfUri(const QString& uri);

struct PortalShot {
    enum class Status {
        saved,       // the picture is in the file
        cancelled,   // the user ended the interaction
        failed,      // the portal refused, ended in another way or handed over no readable picture
        timedOut,    // no answer in time; the request was closed
        unavailable, // no portal on this bus
    };
    Status status = Status::unavailable;
    std::string detail; // why, for the log
};

// Running, or startable on demand by the bus.
bool portalScreenshotAvailable(const QDBusConnection& bus);

// Asks the portal on `bus` for an interactive screenshot and writes it to `file` as PNG.
// Waits in a local event loop (the window keeps painting) for at most `timeout`; gives up
// early when the portal leaves the bus.
PortalShot portalScreenshot(const QDBusConnection& bus, const std::string& file, std::chrono::milliseconds timeout);

} // namespace lexorra::shell
