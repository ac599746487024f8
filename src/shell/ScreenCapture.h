#pragma once

#include "core/AppManager.h"
#include "core/Clipboard.h"

#include <QDBusConnection>
#include <QImage>
#include <QObject>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lexorra::shell {

// The folder of the capture file, with a trailing separator: $XDG_RUNTIME_DIR/lexorra, else
// a fresh folder made for this process in the temporary folder; created owner-only. Empty
// (the reason written out) when the folder is not a folder of ours closed to others.
std::string captureTempDir();
// Why folder cannot hold captures (a link, another user's, open to others), or empty.
std::string privateFolderProblem(const std::filesystem::path& folder);
// The one file every capture deletes and rewrites, empty when there is no private folder.
std::string captureFilePath();
// Writes image as PNG to file, readable by the owner alone, whole or not at all.
bool savePrivatePicture(const QImage& image, const std::string& file);

// The payload of the first barcode in the picture, when it carries text.
std::optional<std::string> readBarcodeText(const QImage& image);

struct RecognizedText {
    bool ok = false;
    std::string error;              // why recognition could not run
    std::vector<std::string> lines; // best reading of each line, top to bottom
};
// Text recognition over the whole picture, one entry per line that holds any text.
RecognizedText recognizeText(const QImage& image);

// Lines joined with one space when line breaks are ignored, else with line feeds.
std::string joinRecognizedLines(const std::vector<std::string>& lines, bool ignoreLineBreaks);

// What a capture file yields.
struct CaptureReading {
    enum class Outcome { noFile, unreadable, barcode, text, noText, failed };
    Outcome outcome = Outcome::noFile;
    std::string text;
};
// Reads the capture file: a barcode payload wins; without one (or when barcodes are not
// looked for) the recognised lines, joined as the setting says.
CaptureReading readCaptureFile(const std::string& file, bool lookForBarcode, bool ignoreLineBreaks);

// The heads-up message for an outcome, empty when nothing is shown.
std::string captureNotice(CaptureReading::Outcome outcome);

// The capture command: lets the user pick a screen region, reads it off the main thread
// and hands the text to the controller, the clipboard and the window.
class ScreenCapture : public QObject {
    Q_OBJECT

public:
    struct Hooks {
        std::function<bool()> ignoreLineBreaks;
        std::function<void()> bringToFront;
        std::function<void()> closePopover;
    };
    ScreenCapture(AppManager& app, Clipboard& clipboard, Notices& notices, Hooks hooks, QObject* parent = nullptr);

    // The whole flow: pick a region, then read it.
    void readQRCode();
    // Only the text recognition, over the current capture file.
    void grabText();
    // Reads the capture file as it stands, barcode first when asked.
    void readCapture(bool lookForBarcode);
    // Between the command and its end (picking, then reading); further commands are ignored.
    bool busy() const { return m_busy; }

    // The region picker; replaceable so that the flow can run without a screen.
    // Writes the capture file and returns true, or returns false when nothing was picked.
    std::function<bool(const std::string& file)> pickRegion;
    // Whether this session lets us capture at all.
    std::function<bool()> captureAllowed;

signals:
    // Emitted when a read has been applied (or found nothing, or the user cancelled).
    void finished();
    // This session offers no way to capture the screen; the window explains it.
    void permissionMissing();

private:
    void startReading(bool lookForBarcode);
    void apply(const CaptureReading& reading);

    AppManager& m_app;
    Clipboard& m_clipboard;
    Notices& m_notices;
    Hooks m_hooks;
    bool m_busy = false;
};

// How a region is picked: the desktop portal on `bus` when one runs (works on Wayland and
// X11), else `fallback`, else the application's own selector on X11.
struct RegionSource {
    QDBusConnection bus = QDBusConnection::sessionBus();
    // A portal that neither answers nor leaves the bus must not keep the flow waiting for ever.
    std::chrono::milliseconds portalTimeout = std::chrono::minutes(2);
    std::function<bool(const std::string& file)> fallback;
};
// The application's own full-screen selector over a still of the screen (X11).
bool selectorCaptureRegion(const std::string& file);
// Portal first, the fallback when there is none or it failed; false when the user cancelled,
// the portal did not answer in time or nothing could capture.
bool captureRegionToFile(const std::string& file, const RegionSource& source = {});
bool screenCaptureSupported(const RegionSource& source = {});

// What the user can do when the session offers no way to capture (no portal, not X11).
extern const char* const capturePermissionAdvice;
// Opens the desktop's privacy settings, where screenshot access is granted (GNOME's
// control centre); false when this desktop has no such page to open.
bool openCapturePermissionSettings();

} // namespace lexorra::shell
