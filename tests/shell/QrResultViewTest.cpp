#include "shell/ShellFixture.h"

#include "core/ActionFactory.h"
#include "shell/QrResultView.h"
#include "support/Workflows.h"

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

#include <Qsci/qsciscintilla.h>

#include <QClipboard>
#include <QFileDialog>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

#include <filesystem>
#include <set>

namespace lexorra::testing {
namespace {

const std::string marker = "[<_QR-Code_>]";

// What a phone would read from the picture: the payload of its QR code, if any.
std::optional<std::string> scan(const QImage& picture) {
    const QImage gray = picture.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(gray.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(true);
    const auto found = ZXing::ReadBarcode(view, hints);
    if (!found.isValid()) return std::nullopt;
    return found.text();
}

class QrResultViewTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        window->resize(1400, 1000);
        view = window->qrResultView();
        ASSERT_NE(view, nullptr);
    }
    // Types into the input and waits out the debounce.
    void input(const std::string& text) {
        window->inputEditor()->setText(QString::fromStdString(text));
        settle(0.6);
    }
    bool qrShown() const {
        auto* stack = qobject_cast<QStackedWidget*>(view->parentWidget());
        return stack && stack->currentWidget() == view;
    }
    QImage onScreen() const { return view->findChild<QWidget*>("qrCodeCanvas")->grab().toImage(); }
    QPushButton* button(const char* name) const { return view->findChild<QPushButton*>(name); }

    // Answers the next save panel once its own event loop runs: remembers the name it proposed and
    // saves into `folder` (or cancels when no folder is given).
    void answerSavePanel(const std::filesystem::path& folder) {
        QTimer::singleShot(0, window.get(), [this, folder] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            proposedName =
                dialog->selectedFiles().isEmpty() ? QString() : QFileInfo(dialog->selectedFiles().front()).fileName();
            if (folder.empty()) return dialog->reject();
            dialog->selectFile(QString::fromStdString((folder / proposedName.toStdString()).string()));
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }

    shell::QrResultView* view = nullptr;
    QString proposedName;
};

TEST_F(QrResultViewTest, QrResultIsShownAsAnImageThatScansBackToTheInput) {
    select("Generate QR Code");
    input("Lexorra says hello: ü €");
    ASSERT_EQ(app->resultString(), marker + "Lexorra says hello: ü €");
    ASSERT_TRUE(qrShown());
    EXPECT_EQ(scan(onScreen()), "Lexorra says hello: ü €");

    // Long text is shortened, and the caption says so.
    input(std::string(1500, 'q'));
    EXPECT_EQ(scan(onScreen()), std::string(1200, 'q') + "...");
    const QString caption = view->findChild<QLabel*>("qrCaptionLabel")->text();
    EXPECT_TRUE(caption.contains("shortened to 1203 characters")) << caption.toStdString();

    // Another action's result goes back to text.
    select("Convert Case");
    settle(0.5);
    EXPECT_FALSE(qrShown());
    EXPECT_TRUE(window->resultEditor()->isVisible());
}

TEST_F(QrResultViewTest, WorkflowShowsAnImageOnlyWhenTheQrStepComesLast) {
    auto workflow = app->createWorkflow("QR then suffix");
    workflow->actionsArray = {makeDefault(TextActionType::generateQRCode),
                              actionWith(TextActionType::addSuffix, "Suffix", Value("!"))};
    app->setSelectedworkflowSeq(workflow);
    settle(0.5);
    input("hi");
    // The step after the QR code works on the text without the marker: a text result.
    EXPECT_EQ(app->resultString(), "hi!");
    EXPECT_FALSE(qrShown());

    workflow->moveAction(0, 1);
    app->scheduleStructureUpdate();
    settle(1.0);
    EXPECT_EQ(app->resultString(), marker + "hi!");
    ASSERT_TRUE(qrShown());
    EXPECT_EQ(scan(onScreen()), "hi!");
}

TEST_F(QrResultViewTest, ModulesAreDrawnSharpAtAWholeNumberOfPixels) {
    select("Generate QR Code");
    input("https://example.org/a/fairly/long/address?with=query&and=more");
    ASSERT_TRUE(qrShown());
    const QImage picture = onScreen().convertToFormat(QImage::Format_Grayscale8);
    const int unit = view->modulePixels();
    ASSERT_GE(unit, 2) << "the pane is large enough for at least two pixels a module";
    EXPECT_LE(unit, 9);
    const int side = view->modules().width() * unit;
    const QRect code((picture.width() - side) / 2, (picture.height() - side) / 2, side, side);
    // No grey from smoothing: every pixel of the code is black or white, and every module
    // is one flat square of the module's colour.
    std::set<int> shades;
    for (int y = code.top(); y <= code.bottom(); ++y)
        for (int x = code.left(); x <= code.right(); ++x) {
            const int shade = qGray(picture.pixel(x, y));
            shades.insert(shade);
            const int module = qGray(view->modules().pixel((x - code.left()) / unit, (y - code.top()) / unit));
            ASSERT_EQ(shade, module) << "pixel " << x << "," << y;
        }
    EXPECT_EQ(shades, (std::set<int>{0, 255}));
}

TEST_F(QrResultViewTest, CaptionCountsCharactersAndAMarkerWithoutTextHasNothingToCopyOrSave) {
    EXPECT_TRUE(view->showResult(marker + "añb"));
    EXPECT_EQ(view->findChild<QLabel*>("qrCaptionLabel")->text(), "QR code of 3 characters");
    EXPECT_TRUE(button("qrCopyPushButton")->isEnabled());
    EXPECT_TRUE(view->showResult(marker));
    EXPECT_TRUE(view->modules().isNull());
    EXPECT_FALSE(button("qrCopyPushButton")->isEnabled());
    EXPECT_FALSE(button("qrSavePushButton")->isEnabled());
    // A text result afterwards is not taken.
    EXPECT_FALSE(view->showResult("plain text"));
}

TEST_F(QrResultViewTest, CopyAndSaveHandOverTheImageAndTextResultsAsText) {
    select("Generate QR Code");
    input("copy me");
    ASSERT_TRUE(qrShown());
    QApplication::clipboard()->setText("old");
    button("qrCopyPushButton")->click();
    settle();
    const QImage copied = QApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(scan(copied), "copy me");
    ASSERT_FALSE(notices.shown.empty());
    EXPECT_EQ(notices.shown.back().message, "Copied Image");

    // The menu command does the same while a QR code is shown.
    QApplication::clipboard()->setText("old");
    ASSERT_NE(command("Copy Result"), nullptr);
    command("Copy Result")->trigger();
    settle();
    EXPECT_EQ(scan(QApplication::clipboard()->image()), "copy me");

    // Saving proposes qrcode.png and writes a valid PNG, unless cancelled.
    const auto file = home.root / "qrcode.png";
    for (const auto& folder : {std::filesystem::path(), home.root}) {
        answerSavePanel(folder);
        button("qrSavePushButton")->click();
        settle();
        EXPECT_EQ(proposedName, "qrcode.png");
        EXPECT_EQ(std::filesystem::exists(file), !folder.empty());
    }
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(file.string()), "PNG"));
    EXPECT_EQ(image.width() % 9, 0) << "nine pixels a module";
    EXPECT_EQ(scan(image), "copy me");

    // A text result is saved as text under its own name.
    select("Convert Case");
    input("plain");
    ASSERT_FALSE(qrShown());
    answerSavePanel(home.root);
    command("Save result to file…")->trigger();
    settle();
    EXPECT_EQ(proposedName, "results.txt");
    EXPECT_EQ(readFile(home.root / "results.txt"), app->resultString());
}

} // namespace
} // namespace lexorra::testing
