#define ZX_USE_UTF8
#include "shell/ScreenCapture.h"

#include <ZXing/ReadBarcode.h>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include "core/AtomicFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QThreadPool>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace lexorra::shell {
namespace {

void logLine(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string trimmed(std::string s) {
    const auto notSpace = [](unsigned char c) { return c != ' ' && c != '\n' && c != '\r' && c != '\t'; };
    while (!s.empty() && !notSpace(static_cast<unsigned char>(s.back()))) s.pop_back();
    size_t start = 0;
    while (start < s.size() && !notSpace(static_cast<unsigned char>(s[start]))) ++start;
    return s.substr(start);
}

// Initialising the recogniser costs a noticeable fraction of a second, so one engine is
// kept for the life of the process; it is not reentrant, hence the lock.
class Recognizer {
public:
    static Recognizer& shared() {
        static Recognizer instance;
        return instance;
    }
    RecognizedText read(const QImage& source) {
        std::lock_guard lock(m_mutex);
        RecognizedText out;
        if (!initialise(out.error)) return out;
        QImage image = source.convertToFormat(QImage::Format_Grayscale8);
        // Screen text is small; the recogniser reads glyphs best at 20 pixels or more.
        if (image.height() < 400) image = image.scaled(image.width() * 2, image.height() * 2, Qt::IgnoreAspectRatio,
                                                       Qt::SmoothTransformation);
        m_api.SetImage(image.constBits(), image.width(), image.height(), 1, static_cast<int>(image.bytesPerLine()));
        m_api.SetSourceResolution(144);
        if (m_api.Recognize(nullptr) != 0) {
            out.error = "recognition failed";
            m_api.Clear();
            return out;
        }
        std::unique_ptr<tesseract::ResultIterator> it(m_api.GetIterator());
        if (it) {
            do {
                std::unique_ptr<char[]> text(it->GetUTF8Text(tesseract::RIL_TEXTLINE));
                if (!text) continue;
                std::string line = trimmed(text.get());
                if (!line.empty()) out.lines.push_back(std::move(line));
            } while (it->Next(tesseract::RIL_TEXTLINE));
        }
        m_api.Clear();
        out.ok = true;
        return out;
    }

private:
    bool initialise(std::string& error) {
        if (m_state == State::ready) return true;
        if (m_state == State::failed) {
            error = m_error;
            return false;
        }
        const char* prefix = std::getenv("TESSDATA_PREFIX");
        const std::string data = prefix && *prefix ? prefix : "/usr/share/tesseract-ocr/5/tessdata";
        m_api.SetVariable("debug_file", "/dev/null");
        if (m_api.Init(data.c_str(), "eng", tesseract::OEM_LSTM_ONLY) != 0) {
            m_state = State::failed;
            m_error = "no English recognition data in " + data;
            error = m_error;
            return false;
        }
        m_state = State::ready;
        return true;
    }

    enum class State { fresh, ready, failed };
    std::mutex m_mutex;
    tesseract::TessBaseAPI m_api;
    State m_state = State::fresh;
    std::string m_error;
};

} // namespace

std::string privateFolderProblem(const std::filesystem::path& folder) {
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) return folder.string() + " cannot be examined: " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return folder.string() + " is not a folder";
    if (st.st_uid != ::geteuid()) return folder.string() + " belongs to another user";
    if ((st.st_mode & 077) != 0) return folder.string() + " is open to other users";
    return {};
}

namespace {

// Without a runtime folder, a fresh folder per process: its name cannot be guessed ahead,
// and it goes when the process ends. Made again if something removed it meanwhile.
class FreshFolder {
public:
    ~FreshFolder() {
        if (!m_path.empty()) ::rmdir(m_path.c_str());
    }
    std::string get() {
        std::lock_guard lock(m_mutex);
        struct stat st {};
        if (!m_path.empty() && ::lstat(m_path.c_str(), &st) == 0) return m_path;
        std::string pattern = (std::filesystem::path(QDir::tempPath().toStdString()) / "lexorra-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
        return m_path;
    }

private:
    std::mutex m_mutex;
    std::string m_path;
};

} // namespace

std::string captureTempDir() {
    // Captures may show passwords: the folder must be ours alone. A name in the shared /tmp
    // could be made first by another user, who could then read or swap the pictures.
    std::filesystem::path folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
        folder = std::filesystem::path(runtime) / "lexorra";
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            logLine("Cannot create " + folder.string() + ": " + std::strerror(errno));
            return {};
        }
    } else {
        static FreshFolder fresh;
        folder = fresh.get();
        if (folder.empty()) {
            logLine("Cannot create a private temporary folder: " + std::string(std::strerror(errno)));
            return {};
        }
    }
    if (const std::string problem = privateFolderProblem(folder); !problem.empty()) {
        logLine("Refusing the capture folder: " + problem);
        return {};
    }
    return folder.string() + "/";
}

std::string captureFilePath() {
    const std::string folder = captureTempDir();
    return folder.empty() ? folder : folder + "captureRegion.png";
}

bool savePrivatePicture(const QImage& image, const std::string& file) {
    QByteArray png;
    QBuffer buffer(&png);
    if (file.empty() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
    std::string error;
    if (AtomicFile::write(file, std::string_view(png.constData(), static_cast<size_t>(png.size())), &error))
        return true;
    logLine("Cannot save the capture: " + error);
    return false;
}

std::optional<std::string> readBarcodeText(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_Grayscale8);
    if (image.isNull()) return std::nullopt;
    const ZXing::ImageView view(image.constBits(), image.width(), image.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(image.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setTryHarder(true);
    hints.setTryRotate(false); // the picture is read the right way up
    const auto results = ZXing::ReadBarcodes(view, hints);
    std::string found;
    for (const auto& r : results) found += std::string(found.empty() ? "" : ", ") + ZXing::ToString(r.format());
    logLine("Observations are [" + found + "]");
    if (results.empty()) return std::nullopt;
    const auto& first = results.front();
    if (!first.isValid() || first.contentType() == ZXing::ContentType::Binary || first.text().empty())
        return std::nullopt;
    return first.text();
}

RecognizedText recognizeText(const QImage& image) {
    if (image.isNull()) return {.ok = false, .error = "empty picture", .lines = {}};
    try {
        return Recognizer::shared().read(image);
    } catch (const std::exception& e) {
        return {.ok = false, .error = e.what(), .lines = {}};
    }
}

std::string joinRecognizedLines(const std::vector<std::string>& lines, bool ignoreLineBreaks) {
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) joined += ignoreLineBreaks ? ' ' : '\n';
        joined += lines[i];
    }
    return joined;
}

CaptureReading readCaptureFile(const std::string& file, bool lookForBarcode, bool ignoreLineBreaks) {
    using Outcome = CaptureReading::Outcome;
    if (!std::filesystem::exists(file)) return {Outcome::noFile, {}};
    const QImage image(QString::fromStdString(file));
    if (image.isNull()) {
        logLine("Error in detecting - the capture is not a readable picture");
        return {Outcome::unreadable, {}};
    }
    if (lookForBarcode)
        if (auto payload = readBarcodeText(image)) return {Outcome::barcode, std::move(*payload)};
    const RecognizedText text = recognizeText(image);
    if (!text.ok) {
        logLine("Error in performing Image request: " + text.error);
        return {Outcome::failed, {}};
    }
    if (text.lines.empty()) return {Outcome::noText, {}};
    return {Outcome::text, joinRecognizedLines(text.lines, ignoreLineBreaks)};
}

std::string captureNotice(CaptureReading::Outcome outcome) {
    switch (outcome) {
    case CaptureReading::Outcome::barcode: return "Copied Text from QR Code!";
    case CaptureReading::Outcome::text: return "Captured Text";
    case CaptureReading::Outcome::noText: return "No Text";
    default: return {};
    }
}

ScreenCapture::ScreenCapture(AppManager& app, Clipboard& clipboard, Notices& notices, Hooks hooks, QObject* parent)
    : QObject(parent), m_app(app), m_clipboard(clipboard), m_notices(notices), m_hooks(std::move(hooks)) {
    pickRegion = [](const std::string& file) { return captureRegionToFile(file); };
    captureAllowed = [] { return screenCaptureSupported(); };
}

void ScreenCapture::readQRCode() {
    if (m_hooks.closePopover) m_hooks.closePopover();
    // Picking waits in a local event loop, so the command can come again meanwhile; a second
    // capture would delete the file the first one is about to read.
    if (m_busy) {
        logLine("A capture is already running");
        return;
    }
    if (captureAllowed && !captureAllowed()) {
        emit permissionMissing();
        return;
    }
    const std::string file = captureFilePath();
    if (file.empty()) {
        emit finished(); // the folder's problem has been written out
        return;
    }
    m_busy = true;
    std::error_code ec;
    if (!std::filesystem::remove(file, ec)) logLine("Could not remove " + file + ": " + (ec ? ec.message() : "no such file"));
    if (!pickRegion || !pickRegion(file) || !std::filesystem::exists(file)) {
        m_busy = false;
        emit finished();
        return;
    }
    startReading(true);
}

void ScreenCapture::grabText() {
    if (m_hooks.closePopover) m_hooks.closePopover();
    readCapture(false);
}

void ScreenCapture::readCapture(bool lookForBarcode) {
    if (m_busy) {
        logLine("A capture is already running");
        return;
    }
    m_busy = true;
    startReading(lookForBarcode);
}

void ScreenCapture::startReading(bool lookForBarcode) {
    const std::string file = captureFilePath();
    const bool ignore = m_hooks.ignoreLineBreaks && m_hooks.ignoreLineBreaks();
    QPointer<ScreenCapture> self(this);
    QThreadPool::globalInstance()->start(
        [self, file, lookForBarcode, ignore] {
            CaptureReading reading = readCaptureFile(file, lookForBarcode, ignore);
            // The picture may show secrets; it is not kept once read.
            std::error_code ec;
            std::filesystem::remove(file, ec);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, reading = std::move(reading)] {
                    if (self) self->apply(reading);
                },
                Qt::QueuedConnection);
        },
        QThread::HighPriority);
}

void ScreenCapture::apply(const CaptureReading& reading) {
    using Outcome = CaptureReading::Outcome;
    m_busy = false;
    if (reading.outcome == Outcome::barcode || reading.outcome == Outcome::text) {
        m_clipboard.clear();
        m_clipboard.setText(reading.text);
        m_app.setInputString(reading.text);
        if (m_hooks.bringToFront) m_hooks.bringToFront();
    }
    const std::string message = captureNotice(reading.outcome);
    if (!message.empty())
        m_notices.show(message, reading.outcome == Outcome::noText ? NoticeStyle::plain : NoticeStyle::success,
                       noticeDuration(message));
    emit finished();
}

const char* const capturePermissionAdvice =
    "This session offers no screenshot service. Screen capture needs the desktop portal (the xdg-desktop-portal "
    "package with the back end of your desktop: xdg-desktop-portal-gnome, -kde or -wlr) or an X11 session. Where "
    "the desktop asks, allow Lexorra to take screenshots in its privacy settings, then try again.";

bool openCapturePermissionSettings() {
    return QProcess::startDetached("gnome-control-center", {"privacy"});
}

} // namespace lexorra::shell
