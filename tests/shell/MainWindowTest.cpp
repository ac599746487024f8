#include "shell/ShellFixture.h"

#include "core/ActionFactory.h"
#include "core/RunHistory.h"
#include "shell/HistoryDialog.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace lexorra::testing {
namespace {

class MainWindowTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        // The first start greets with a text of its own; every test types its own.
        welcome = window->inputEditor()->text();
        command("Clear Input Text and Results")->trigger();
        settle();
    }
    QString welcome;
    QString result() const { return window->resultEditor()->text(); }
    void type(const QString& text) {
        window->inputEditor()->setFocus();
        QTest::keyClicks(window->inputEditor(), text);
    }
    QFrame* card(int index) { return find<QFrame>(QString("actionCard%1Frame").arg(index).toLatin1().constData()); }
    void addToWorkflow(TextActionType kind) {
        auto* add = find<QComboBox>("addActionComboBox");
        ASSERT_NE(add, nullptr);
        const int index = add->findData(rawValue(kind));
        ASSERT_GT(index, 0);
        add->setCurrentIndex(index);
        emit add->activated(index);
        settle();
    }
    void setCardOption(int index, const char* name, const QString& text) {
        auto* edit = card(index)->findChild<QLineEdit*>(name);
        ASSERT_NE(edit, nullptr) << name;
        edit->setText(text);
        emit edit->textEdited(text);
    }
    // The case type of a workflow card, or else of "Convert Case", which it selects first.
    void chooseCase(int raw, QWidget* in = nullptr) {
        if (!in) select("Convert Case");
        auto* combo = (in ? in : window.get())->findChild<QComboBox*>("CaseTypeComboBox");
        ASSERT_NE(combo, nullptr);
        combo->setCurrentIndex(combo->findData(raw));
    }
    void click(int index, const char* button) {
        auto* b = card(index)->findChild<QToolButton*>(button);
        ASSERT_NE(b, nullptr) << button;
        ASSERT_TRUE(b->isEnabled()) << button;
        b->click();
        settle();
    }
    // A workflow of "Add Prefix" (X) then "Convert Case" (lower): the order shows in the result.
    TextActionSeqPtr buildPrefixThenLower() {
        command("Create new Workflow")->trigger();
        settle(0.5);
        auto seq = app->activeActionsSeq();
        addToWorkflow(TextActionType::addPrefix);
        setCardOption(0, "PrefixLineEdit", "X");
        addToWorkflow(TextActionType::convertCase);
        chooseCase(2, card(1));
        settle(1.0);
        return seq;
    }
};

TEST_F(MainWindowTest, SearchFiltersTheSidebar) {
    find<QLineEdit>("searchLineEdit")->setText("convert c");
    settle();
    EXPECT_NE(sidebarItem("Convert Case"), nullptr);
    EXPECT_EQ(sidebarItem("Replace Text"), nullptr);
    find<QLineEdit>("searchLineEdit")->clear();
    settle();
    EXPECT_NE(sidebarItem("Replace Text"), nullptr);
}

TEST_F(MainWindowTest, SelectingAnotherActionShowsItsPanelAndResult) {
    select("Convert Case");
    EXPECT_NE(find<QComboBox>("CaseTypeComboBox"), nullptr);
    type("a-b");
    settle(0.6);
    select("Replace Text");
    EXPECT_EQ(find<QComboBox>("CaseTypeComboBox"), nullptr);
    for (const auto& [name, typed] : {std::pair{"ReplaceStringLineEdit", "-"}, {"WithStringLineEdit", "+"}}) {
        ASSERT_NE(find<QLineEdit>(name), nullptr) << name;
        QTest::keyClicks(find<QLineEdit>(name), typed);
    }
    settle(1.0);
    EXPECT_EQ(result(), "a+b");
}

TEST_F(MainWindowTest, WorkflowStepsRunInOrderAndFollowEdits) {
    type("Ab");
    auto seq = buildPrefixThenLower();
    ASSERT_TRUE(seq);
    ASSERT_EQ(seq->actionsArray.size(), 2u);
    EXPECT_EQ(result(), "xab");
    EXPECT_FALSE(card(0)->findChild<QToolButton*>("moveUpToolButton")->isEnabled());
    EXPECT_FALSE(card(1)->findChild<QToolButton*>("moveDownToolButton")->isEnabled());

    // Lower case first, then the prefix: the prefix keeps its case.
    click(1, "moveUpToolButton");
    settle(1.0);
    EXPECT_EQ(result(), "Xab");

    // A disabled step is skipped.
    auto* enabled = card(0)->findChild<QCheckBox*>("enabledCheckBox");
    ASSERT_NE(enabled, nullptr);
    enabled->setChecked(false);
    settle(1.0);
    EXPECT_EQ(result(), "XAb");

    // Removing the disabled step leaves the prefix alone.
    click(0, "removeToolButton");
    settle(1.0);
    ASSERT_EQ(seq->actionsArray.size(), 1u);
    EXPECT_EQ(seq->actionsArray[0]->type, TextActionType::addPrefix);
    EXPECT_EQ(card(1), nullptr);
    EXPECT_EQ(result(), "XAb");
}

TEST_F(MainWindowTest, RunCommandRecomputesWithLiveResultsOff) {
    chooseCase(1);
    command("Live Results")->setChecked(false);
    type("quiet");
    settle(2.0);
    EXPECT_EQ(result(), "");
    command("Run Selected Action/Workflow")->trigger();
    settle();
    EXPECT_EQ(result(), "QUIET");
}

TEST_F(MainWindowTest, TrayWorkflowButtonTransformsTheClipboard) {
    auto seq = buildPrefixThenLower();
    QApplication::clipboard()->setText("Hello\nWorld");
    QMenu menu;
    window->fillTrayMenu(&menu);
    QAction* button = nullptr;
    for (auto* action : menu.actions())
        if (action->text() == QString::fromStdString(seq->name)) button = action;
    ASSERT_NE(button, nullptr);
    button->trigger();
    settle();
    EXPECT_EQ(QApplication::clipboard()->text(), "xhello\nxworld");
    ASSERT_FALSE(notices.shown.empty());
    EXPECT_EQ(notices.shown.back().style, NoticeStyle::success);
}

TEST_F(MainWindowTest, NoWindowShortcutIsTakenByTheEditor) {
    for (const QKeySequence& key : window->windowShortcuts()) {
        QKeyEvent probe(QEvent::ShortcutOverride, key[0].key(), key[0].keyboardModifiers());
        probe.ignore();
        QApplication::sendEvent(window->inputEditor(), &probe);
        EXPECT_FALSE(probe.isAccepted()) << key.toString().toStdString();
    }
    // Ctrl+U uses the result as input instead of lowercasing the selection.
    chooseCase(1);
    type("Shout");
    settle(1.0);
    window->inputEditor()->selectAll();
    QTest::keyClick(window->inputEditor(), Qt::Key_U, Qt::ControlModifier);
    settle();
    EXPECT_EQ(window->inputEditor()->text(), "SHOUT");
}

TEST_F(MainWindowTest, FirstStartGreetsAndOneUndoBringsTheClearedInputBack) {
    EXPECT_TRUE(welcome.startsWith("Welcome")) << welcome.toStdString();
    EXPECT_TRUE(result().isEmpty());
    type("keep me");
    command("Clear Input Text and Results")->trigger();
    settle();
    EXPECT_EQ(app->inputString(), "");
    QTest::keyClick(window->inputEditor(), Qt::Key_Z, Qt::ControlModifier);
    settle();
    EXPECT_EQ(window->inputEditor()->text(), "keep me");
    EXPECT_EQ(app->inputString(), "keep me");
}

TEST_F(MainWindowTest, DestructiveQuestionsDefaultToCancel) {
    auto seq = buildPrefixThenLower();
    for (const char* commandText : {"Delete Workflow", "Delete all workflows"}) {
        QString defaultButton;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr) << commandText;
            defaultButton = box->defaultButton()->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        command(commandText)->trigger();
        settle();
        EXPECT_EQ(defaultButton, "Cancel") << commandText;
        EXPECT_EQ(app->findSequence(seq->id), seq) << commandText;
    }
}

TEST_F(MainWindowTest, ResultSaysWhenLiveResultsPause) {
    auto* hint = find<QLabel>("liveResultsPausedLabel");
    window->inputEditor()->setText(QString(AppManager::liveInputLimit, 'a'));
    settle();
    EXPECT_FALSE(hint->isVisible());
    window->inputEditor()->append("a");
    settle();
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().contains("32,999") && hint->text().contains("Ctrl+R")) << hint->text().toStdString();
}

TEST_F(MainWindowTest, NamesSwitchedOffStepsAndActionOptionsSurviveARestart) {
    chooseCase(4); // Title Case
    const std::string workflowId = buildPrefixThenLower()->id;
    card(1)->findChild<QCheckBox*>("enabledCheckBox")->setChecked(false);
    enter(find<QLineEdit>("workflowNameLineEdit"), "Shout Less");
    settle(1.0);
    EXPECT_NE(sidebarItem("Shout Less"), nullptr);
    const std::string document = readFile(home.groupFile());

    restart();
    auto workflow = app->findSequence(workflowId);
    ASSERT_NE(workflow, nullptr);
    EXPECT_EQ(workflow->name, "Shout Less");
    EXPECT_TRUE(workflow->actionsArray[0]->enabled());
    EXPECT_FALSE(workflow->actionsArray[1]->enabled());
    EXPECT_EQ(readFile(home.groupFile()), document) << "the workflow document is left as it was";
    select("Convert Case");
    EXPECT_EQ(find<QComboBox>("CaseTypeComboBox")->currentData().toInt(), 4);
}

TEST_F(MainWindowTest, EditUndoTakesBackWorkflowEditsWhenNoTextFieldHasFocus) {
    auto seq = buildPrefixThenLower();
    enter(find<QLineEdit>("workflowNameLineEdit"), "Shout Less");
    settle();
    auto* undo = find<QAction>("undoAction");
    auto* sidebar = find<QTreeWidget>("sidebarTreeWidget");
    window->inputEditor()->setFocus();
    settle();
    EXPECT_EQ(undo->text(), "Undo") << "a text editor keeps its own undo";
    sidebar->setFocus();
    settle();
    EXPECT_EQ(undo->text(), "Undo Rename Workflow");
    undo->trigger();
    settle(1.0);
    EXPECT_EQ(seq->name, "New Workflow");
    EXPECT_EQ(find<QLineEdit>("workflowNameLineEdit")->text(), "New Workflow");
    EXPECT_EQ(find<QAction>("redoAction")->text(), "Redo Rename Workflow");

    card(1)->findChild<QCheckBox*>("enabledCheckBox")->setChecked(false);
    settle(1.0);
    app->deleteWorkflow(seq->id);
    settle(1.0);
    sidebar->setFocus();
    settle();
    EXPECT_EQ(undo->text(), "Undo Delete Workflow");
    QTest::keyClick(sidebar, Qt::Key_Z, Qt::ControlModifier);
    settle(1.0);
    ASSERT_NE(sidebarItem("New Workflow"), nullptr);
    EXPECT_EQ(find<QLineEdit>("workflowNameLineEdit")->text(), "New Workflow");
    EXPECT_FALSE(card(1)->findChild<QCheckBox*>("enabledCheckBox")->isChecked());
    undo->trigger(); // the switch, which a restart then remembers
    settle(1.0);
    const std::string id = app->selectedworkflowSeq()->id;
    restart();
    EXPECT_TRUE(app->findSequence(id)->actionsArray[1]->enabled());
}

TEST_F(MainWindowTest, HistoryListsTheKeptRunsAndRestoresOne) {
    app->setKeepRunHistory(true);
    select("Convert Case");
    type("first words");
    settle(1.0);
    command("Clear Input Text and Results")->trigger();
    select("Trim Lines");
    auto* history = window->showHistory();
    auto* list = history->findChild<QTreeWidget*>("historyTreeWidget");
    ASSERT_EQ(list->topLevelItemCount(), 1) << "runs without input are not kept";
    EXPECT_EQ(list->topLevelItem(0)->text(1), "Convert Case");
    EXPECT_EQ(list->topLevelItem(0)->text(2), "first words");
    history->findChild<QPushButton*>("restoreRunButton")->click();
    settle(1.0);
    EXPECT_EQ(window->inputEditor()->text(), "first words");
    EXPECT_EQ(app->activeActionsSeq()->name, "Convert Case");

    history = window->showHistory();
    const int kept = list->topLevelItemCount();
    ASSERT_GT(kept, 0);
    history->findChild<QPushButton*>("deleteRunButton")->click();
    EXPECT_EQ(list->topLevelItemCount(), kept - 1);
    EXPECT_EQ(app->runHistory().entries().size(), size_t(kept - 1)) << "forgotten by the history too";
}

} // namespace
} // namespace lexorra::testing
