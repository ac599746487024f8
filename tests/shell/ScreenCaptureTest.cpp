#include "shell/CapturePictures.h"
#include "shell/PortalStandIn.h"
#include "shell/ShellFixture.h"

#include "shell/ScreenCapture.h"
#include "shell/ScreenshotPortal.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QSignalSpy>

#include <qrencode.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace lexorra::testing {
namespace {

using namespace lexorra::shell;
using namespace std::chrono_literals;
using Answer = ScreenshotPortalStandIn::Answer;

// A QR code of raw bytes that are no text in any encoding.
QImage binaryQrImage() {
    const unsigned char bytes[] = {0x00, 0x01, 0x02, 0xff, 0xfe, 0x80, 0x81, 0x1b, 0x7f, 0x00, 0x10, 0x90};
    QRcode* code = QRcode_encodeData(sizeof bytes, bytes, 0, QR_ECLEVEL_M);
    if (!code) return {};
    const int side = code->width;
    QImage image(side + 8, side + 8, QImage::Format_RGB32); // a quiet zone of four modules
    image.fill(Qt::white);
    for (int i = 0; i < side * side; ++i)
        if (code->data[i] & 1) image.setPixel(4 + i % side, 4 + i / side, qRgb(0, 0, 0));
    QRcode_free(code);
    return image.scaled(image.size() * 9); // nine pixels a module, kept sharp
}

class CaptureFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TMPDIR", home.root.c_str(), 1);
        std::filesystem::create_directory(runtime);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("TMPDIR");
        ::unsetenv("XDG_RUNTIME_DIR");
    }
    TemporaryXdgHome home;
    std::filesystem::path runtime = home.root / "run";
};

TEST_F(CaptureFileTest, LivesInAFolderOfOurOwnClosedToOthers) {
    using std::filesystem::perms;
    EXPECT_EQ(captureFilePath(), (runtime / "lexorra/captureRegion.png").string());
    EXPECT_EQ(std::filesystem::status(runtime / "lexorra").permissions(), perms::owner_all);
    ASSERT_TRUE(savePrivatePicture(textImage({"secret"}), captureFilePath()));
    EXPECT_EQ(std::filesystem::status(captureFilePath()).permissions(), perms::owner_read | perms::owner_write);
    // Without a runtime folder: a fresh folder of the temporary folder, its name not known ahead.
    ::unsetenv("XDG_RUNTIME_DIR");
    const std::filesystem::path fresh = captureTempDir();
    EXPECT_EQ(fresh.parent_path().parent_path(), home.root) << fresh;
    EXPECT_TRUE(fresh.parent_path().filename().string().starts_with("lexorra-")) << fresh;
    EXPECT_NE(fresh.parent_path().filename(), "lexorra-" + std::to_string(::getuid()));
    EXPECT_EQ(std::filesystem::status(fresh).permissions(), perms::owner_all);
}

// A folder prepared by someone else is refused, not used or repaired.
TEST_F(CaptureFileTest, HostileFoldersAreRefused) {
    const auto folder = runtime / "lexorra";
    std::filesystem::create_directory(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::all);
    EXPECT_EQ(captureFilePath(), "");
    EXPECT_NE(privateFolderProblem(folder).find("open to other users"), std::string::npos);
    std::filesystem::remove(folder);
    std::filesystem::create_directory_symlink(home.root, folder);
    EXPECT_EQ(captureFilePath(), "");
    EXPECT_NE(privateFolderProblem(folder).find("not a folder"), std::string::npos);
    if (::geteuid() == 0) {
        std::filesystem::remove(folder);
        std::filesystem::create_directory(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        EXPECT_EQ(captureFilePath(), "");
        EXPECT_NE(privateFolderProblem(folder).find("another user"), std::string::npos);
    }
}

// "Give Permission" opens the privacy settings where the desktop has them, and says so.
TEST_F(CaptureFileTest, PermissionSettingsOpenWhereTheDesktopHasThem) {
    const std::string oldPath = std::getenv("PATH");
    writeFile(home.root / "bin/gnome-control-center", "#!/bin/sh\necho \"$@\" > " + (home.root / "opened").string());
    std::filesystem::permissions(home.root / "bin/gnome-control-center", std::filesystem::perms::owner_all);
    ::setenv("PATH", (home.root / "bin").c_str(), 1);
    EXPECT_TRUE(openCapturePermissionSettings());
    ::setenv("PATH", home.root.c_str(), 1);
    EXPECT_FALSE(openCapturePermissionSettings());
    ::setenv("PATH", oldPath.c_str(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !readFile(home.root / "opened").empty(); }));
    EXPECT_EQ(readFile(home.root / "opened"), "privacy\n");
}

// What a picture reads as is otherwise seen through the whole command, below. A code of raw
// bytes has no text to hand over, so the words beside it are read instead.
TEST_F(CaptureFileTest, MissingDamagedAndTextlessCodeFiles) {
    using O = CaptureReading::Outcome;
    EXPECT_FALSE(recognizeText(QImage()).ok);
    EXPECT_EQ(readCaptureFile(captureFilePath(), true, false).outcome, O::noFile);
    std::ofstream(captureFilePath()) << "not a picture";
    EXPECT_EQ(readCaptureFile(captureFilePath(), true, false).outcome, O::unreadable);
    const QString file = QString::fromStdString(captureFilePath());
    ASSERT_TRUE(codeAboveText(binaryQrImage(), {"Fallback words"}).save(file, "PNG"));
    const CaptureReading reading = readCaptureFile(captureFilePath(), true, false);
    EXPECT_EQ(reading.outcome, O::text);
    EXPECT_NE(reading.text.find("Fallback words"), std::string::npos) << reading.text;
}

// The whole command against the real window. The region comes from a picker that hands over
// `picture` instead of asking a user, or through the stand-in portal on a private bus, with
// that picker as the fallback.
class CaptureFlowTest : public ShellFixture {
protected:
    explicit CaptureFlowTest(bool throughPortal = false) : viaPortal(throughPortal) {}
    void SetUp() override {
        ::setenv("TMPDIR", home.root.c_str(), 1);
        if (viaPortal)
            if (const std::string why = portal.start(); !why.empty()) GTEST_SKIP() << why;
        ShellFixture::SetUp();
        capture = std::make_unique<shell::ScreenCapture>(
            *app, clipboard, notices,
            shell::ScreenCapture::Hooks{.ignoreLineBreaks = [this] { return ignoreLineBreaks; },
                                        .bringToFront = [this] { ++broughtToFront; },
                                        .closePopover = [this] { ++popoverClosed; }});
        const auto pickPicture = [this](const std::string& file) {
            ++picks;
            EXPECT_FALSE(std::filesystem::exists(file)) << "the previous capture was not deleted";
            return !picture.isNull() && savePrivatePicture(picture, file);
        };
        if (viaPortal) {
            source.bus = portal.client;
            source.portalTimeout = 1500ms;
            source.fallback = pickPicture;
            capture->pickRegion = [this](const std::string& file) { return shell::captureRegionToFile(file, source); };
            capture->captureAllowed = [this] { return shell::screenCaptureSupported(source); };
        } else {
            capture->pickRegion = pickPicture;
            capture->captureAllowed = [] { return true; };
        }
        window->setScreenCapture(capture.get());
    }
    void TearDown() override {
        if (window) window->setScreenCapture(nullptr);
        capture.reset();
        ShellFixture::TearDown();
        ::unsetenv("TMPDIR");
    }
    // What the region shows, or a cancelled pick for a null picture. Through the portal our own
    // picker would show the same, so a wrong fallback shows only in the count of picks.
    void regionShows(const QImage& shown) {
        picture = shown;
        if (!viaPortal) return;
        ASSERT_TRUE(portal.standIn->publish());
        portal.standIn->answerWith(shown.isNull() ? Answer::cancel : Answer::picture, shown);
    }
    void run() {
        QSignalSpy done(capture.get(), &shell::ScreenCapture::finished);
        window->captureAction()->trigger();
        ASSERT_TRUE(!done.isEmpty() || done.wait(120000));
        EXPECT_EQ(done.count(), 1);
        settle();
    }
    void keepState() {
        // A previous capture exists; each new one deletes it first.
        ASSERT_TRUE(qrImage("old").save(QString::fromStdString(shell::captureFilePath()), "PNG"));
        QApplication::clipboard()->setText("kept");
        app->setInputString("kept input");
        settle();
    }
    void expectUnchanged(bool noticed = false) {
        EXPECT_EQ(QApplication::clipboard()->text(), "kept");
        EXPECT_EQ(app->inputString(), "kept input");
        EXPECT_EQ(broughtToFront, 0);
        EXPECT_EQ(notices.shown.empty(), !noticed);
        EXPECT_FALSE(std::filesystem::exists(shell::captureFilePath()));
        EXPECT_FALSE(capture->busy());
    }

    const bool viaPortal;
    PrivatePortal portal{home.root};
    shell::RegionSource source;
    std::unique_ptr<shell::ScreenCapture> capture;
    QImage picture;
    bool ignoreLineBreaks = false;
    int broughtToFront = 0;
    int popoverClosed = 0;
    int picks = 0;
};

class EitherPicker : public CaptureFlowTest, public ::testing::WithParamInterface<bool> {
protected:
    EitherPicker() : CaptureFlowTest(GetParam()) {}
};
INSTANTIATE_TEST_SUITE_P(Capture, EitherPicker, ::testing::Values(false, true),
                         [](const auto& param) { return param.param ? "portal" : "ownPicker"; });

class PortalFlowTest : public CaptureFlowTest {
protected:
    PortalFlowTest() : CaptureFlowTest(true) {}
};

TEST_P(EitherPicker, QrCodeBecomesInputAndClipboard) {
    const std::string payload = "https://example.org/a?b=1 Grüße, 東京";
    regionShows(qrAboveText(payload, threeLines));
    QApplication::clipboard()->setText("before");
    run();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), payload);
    EXPECT_FALSE(std::filesystem::exists(shell::captureFilePath())) << "the picture was kept after reading";
    EXPECT_EQ(app->inputString(), payload);
    EXPECT_EQ(window->inputEditor()->text().toStdString(), payload);
    EXPECT_EQ(broughtToFront, 1);
    EXPECT_EQ(popoverClosed, 1);
    EXPECT_EQ(picks, viaPortal ? 0 : 1);
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].message, "Copied Text from QR Code!");
    EXPECT_EQ(notices.shown[0].style, NoticeStyle::success);
}

TEST_P(EitherPicker, CancellingChangesNothing) {
    keepState();
    regionShows(QImage());
    run();
    expectUnchanged();
    EXPECT_EQ(picks, viaPortal ? 0 : 1) << "a cancel in the portal must not open a second picker";
    if (viaPortal) {
        EXPECT_EQ(portal.standIn->requests().size(), 1u);
    }
}

TEST_F(CaptureFlowTest, RecognisedLinesKeepTheirBreaksUnlessAskedNotTo) {
    picture = textImage(threeLines);
    run();
    EXPECT_EQ(app->inputString(), "Hello World\nQuick brown fox\nLazy dog sleeps");
    EXPECT_EQ(QApplication::clipboard()->text(), "Hello World\nQuick brown fox\nLazy dog sleeps");
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].message, "Captured Text");
    EXPECT_EQ(notices.shown[0].style, NoticeStyle::success);
    ignoreLineBreaks = true;
    run();
    EXPECT_EQ(app->inputString(), "Hello World Quick brown fox Lazy dog sleeps");
}

TEST_F(CaptureFlowTest, BlankRegionSaysNoTextAndChangesNothing) {
    keepState();
    picture = QImage(600, 200, QImage::Format_RGB32);
    picture.fill(Qt::white);
    run();
    expectUnchanged(true);
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].message, "No Text");
    EXPECT_EQ(notices.shown[0].style, NoticeStyle::plain);
}

TEST_F(CaptureFlowTest, GrabTextReadsTheCurrentFileWithoutLookingForCodes) {
    ASSERT_TRUE(qrAboveText("skipped", {"Plain words"}).save(QString::fromStdString(shell::captureFilePath()), "PNG"));
    QSignalSpy done(capture.get(), &shell::ScreenCapture::finished);
    capture->grabText();
    ASSERT_TRUE(done.wait(120000));
    settle();
    EXPECT_EQ(picks, 0);
    EXPECT_NE(app->inputString().find("Plain words"), std::string::npos) << app->inputString();
    EXPECT_EQ(app->inputString().find("skipped"), std::string::npos);
}

// A portal that never answers does not hold the window, and its request is not handed on to
// our own picker; a portal error is. Neither changes anything.
TEST_F(PortalFlowTest, SilenceEndsTheCaptureAndAnErrorFallsBackToOurOwnPicker) {
    keepState();
    ASSERT_TRUE(portal.standIn->publish());
    portal.standIn->answerWith(Answer::silent);
    QElapsedTimer clock;
    clock.start();
    run();
    EXPECT_LT(clock.elapsed(), 1500 + 5000);
    expectUnchanged();
    EXPECT_EQ(picks, 0);

    portal.standIn->answerWith(Answer::otherError);
    run();
    EXPECT_EQ(picks, 1);
    expectUnchanged();

    // The same with a picker that delivers: its picture is read.
    picture = qrImage("from our picker");
    run();
    EXPECT_EQ(picks, 2);
    EXPECT_EQ(app->inputString(), "from our picker");
}

TEST_F(PortalFlowTest, RepeatedCommandWhileWaitingIsIgnored) {
    ASSERT_TRUE(portal.standIn->publish());
    portal.standIn->answerWith(Answer::picture, qrImage("only once"), 400);
    int repeats = 0;
    QTimer::singleShot(100, window.get(), [&] {
        ++repeats;
        EXPECT_TRUE(capture->busy());
        window->captureAction()->trigger();
        // Reading the file now would race the capture that is about to replace it.
        capture->grabText();
    });
    run();
    EXPECT_EQ(repeats, 1);
    EXPECT_EQ(portal.standIn->requests().size(), 1u);
    EXPECT_EQ(app->inputString(), "only once");
    EXPECT_EQ(notices.shown.size(), 1u);
}

// Without a portal on the bus (the stand-in is not published) our own picker is used; without
// that either, the command asks for permission instead, and with the portal's name on the bus
// it is offered again.
TEST_F(PortalFlowTest, WithoutPortalOurOwnPickerOrElseTheWindowExplainsIt) {
    picture = qrImage("picked without portal");
    run();
    EXPECT_EQ(picks, 1);
    EXPECT_EQ(app->inputString(), "picked without portal");

    if (QGuiApplication::platformName() == "xcb") GTEST_SKIP() << "X11 always has our own picker";
    source.fallback = nullptr;
    notices.shown.clear();
    QSignalSpy refused(capture.get(), &shell::ScreenCapture::permissionMissing);
    window->setScreenCapture(nullptr); // the window would open a modal alert
    capture->readQRCode();
    EXPECT_EQ(refused.count(), 1);
    EXPECT_FALSE(capture->busy());
    EXPECT_TRUE(portal.standIn->requests().empty());
    EXPECT_TRUE(notices.shown.empty());
    ASSERT_TRUE(portal.standIn->publish());
    EXPECT_TRUE(shell::screenCaptureSupported(source));
}

} // namespace
} // namespace lexorra::testing
