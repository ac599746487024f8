#include "shell/Icons.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>

#include <array>

namespace lexorra::shell {
namespace {

// Theme names are the standard freedesktop icon names where one fits; the others
// are names that the common themes (Breeze, Adwaita, Papirus) ship.
constexpr std::array symbolTable{
    IconEntry{"arrow.left.and.right", "edit-find-replace", "replace"},
    IconEntry{"arrow.right.to.line.compact", "format-indent-more", "prefix"},
    IconEntry{"arrow.up.arrow.down", "view-sort-ascending", "sort"},
    IconEntry{"textformat.abc", "format-text-uppercase", "case"},
    IconEntry{"list.number", "format-list-ordered", "numbers"},
    IconEntry{"arrow.left.to.line.compact", "format-indent-less", "suffix"},
    IconEntry{"minus.circle", "list-remove", "minus-circle"},
    IconEntry{"minus", "format-join-node", "minus"},
    IconEntry{"directcurrent", "format-justify-fill", "spaces"},
    IconEntry{"selection.pin.in.out", "transform-crop", "trim"},
    IconEntry{"123.rectangle", "accessories-calculator", "digits"},
    IconEntry{"text.badge.minus", "edit-delete", "lines-minus"},
    IconEntry{"delete.left", "edit-clear", "backspace"},
    IconEntry{"line.3.horizontal", "format-justify-left", "lines"},
    IconEntry{"wand.and.rays.inverse", "tools-wizard", "wand"},
    IconEntry{"wand.and.stars.inverse", "text-xml", "wand-stars"},
    IconEntry{"text.insert", "insert-text", "insert"},
    IconEntry{"magnifyingglass.circle", "edit-find", "search"},
    IconEntry{"cpu", "cpu", "chip"},
    IconEntry{"lock", "dialog-password", "lock"},
    IconEntry{"square.on.square", "edit-copy", "duplicate"},
    IconEntry{"chart.xyaxis.line", "office-chart-line", "chart"},
    IconEntry{"tablecells", "x-office-spreadsheet", "table"},
    IconEntry{"note.text", "text-x-generic", "note"},
    IconEntry{"a.circle", "format-text-italic", "a-circle"},
    IconEntry{"qrcode", "view-barcode-qr", "qrcode"},
    IconEntry{"m.square", "text-html", "m-square"},
    IconEntry{"y.square", "text-x-yaml", "y-square"},
    IconEntry{"arrow.2.squarepath", "view-refresh", "convert"},
    IconEntry{"openai", "", "sparkles"},
    IconEntry{"xmlToJson", "application-json", "xml-json"},
    IconEntry{"shuffle", "media-playlist-shuffle", "shuffle"},
    IconEntry{"calendar.badge.clock", "x-office-calendar", "calendar"},
    IconEntry{"text.quote", "format-text-blockquote", "quote"},
    IconEntry{"flowchart", "", "flowchart"},
    // Workflow icons of the default workflows that are no catalogue symbol.
    IconEntry{"wand.and.stars", "text-xml", "wand-stars"},
    IconEntry{"wand.and.rays", "tools-wizard", "wand"},
};

constexpr std::array commandTable{
    IconEntry{"run", "media-playback-start", "play"},
    IconEntry{"runAndCopy", "", "play-copy"},
    IconEntry{"copyResult", "edit-copy", "copy"},
    IconEntry{"useResult", "go-up", "use-result"},
    IconEntry{"clear", "edit-clear-all", "clear"},
    IconEntry{"load", "document-open", "open"},
    IconEntry{"save", "document-save", "save"},
    IconEntry{"capture", "camera-photo", "capture"},
    IconEntry{"liveResults", "", "live"},
    IconEntry{"preferences", "preferences-system", "gear"},
};

// Draws a monochrome glyph in the colour the widget's palette gives for the icon's mode.
class GlyphEngine : public QIconEngine {
public:
    explicit GlyphEngine(QByteArray svg) : m_svg(std::move(svg)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const QPalette palette = QApplication::palette();
        QColor colour = palette.color(QPalette::WindowText);
        if (mode == QIcon::Disabled) colour = palette.color(QPalette::Disabled, QPalette::WindowText);
        if (mode == QIcon::Selected) colour = palette.color(QPalette::HighlightedText);
        QByteArray svg = m_svg;
        svg.replace("currentColor", colour.name().toLatin1());
        QSvgRenderer renderer(svg);
        renderer.render(painter, QRectF(rect));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap out(size);
        out.fill(Qt::transparent);
        QPainter painter(&out);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return out;
    }
    QIconEngine* clone() const override { return new GlyphEngine(m_svg); }
    QString key() const override { return "LexorraGlyph"; }

private:
    QByteArray m_svg;
};

} // namespace

std::span<const IconEntry> symbolIcons() { return symbolTable; }
std::span<const IconEntry> commandIcons() { return commandTable; }

const IconEntry* findIcon(std::string_view key) {
    for (const auto& table : {symbolIcons(), commandIcons()})
        for (const auto& entry : table)
            if (entry.key == key) return &entry;
    return nullptr;
}

QIcon bundledIcon(const char* glyph) {
    QFile file(QString(":/icons/glyphs/%1.svg").arg(QLatin1String(glyph)));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QIcon(new GlyphEngine(file.readAll()));
}

QIcon iconFor(std::string_view key) {
    const IconEntry* entry = findIcon(key);
    if (!entry) return {};
    QIcon fallback = bundledIcon(entry->glyph);
    if (*entry->themeName == '\0') return fallback;
    return QIcon::fromTheme(QLatin1String(entry->themeName), fallback);
}

QIcon actionIcon(TextActionType type) { return iconFor(icon(type)); }

} // namespace lexorra::shell
