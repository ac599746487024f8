#include "shell/OptionsPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextOption>

namespace lexorra::shell {
namespace {

QString objectNameFor(const OptionDecl& decl, const char* widgetClass) {
    return QString::fromStdString(decl.key) + widgetClass;
}

bool onlyWhitespace(const QString& text) {
    return !text.isEmpty() && text.trimmed().isEmpty();
}

// A text option field. One that holds only spaces and tabs ("Tabs to Spaces" replaces a tab
// with four spaces) would look empty: it shows them as marks over the text. Its hint is
// drawn in a smaller type where it would be cut off at the panel's width.
class OptionLineEdit : public QLineEdit {
public:
    OptionLineEdit(const QString& text, const QString& hint, QWidget* parent) : QLineEdit(text, parent), m_hint(hint) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        QLineEdit::paintEvent(event);
        const QString shown = text();
        if (!shown.isEmpty() && !onlyWhitespace(shown)) return;
        QStyleOptionFrame option;
        initStyleOption(&option);
        const QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &option, this).adjusted(2, 0, -2, 0);
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::PlaceholderText));
        QString marks = m_hint;
        if (!shown.isEmpty()) {
            marks.clear();
            for (const QChar c : shown)
                marks += c == '\t' ? QStringLiteral("→   ") : QStringLiteral("·");
        }
        QFont small = font();
        const qreal natural = QFontMetricsF(small).horizontalAdvance(marks);
        if (natural > area.width()) small.setPointSizeF(std::max(6.5, small.pointSizeF() * area.width() / natural));
        painter.setFont(small);
        painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft,
                         QFontMetrics(small).elidedText(marks, Qt::ElideRight, area.width()));
    }

private:
    QString m_hint;
};

void showWhitespaceWhenAlone(QPlainTextEdit* edit) {
    QTextOption option = edit->document()->defaultTextOption();
    auto flags = option.flags();
    flags.setFlag(QTextOption::ShowTabsAndSpaces, onlyWhitespace(edit->toPlainText()));
    if (flags == option.flags()) return;
    option.setFlags(flags);
    edit->document()->setDefaultTextOption(option);
}

// What a screen reader says for a field: its label without the colon.
QString accessibleLabel(const OptionDecl& decl) {
    QString label = QString::fromStdString(decl.label).trimmed();
    if (label.endsWith(':')) label.chop(1);
    return label;
}

} // namespace

OptionsPanel::OptionsPanel(std::shared_ptr<TextAction> action, ResultsHost& host, QWidget* parent,
                           WorkflowChoices workflows)
    : QWidget(parent), m_action(std::move(action)), m_host(host), m_form(new QFormLayout(this)),
      m_workflows(std::move(workflows)) {
    setObjectName("optionsPanel");
    m_form->setContentsMargins(4, 4, 4, 4);
    // A narrow panel puts a field under its label rather than needing a sideways scrollbar.
    m_form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    build();
    updateVisibility();
}

void OptionsPanel::write(const OptionDecl& decl, const Value& value) {
    if (!m_action->setOption(decl.key, value)) return;
    m_action->scheduleResultsUpdate(m_host);
    updateVisibility();
    emit optionChanged();
}

void OptionsPanel::build() {
    const auto& decls = m_action->options();
    if (decls.empty()) {
        auto* none = new QLabel(tr("This action has no options."), this);
        none->setEnabled(false);
        m_form->addRow(none);
        return;
    }
    for (const auto& decl : decls) {
        const Value current = decl.get(*m_action);
        QWidget* editor = nullptr;
        switch (decl.kind) {
        case OptionKind::text: {
            auto* edit =
                new OptionLineEdit(QString::fromStdString(current.asString()), QString::fromStdString(decl.hint), this);
            edit->setObjectName(objectNameFor(decl, "LineEdit"));
            connect(edit, &QLineEdit::textEdited, this,
                    [this, &decl](const QString& t) { write(decl, Value(t.toStdString())); });
            editor = edit;
            break;
        }
        case OptionKind::multilineText: {
            auto* edit = new QPlainTextEdit(QString::fromStdString(current.asString()), this);
            edit->setObjectName(objectNameFor(decl, "PlainTextEdit"));
            edit->setPlaceholderText(QString::fromStdString(decl.hint));
            edit->setMaximumHeight(90);
            showWhitespaceWhenAlone(edit);
            connect(edit, &QPlainTextEdit::textChanged, this, [this, &decl, edit] {
                showWhitespaceWhenAlone(edit);
                write(decl, Value(edit->toPlainText().toStdString()));
            });
            editor = edit;
            break;
        }
        case OptionKind::toggle: {
            auto* box = new QCheckBox(QString::fromStdString(decl.label), this);
            box->setObjectName(objectNameFor(decl, "CheckBox"));
            box->setChecked(current.asBool());
            connect(box, &QCheckBox::toggled, this, [this, &decl](bool on) { write(decl, Value(on)); });
            editor = box;
            break;
        }
        case OptionKind::menu: {
            auto* combo = new QComboBox(this);
            combo->setObjectName(objectNameFor(decl, "ComboBox"));
            combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            combo->setMinimumContentsLength(10);
            for (const auto& c : decl.cases) combo->addItem(QString::fromStdString(c.label), QVariant::fromValue(c.raw));
            combo->setCurrentIndex(std::max(0, combo->findData(QVariant::fromValue(current.asInteger()))));
            connect(combo, &QComboBox::currentIndexChanged, this, [this, &decl, combo](int) {
                write(decl, Value(static_cast<std::int64_t>(combo->currentData().toLongLong())));
            });
            editor = combo;
            break;
        }
        case OptionKind::workflow: {
            auto* combo = new QComboBox(this);
            combo->setObjectName(objectNameFor(decl, "ComboBox"));
            combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            combo->setMinimumContentsLength(10);
            combo->addItem(tr("Choose a workflow"), QString());
            for (const auto& [id, name] : m_workflows)
                combo->addItem(QString::fromStdString(name), QString::fromStdString(id));
            const QString chosen = QString::fromStdString(current.asString());
            // A workflow that is gone (or not synchronised yet) stays named until another is chosen.
            if (!chosen.isEmpty() && combo->findData(chosen) < 0) combo->addItem(tr("Missing workflow %1").arg(chosen), chosen);
            combo->setCurrentIndex(std::max(0, combo->findData(chosen)));
            connect(combo, &QComboBox::currentIndexChanged, this, [this, &decl, combo](int) {
                write(decl, Value(combo->currentData().toString().toStdString()));
            });
            editor = combo;
            break;
        }
        case OptionKind::stepper:
        case OptionKind::integer: {
            auto* spin = new QSpinBox(this);
            spin->setObjectName(objectNameFor(decl, "SpinBox"));
            spin->setRange(static_cast<int>(std::max<std::int64_t>(decl.minimum, INT32_MIN)),
                           static_cast<int>(std::min<std::int64_t>(decl.maximum, INT32_MAX)));
            spin->setSingleStep(static_cast<int>(decl.step));
            spin->setValue(static_cast<int>(current.asInteger()));
            connect(spin, &QSpinBox::valueChanged, this,
                    [this, &decl](int v) { write(decl, Value(static_cast<std::int64_t>(v))); });
            editor = spin;
            break;
        }
        }
        editor->setToolTip(QString::fromStdString(decl.hint));
        editor->setAccessibleName(accessibleLabel(decl));
        editor->setAccessibleDescription(QString::fromStdString(decl.hint));
        if (decl.kind == OptionKind::toggle)
            m_form->addRow(editor);
        else
            m_form->addRow(QString::fromStdString(decl.label), editor);
        m_rows.emplace_back(&decl, editor);
    }
    if (const std::string note = m_action->panelNote(); !note.empty()) {
        auto* label = new QLabel(QString::fromStdString(note), this);
        label->setObjectName("panelNoteLabel");
        label->setForegroundRole(QPalette::PlaceholderText);
        label->setWordWrap(true);
        m_form->addRow(label);
    }
}

void OptionsPanel::updateVisibility() {
    for (auto& [decl, editor] : m_rows) m_form->setRowVisible(editor, decl->isVisible(*m_action));
}

} // namespace lexorra::shell
