#include "shell/StepCard.h"

#include "text/Utf.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <utility>

namespace lexorra::shell {

// The first lines of an output, each cut where the card would cut it anyway.
class PreviewLabel : public QWidget {
public:
    static constexpr int maxLines = 2;

    explicit PreviewLabel(QWidget* parent) : QWidget(parent) {
        setObjectName("outcomePreviewLabel");
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    }
    void setLines(QStringList lines) {
        m_lines = std::move(lines);
        updateGeometry();
        update();
    }
    const QStringList& lines() const { return m_lines; }
    QSize sizeHint() const override {
        return {80, fontMetrics().lineSpacing() * static_cast<int>(std::max<qsizetype>(1, m_lines.size()))};
    }
    QSize minimumSizeHint() const override { return {40, sizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        const QFontMetrics metrics = fontMetrics();
        int y = 0;
        for (const QString& line : m_lines) {
            painter.drawText(QRect(0, y, width(), metrics.lineSpacing()), Qt::AlignVCenter | Qt::AlignLeft,
                             metrics.elidedText(line, Qt::ElideRight, width()));
            y += metrics.lineSpacing();
        }
    }

private:
    QStringList m_lines;
};

namespace {

// Enough of each line to fill a card: a 10 MB output of one line is not converted whole.
constexpr size_t previewBytesPerLine = 300;

QStringList firstLines(std::string_view output) {
    QStringList lines;
    // Blank lines before the text (a sort puts them first) would fill the card with nothing.
    const size_t text = output.find_first_not_of(" \t\r\n");
    if (text == std::string_view::npos) return lines;
    const size_t lineBreak = output.rfind('\n', text);
    size_t at = lineBreak == std::string_view::npos ? 0 : lineBreak + 1;
    while (lines.size() < PreviewLabel::maxLines && at < output.size()) {
        size_t end = output.find('\n', at);
        if (end == std::string_view::npos) end = output.size();
        const size_t cut = at + text::utf8Prefix(output.substr(at, end - at), previewBytesPerLine).size();
        QString line = QString::fromUtf8(output.data() + at, static_cast<qsizetype>(cut - at));
        line.replace('\t', ' ').remove('\r');
        lines.append(cut < end ? line + QChar(0x2026) : line);
        at = end + 1;
    }
    return lines;
}

QString duration(double ms) {
    if (ms < 0.1) return QObject::tr("<0.1 ms");
    if (ms < 1000) return QObject::tr("%1 ms").arg(ms, 0, 'f', ms < 10 ? 1 : 0);
    return QObject::tr("%1 s").arg(ms / 1000, 0, 'f', 1);
}

} // namespace

StepCard::StepCard(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    m_outcome = new QWidget(this);
    m_outcome->setObjectName("outcomeWidget");
    m_outcome->setCursor(Qt::PointingHandCursor);
    m_outcome->setToolTip(tr("Click, or press Enter, to see this step's output in the result pane"));
    // Tab reaches it like any button, and Enter or Space opens it.
    m_outcome->setFocusPolicy(Qt::StrongFocus);
    m_outcome->installEventFilter(this);
    auto* row = new QHBoxLayout(m_outcome);
    // In line with the step's title, past the handle and the switches.
    row->setContentsMargins(24, 0, 4, 0);
    m_markerIcon = new QLabel(m_outcome);
    m_markerIcon->setObjectName("outcomeMarkerLabel");
    m_markerIcon->setPixmap(
        QIcon::fromTheme("dialog-warning", style()->standardIcon(QStyle::SP_MessageBoxWarning)).pixmap(14, 14));
    m_markerIcon->setToolTip(tr("This step gave a message instead of transformed text"));
    m_markerIcon->setAlignment(Qt::AlignTop);
    m_preview = new PreviewLabel(m_outcome);
    m_facts = new QLabel(m_outcome);
    m_facts->setObjectName("outcomeFactsLabel");
    m_facts->setAlignment(Qt::AlignTop | Qt::AlignRight);
    for (QWidget* w : {static_cast<QWidget*>(m_preview), static_cast<QWidget*>(m_facts)}) {
        QFont f = w->font();
        f.setPointSizeF(f.pointSizeF() * 0.9);
        w->setFont(f);
    }
    m_facts->setForegroundRole(QPalette::PlaceholderText);
    row->addWidget(m_markerIcon);
    row->addWidget(m_preview, 1);
    row->addWidget(m_facts);
    m_outcome->hide();
}

void StepCard::showOutcome(const StepRecord* record) {
    m_outcome->setVisible(record != nullptr);
    if (!record) return;
    m_markerIcon->setVisible(record->marker);
    QFont f = m_preview->font();
    f.setItalic(record->marker);
    m_preview->setFont(f);
    QStringList lines = firstLines(record->output);
    m_preview->setForegroundRole(lines.isEmpty() ? QPalette::PlaceholderText : QPalette::WindowText);
    if (lines.isEmpty()) lines = {record->output.empty() ? tr("no text") : tr("only white space")};
    m_preview->setLines(std::move(lines));
    const QString size =
        QLocale().formattedDataSize(static_cast<qint64>(record->output.size()), 1, QLocale::DataSizeTraditionalFormat);
    m_facts->setText(QStringLiteral("%1 · %2").arg(size, duration(record->ms)));
    m_outcome->setAccessibleName(tr("Outcome"));
    m_outcome->setAccessibleDescription((record->marker ? tr("A message: ") : QString()) +
                                        m_preview->lines().join(' ') + ", " + m_facts->text());
}

void StepCard::setViewed(bool viewed) {
    if (m_viewed == viewed) return;
    m_viewed = viewed;
    update();
}

bool StepCard::clickable(QPoint pos) const {
    return !(m_options && m_options->isVisible() && pos.y() >= m_options->geometry().top());
}

void StepCard::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && clickable(event->position().toPoint()))
        m_pressedAt = event->position().toPoint();
    QFrame::mousePressEvent(event);
}

void StepCard::mouseReleaseEvent(QMouseEvent* event) {
    const bool pressedHere = std::exchange(m_pressedAt, std::nullopt).has_value();
    if (pressedHere && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}

bool StepCard::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_outcome) return QFrame::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) update();
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            emit clicked();
            return true;
        }
    }
    return false;
}

void StepCard::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (!m_viewed && !m_outcome->hasFocus()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_viewed) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
    }
    if (m_outcome->hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRoundedRect(QRectF(m_outcome->geometry()).adjusted(2.5, 0.5, -2.5, -0.5), 3, 3);
    }
}

} // namespace lexorra::shell
