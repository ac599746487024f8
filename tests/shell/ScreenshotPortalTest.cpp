#include "shell/PortalStandIn.h"

#include "shell/ScreenshotPortal.h"
#include "support/TemporaryXdgHome.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace lexorra::testing {
namespace {

using namespace std::chrono_literals;
using shell::PortalShot;
using Answer = ScreenshotPortalStandIn::Answer;

// ---- Pure parts: request paths and picture addresses ----

TEST(PortalAddresses, RequestPathFromUniqueNameAndToken) {
    const struct {
        const char* unique;
        const char* token;
        const char* path;
    } cases[] = {
        {":1.42", "tok", "/org/freedesktop/portal/desktop/request/1_42/tok"},
        {":12.3456", "x", "/org/freedesktop/portal/desktop/request/12_3456/x"},
        {":1.2.3", "t", "/org/freedesktop/portal/desktop/request/1_2_3/t"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shell::portalRequestPath(c.unique, c.token), c.path) << c.unique;
}

TEST(PortalAddresses, LocalFileOfUri) {
    const struct {
        const char* uri;
        const char* file; // nullptr: not a local file (shown as "(none)")
    } cases[] = {
        {"file:///tmp/shot.png", "/tmp/shot.png"},
        {"file:///tmp/Screenshot%20from%202024.png", "/tmp/Screenshot from 2024.png"},
        {"file:///tmp/100%25.png", "/tmp/100%.png"},
        {"file:///tmp/%C3%A9t%C3%A9.png", "/tmp/été.png"},
        {"file:///tmp/a%23b%3Fc.png", "/tmp/a#b?c.png"},
        {"file://localhost/tmp/x.png", "/tmp/x.png"},
        {"file:///tmp/left as is.png", "/tmp/left as is.png"},
        {"FILE:///tmp/upper.png", "/tmp/upper.png"},
        {"file://otherhost/tmp/x.png", nullptr},
        {"file:///tmp/a%2Fb.png", nullptr},
        {"file:///tmp/a%00b.png", nullptr},
        {"https://example.org/x.png", nullptr},
        {"/tmp/no-scheme.png", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        const auto file = shell::localFileOfUri(QString::fromUtf8(c.uri));
        EXPECT_EQ(file.value_or("(none)").toStdString(), c.file ? c.file : "(none)") << c.uri;
    }
}

// ---- The request against the stand-in on a private bus ----

bool isPng(const std::string& file) {
    return readFile(file).starts_with("\x89PNG\r\n\x1a\n");
}

QImage pattern() {
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(10, 10, 40, 30, Qt::red);
    p.fillRect(70, 40, 30, 30, Qt::blue);
    return image;
}

class PortalRequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = portal.start(); !why.empty()) GTEST_SKIP() << why;
        ASSERT_TRUE(portal.standIn->publish());
    }
    PortalShot shoot(std::chrono::milliseconds timeout = 10s) {
        return shell::portalScreenshot(portal.client, file(), timeout);
    }
    std::string file() const { return (home.root / "captureRegion.png").string(); }

    TemporaryXdgHome home;
    PrivatePortal portal{home.root};
};

TEST_F(PortalRequestTest, PictureIsCopiedAndTheRequestFollowsTheConvention) {
    portal.standIn->answerWith(Answer::picture, pattern());
    const PortalShot shot = shoot();
    ASSERT_EQ(shot.status, PortalShot::Status::saved) << shot.detail;
    EXPECT_TRUE(isPng(file()));
    EXPECT_EQ(QImage(QString::fromStdString(file())).convertToFormat(QImage::Format_RGB32), pattern());
    // The portal's own picture, under a name that needed %-escapes, was made for us alone.
    EXPECT_FALSE(portal.standIn->lastPicture().empty());
    EXPECT_FALSE(std::filesystem::exists(portal.standIn->lastPicture()));

    const auto requests = portal.standIn->requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& request = requests[0];
    EXPECT_EQ(request.sender, portal.client.baseService());
    const QString token = request.options.value("handle_token").toString();
    EXPECT_TRUE(QRegularExpression("^[A-Za-z0-9_]+$").match(token).hasMatch()) << token.toStdString();
    EXPECT_EQ(request.handle, shell::portalRequestPath(portal.client.baseService(), token));
    EXPECT_EQ(request.options.value("interactive"), QVariant(true));
    EXPECT_EQ(request.options.value("modal"), QVariant(true));
    EXPECT_TRUE(portal.standIn->closed().empty());
    // Every request has its own token; a picture in another format becomes a PNG.
    portal.standIn->pictureName("shot.jpg");
    ASSERT_EQ(shoot().status, PortalShot::Status::saved);
    ASSERT_EQ(portal.standIn->requests().size(), 2u);
    EXPECT_NE(portal.standIn->requests()[1].handle, request.handle);
    EXPECT_TRUE(isPng(file()));
    EXPECT_EQ(QImage(QString::fromStdString(file())).size(), QSize(120, 80));
}

// An answer sent before the reply to the call is not lost. A portal older than the naming
// convention answers on a path of its own, which the caller learns from the reply, so that
// answer must come after it (the race the convention removed).
TEST_F(PortalRequestTest, EarlyAnswersAndHandlesNamedByAnOlderPortalAreFollowed) {
    for (const Answer answer : {Answer::answerBeforeReply, Answer::ownHandle}) {
        std::filesystem::remove(file());
        portal.standIn->answerWith(answer, pattern(), answer == Answer::ownHandle ? 200 : 0);
        const PortalShot shot = shoot(5s);
        EXPECT_EQ(shot.status, PortalShot::Status::saved) << shot.detail;
        EXPECT_TRUE(isPng(file()));
    }
    EXPECT_TRUE(portal.standIn->requests().back().handle.contains("/legacy/"));
}

TEST_F(PortalRequestTest, FailuresWriteNothing) {
    // A picture the portal answered with but nobody can decode stays where it is.
    const auto text = home.root / "notes.png";
    std::ofstream(text) << "not a picture";
    const struct {
        Answer answer;
        QString uri;
        const char* inDetail;
    } cases[] = {
        {Answer::otherError, {}, "response 2"},
        {Answer::refuse, {}, "org.freedesktop.portal.Error.NotAllowed"},
        {Answer::picture, "https://example.org/shot.png", "without a local picture"},
        {Answer::picture, "file:///nonexistent/shot.png", "cannot be read"},
        {Answer::picture, QUrl::fromLocalFile(QString::fromStdString(text.string())).toString(), "cannot be read"},
    };
    for (const auto& c : cases) {
        portal.standIn->uriOverride(c.uri);
        portal.standIn->answerWith(c.answer);
        const PortalShot shot = shoot();
        EXPECT_EQ(shot.status, PortalShot::Status::failed) << c.inDetail;
        EXPECT_NE(shot.detail.find(c.inDetail), std::string::npos) << shot.detail;
        EXPECT_FALSE(std::filesystem::exists(file())) << c.inDetail;
    }
    EXPECT_TRUE(std::filesystem::exists(text));
}

// Whether the portal accepts the request and never answers, or does not even reply to it, the wait
// ends and the request is closed where the convention puts it.
TEST_F(PortalRequestTest, SilentOrMutePortalTimesOutAndTheRequestIsClosed) {
    for (const Answer answer : {Answer::silent, Answer::mute}) {
        portal.standIn->answerWith(answer);
        const auto before = portal.standIn->closed().size();
        QElapsedTimer clock;
        clock.start();
        const PortalShot shot = shoot(400ms);
        EXPECT_EQ(shot.status, PortalShot::Status::timedOut) << shot.detail;
        EXPECT_GE(clock.elapsed(), 350);
        EXPECT_LT(clock.elapsed(), 3000);
        // Close is sent without waiting; give it a moment to arrive.
        ASSERT_TRUE(QTest::qWaitFor([&] { return portal.standIn->closed().size() == before + 1; }, 1000));
        EXPECT_EQ(portal.standIn->closed().back(), portal.standIn->requests().back().handle);
        EXPECT_FALSE(std::filesystem::exists(file()));
    }
}

TEST_F(PortalRequestTest, PortalLeavingTheBusEndsTheWaitAtOnce) {
    portal.standIn->answerWith(Answer::leave, {}, 50);
    QElapsedTimer clock;
    clock.start();
    const PortalShot shot = shoot(20s);
    EXPECT_EQ(shot.status, PortalShot::Status::failed);
    EXPECT_NE(shot.detail.find("left the bus"), std::string::npos) << shot.detail;
    EXPECT_LT(clock.elapsed(), 5000);
}

// A bus without the portal's name is the capture flow's test (our own picker takes over).
TEST(PortalAbsent, NoSessionBusMeansUnavailable) {
    EXPECT_FALSE(shell::portalScreenshotAvailable(QDBusConnection(QStringLiteral("never-connected"))));
}

// Desktops start the portal on demand: its name is only activatable until the first call.
TEST(PortalOnDemand, ActivatablePortalIsUsed) {
    TemporaryXdgHome home;
    const auto services = home.root / "services";
    std::filesystem::create_directories(services);
    const auto picture = home.root / "region.png";
    ASSERT_TRUE(pattern().save(QString::fromStdString(picture.string()), "PNG"));
    std::ofstream(services / "org.freedesktop.portal.Desktop.service")
        << "[D-BUS Service]\nName=org.freedesktop.portal.Desktop\nExec=" << LEXORRA_PORTAL_STANDIN << " "
        << picture.string() << " picture\n";
    PrivateBus bus(home.root / "bus");
    std::string why;
    if (!bus.start(why, services)) GTEST_SKIP() << "no private session bus for the stand-in portal: " << why;
    const QDBusConnection client = bus.connect(QString("capture-on-demand-%1").arg(::getpid()));
    ASSERT_TRUE(client.isConnected());
    EXPECT_FALSE(client.interface()->isServiceRegistered(ScreenshotPortalStandIn::service).value());
    EXPECT_TRUE(shell::portalScreenshotAvailable(client));
    const std::string file = (home.root / "captureRegion.png").string();
    const PortalShot shot = shell::portalScreenshot(client, file, 20s);
    ASSERT_EQ(shot.status, PortalShot::Status::saved) << shot.detail;
    EXPECT_EQ(QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_RGB32), pattern());
    // The stand-in program ends with the bus.
}

} // namespace
} // namespace lexorra::testing
