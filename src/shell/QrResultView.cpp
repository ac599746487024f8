#include "shell/QrResultView.h"

#include "core/QrCodeResults.h"
#include "core/ResultMarkers.h"
#include "shell/Icons.h"
#include "text/Graphemes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace lexorra::shell {
namespace {

// The builder draws every module as a square of this many pixels (see qrCodePng).
constexpr int pngModulePixels = 9;
// Light modules around the code besides the one in the image, so that scanners find it.
constexpr int extraQuietModules = 3;
// Never drawn larger than the saved image.
constexpr int maxModulePixels = pngModulePixels;

// The module grid of the builder's PNG: the centre pixel of every 9 x 9 square.
QImage moduleGrid(const std::string& png) {
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG")) return {};
    if (image.width() != image.height() || image.width() % pngModulePixels != 0) return {};
    const int count = image.width() / pngModulePixels;
    QImage grid(count, count, QImage::Format_Grayscale8);
    for (int y = 0; y < count; ++y)
        for (int x = 0; x < count; ++x) {
            const QRgb pixel =
                image.pixel(x * pngModulePixels + pngModulePixels / 2, y * pngModulePixels + pngModulePixels / 2);
            grid.setPixel(x, y, qGray(pixel) < 128 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    return grid;
}

std::string withoutMarkers(std::string_view result) {
    std::string out;
    for (size_t at = 0;;) {
        const size_t next = result.find(markers::qrCode, at);
        out.append(result.substr(at, next - at));
        if (next == std::string_view::npos) return out;
        at = next + markers::qrCode.size();
    }
}

} // namespace

class QrResultView::Canvas : public QWidget {
public:
    explicit Canvas(QWidget* parent) : QWidget(parent) {
        setObjectName("qrCodeCanvas");
        setMinimumSize(120, 120);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    void setModules(const QImage& modules) {
        m_modules = modules;
        update();
    }
    int modulePixels() const {
        if (m_modules.isNull()) return 0;
        const int span = m_modules.width() + 2 * extraQuietModules;
        return std::clamp(std::min(width(), height()) / span, 1, maxModulePixels);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (m_modules.isNull()) return;
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.setRenderHint(QPainter::Antialiasing, false);
        const int unit = modulePixels();
        const int side = m_modules.width() * unit;
        const int quiet = extraQuietModules * unit;
        const QRect code((width() - side) / 2, (height() - side) / 2, side, side);
        // White under the code in a dark theme too: scanners want dark modules on light.
        p.fillRect(code.adjusted(-quiet, -quiet, quiet, quiet), Qt::white);
        // A whole number of pixels per module: nearest-neighbour scaling copies modules exactly.
        p.drawImage(code.topLeft(), m_modules.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }

private:
    QImage m_modules;
};

QrResultView::QrResultView(QWidget* parent) : QWidget(parent) {
    setObjectName("qrResultView");
    auto* layout = new QVBoxLayout(this);
    m_canvas = new Canvas(this);
    m_caption = new QLabel(this);
    m_caption->setObjectName("qrCaptionLabel");
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setWordWrap(true);
    m_caption->setForegroundRole(QPalette::PlaceholderText);
    m_copy = new QPushButton(iconFor("copyResult"), tr("Copy"), this);
    m_copy->setObjectName("qrCopyPushButton");
    m_copy->setToolTip(tr("Copy the QR code image"));
    m_save = new QPushButton(iconFor("save"), tr("Save…"), this);
    m_save->setObjectName("qrSavePushButton");
    m_save->setToolTip(tr("Save the QR code as a PNG image"));
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(m_copy);
    buttons->addWidget(m_save);
    buttons->addStretch(1);
    layout->addWidget(m_canvas, 1);
    layout->addWidget(m_caption);
    layout->addLayout(buttons);
    connect(m_copy, &QPushButton::clicked, this, &QrResultView::copyRequested);
    connect(m_save, &QPushButton::clicked, this, &QrResultView::saveRequested);
}

bool QrResultView::showResult(const std::string& result) {
    if (!isQRCodeResult(result)) {
        m_modules = {};
        m_canvas->setModules(m_modules);
        return false;
    }
    const std::string payload = qrCodePayload(result);
    const auto png = qrCodePng(result);
    m_modules = png ? moduleGrid(*png) : QImage();
    m_canvas->setModules(m_modules);
    m_copy->setEnabled(!m_modules.isNull());
    m_save->setEnabled(!m_modules.isNull());
    if (payload.empty()) {
        m_caption->setText(tr("No text to put in a QR code."));
    } else if (m_modules.isNull()) {
        m_caption->setText(tr("This text does not fit in a QR code."));
    } else {
        const auto characters = static_cast<qulonglong>(text::graphemeCount(payload));
        m_caption->setText(
            payload != withoutMarkers(result)
                ? tr("The text is too long for one QR code: it was shortened to %1 characters.").arg(characters)
                : tr("QR code of %1 characters").arg(characters));
    }
    return true;
}

int QrResultView::modulePixels() const {
    return m_canvas->modulePixels();
}

} // namespace lexorra::shell
