#include "shell/DesktopServices.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QScreen>
#include <QTimer>

namespace lexorra::shell {

std::optional<std::string> DesktopClipboard::text() {
    const auto* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime || !mime->hasText()) return std::nullopt;
    return mime->text().toStdString();
}

void DesktopClipboard::clear() { QGuiApplication::clipboard()->clear(); }

void DesktopClipboard::setText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void DesktopClipboard::setPng(const std::vector<unsigned char>& png) {
    QImage image;
    if (image.loadFromData(png.data(), static_cast<int>(png.size()), "PNG")) QGuiApplication::clipboard()->setImage(image);
}

NoticeWindow::NoticeWindow() : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("noticeLabel");
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAlignment(Qt::AlignCenter);
    setMargin(18);
}

void NoticeWindow::show(const std::string& message, NoticeStyle style, double seconds) {
    const char* colour = style == NoticeStyle::error     ? "rgba(160, 30, 30, 220)"
                         : style == NoticeStyle::success ? "rgba(30, 110, 60, 220)"
                                                         : "rgba(40, 40, 40, 220)";
    setStyleSheet(QString("QLabel { color: white; background: %1; border-radius: 12px; font-size: 15px; }").arg(colour));
    setText(QString::fromStdString(message));
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center().x() - width() / 2, area.top() + area.height() / 5);
    }
    QLabel::show();
    const int generation = ++m_generation;
    QTimer::singleShot(static_cast<int>(seconds * 1000), this, [this, generation] {
        if (generation == m_generation) hide();
    });
}

} // namespace lexorra::shell
