#pragma once

// Pictures a screen region might show: QR codes and lines of text the recogniser reads.

#include "actions/chars/TextActionQRCode.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QStringList>

#include <string>

namespace lexorra::testing {

inline QImage qrImage(const std::string& payload) {
    const auto png = qrCodePng(std::string(TextActionQRCode::marker) + payload);
    if (!png) return {};
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(png->data()), static_cast<int>(png->size()), "PNG");
    return image;
}

// Dark text on white, large enough for the recogniser to read without doubt.
inline QImage textImage(const QStringList& lines, int extraTop = 0) {
    QImage image(1400, extraTop + 90 * static_cast<int>(lines.size()) + 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont font("DejaVu Sans");
    font.setPixelSize(48);
    p.setFont(font);
    p.setPen(Qt::black);
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(40, extraTop + 80 + 90 * i, lines[i]);
    return image;
}

inline QImage codeAboveText(const QImage& code, const QStringList& lines) {
    QImage image = textImage(lines, code.height() + 20);
    QPainter p(&image);
    p.drawImage(40, 10, code);
    return image;
}

inline QImage qrAboveText(const std::string& payload, const QStringList& lines) {
    return codeAboveText(qrImage(payload), lines);
}

inline const QStringList threeLines = {"Hello World", "Quick brown fox", "Lazy dog sleeps"};

} // namespace lexorra::testing
