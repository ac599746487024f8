#include "shell/ShellFixture.h"

#include "core/ActionFactory.h"
#include "shell/WorkflowEditor.h"
#include "support/Workflows.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMimeData>

#include <memory>

namespace lexorra::testing {
namespace {

using shell::WorkflowEditor;
using T = TextActionType;

// Three steps whose order shows in the result: prefix "P", lower case, suffix "S".
// "Ab" gives "pabS" in this order.
class WorkflowDragTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        workflow = app->createWorkflow("Dragged");
        workflow->actionsArray = {actionWith(T::addPrefix, "Prefix", Value("P")),
                                  actionWith(T::convertCase, "CaseType", Value(2)),
                                  actionWith(T::addSuffix, "Suffix", Value("S"))};
        app->saveWorkFlowsToUserDefaults(false);
        app->setSelectedworkflowSeq(workflow);
        settle(0.5);
        window->inputEditor()->setText("Ab");
        settle(1.0);
        editor = find<WorkflowEditor>("workflowEditor");
        ASSERT_NE(editor, nullptr);
        layOut();
        ASSERT_EQ(app->resultString(), "pabS");
    }
    void layOut() {
        QApplication::processEvents();
        editor->layout()->activate();
    }
    QFrame* card(int i) const { return editor->findChild<QFrame*>(QString("actionCard%1Frame").arg(i)); }
    std::vector<T> order() const {
        std::vector<T> out;
        for (const auto& a : workflow->actionsArray)
            out.push_back(a->type);
        return out;
    }
    // A point in the upper or lower half of a card, in editor coordinates.
    QPoint upperHalf(int i) const { return card(i)->geometry().topLeft() + QPoint(20, 3); }
    QPoint lowerHalf(int i) const { return card(i)->geometry().bottomLeft() + QPoint(20, -3); }

    // Sends what the window system sends while a card is held over the editor.
    bool hover(QMimeData* mime, QPoint at) {
        QDragEnterEvent enter(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor, &enter);
        if (!enter.isAccepted()) return false;
        QDragMoveEvent move(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor, &move);
        return move.isAccepted();
    }
    bool drop(QMimeData* mime, QPoint at) {
        hover(mime, at);
        QDropEvent dropped(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor, &dropped);
        settle();
        return dropped.isAccepted();
    }
    std::unique_ptr<QMimeData> cardData(size_t index) const {
        return std::unique_ptr<QMimeData>(WorkflowEditor::cardMimeData(workflow->id, index));
    }
    std::string storedList() const { return readFile(home.groupFile()); }

    const std::vector<T> original = {T::addPrefix, T::convertCase, T::addSuffix};
    TextActionSeqPtr workflow;
    WorkflowEditor* editor = nullptr;
};

TEST_F(WorkflowDragTest, DroppedCardsMoveDownAndUpAndTheListIsSaved) {
    auto mime = cardData(0);
    EXPECT_TRUE(drop(mime.get(), lowerHalf(2)));
    EXPECT_EQ(order(), (std::vector{T::convertCase, T::addSuffix, T::addPrefix}));
    // The cards follow the list, and the list is saved.
    layOut();
    EXPECT_EQ(card(2)->findChild<QLabel*>("cardNameLabel")->text(), "Add Prefix");
    const std::string saved = storedList();
    EXPECT_LT(saved.find("\"Suffix\""), saved.find("\"Prefix\"")) << "the suffix step is stored first now";
    // The result follows after the structure debounce: "ab" + "S", then the prefix "P".
    settle(1.0);
    EXPECT_EQ(app->resultString(), "PabS");

    // The last card dropped on the upper half of the first goes to the top.
    mime = cardData(2);
    EXPECT_TRUE(drop(mime.get(), upperHalf(0)));
    EXPECT_EQ(order(), original);
    settle(1.0);
    EXPECT_EQ(app->resultString(), "pabS");
}

// Over a card the slot follows its middle, which the drops above and below show; around the cards:
TEST_F(WorkflowDragTest, DropSlotsAboveAndBelowEveryCard) {
    EXPECT_EQ(editor->dropSlotAt(QPoint(20, 0)), 0u) << "above every card";
    EXPECT_EQ(editor->dropSlotAt(QPoint(20, editor->height() - 1)), 3u) << "below every card";
}

TEST_F(WorkflowDragTest, IndicatorMarksTheGapAndDisappearsAfterwards) {
    QFrame* line = editor->dropIndicator();
    ASSERT_NE(line, nullptr);
    EXPECT_FALSE(line->isVisible());
    auto mime = cardData(0);

    // Between the second and third card.
    ASSERT_TRUE(hover(mime.get(), upperHalf(2)));
    EXPECT_TRUE(line->isVisible());
    EXPECT_GE(line->geometry().top(), card(1)->geometry().bottom() - 2);
    EXPECT_LE(line->geometry().bottom(), card(2)->geometry().top() + 2);
    EXPECT_EQ(line->width(), card(2)->width());

    // After the last card.
    ASSERT_TRUE(hover(mime.get(), lowerHalf(2)));
    EXPECT_TRUE(line->isVisible());
    EXPECT_GE(line->geometry().top(), card(2)->geometry().bottom() - 2);

    // Over the dragged card itself a drop would change nothing: no mark.
    ASSERT_TRUE(hover(mime.get(), lowerHalf(0)));
    EXPECT_FALSE(line->isVisible());

    ASSERT_TRUE(hover(mime.get(), upperHalf(2)));
    QDragLeaveEvent leave;
    QApplication::sendEvent(editor, &leave);
    EXPECT_FALSE(line->isVisible());

    ASSERT_TRUE(drop(mime.get(), upperHalf(2)));
    EXPECT_FALSE(editor->dropIndicator()->isVisible());
}

// Foreign data is refused; a card dropped onto its own place is taken but changes nothing.
TEST_F(WorkflowDragTest, ForeignDataAndDropsOntoTheirOwnPlaceChangeAndSaveNothing) {
    const std::string before = storedList();
    QMimeData text, otherWorkflow, pastTheEnd, garbled;
    text.setText("1");
    otherWorkflow.setData(WorkflowEditor::cardMimeType, "00000000-0000-0000-0000-000000000000\n1");
    pastTheEnd.setData(WorkflowEditor::cardMimeType, QByteArray::fromStdString(workflow->id + "\n3"));
    garbled.setData(WorkflowEditor::cardMimeType, QByteArray::fromStdString(workflow->id + "\nx"));
    for (QMimeData* mime : {&text, &otherWorkflow, &pastTheEnd, &garbled}) {
        EXPECT_FALSE(hover(mime, upperHalf(0))) << mime->formats().join(",").toStdString();
        EXPECT_FALSE(drop(mime, upperHalf(0)));
        EXPECT_FALSE(editor->dropIndicator()->isVisible());
    }
    auto own = cardData(1);
    drop(own.get(), upperHalf(1));
    drop(own.get(), lowerHalf(1));
    EXPECT_EQ(order(), original);
    EXPECT_EQ(storedList(), before);
    EXPECT_FALSE(app->disableUpdateResults()) << "no structure debounce started";
}

TEST_F(WorkflowDragTest, EveryCardHasAGripToDragItBy) {
    for (int i = 0; i < 3; ++i) {
        auto* grip = card(i)->findChild<QLabel*>("dragHandleLabel");
        ASSERT_NE(grip, nullptr) << i;
        EXPECT_EQ(grip->cursor().shape(), Qt::OpenHandCursor);
        EXPECT_FALSE(grip->pixmap().isNull());
    }
}

// After a run each card shows its step's outcome; clicking one (or Enter on it) shows that step's output in
// the result pane, and Escape, the card again or a new run the final result.
TEST_F(WorkflowDragTest, CardsShowTheirStepsOutcomeAndClickingOneShowsItsOutput) {
    auto* add = find<QComboBox>("addActionComboBox");
    emit add->activated(add->findData(rawValue(T::runWorkflow)));
    workflow->actionsArray.back()->setOption("WorkflowID", Value("gone"));
    settle(1.0);
    layOut();
    const auto outcome = [&](int i) { return card(i)->findChild<QWidget*>("outcomeWidget"); };
    const auto marked = [&](int i) {
        return outcome(i)->findChild<QLabel*>("outcomeMarkerLabel")->isVisibleTo(card(i));
    };
    const std::vector<std::string> firstLines = {"PAb", "pab", "pabS", " -- No workflow with the id gone -- "};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(outcome(i)->isVisibleTo(card(i))) << i;
        EXPECT_TRUE(outcome(i)->accessibleDescription().contains(QString::fromStdString(firstLines[i]))) << i;
        EXPECT_EQ(marked(i), i == 3) << i;
    }
    EXPECT_TRUE(outcome(0)->findChild<QLabel*>("outcomeFactsLabel")->text().contains(" ms")) << "the step's time";
    EXPECT_TRUE(outcome(0)->findChild<QLabel*>("outcomeFactsLabel")->text().startsWith("3 ")) << "its size";

    auto* caption = find<QLabel>("resultStepLabel");
    QTest::mouseClick(outcome(1), Qt::LeftButton);
    EXPECT_EQ(window->resultEditor()->text(), "pab");
    ASSERT_TRUE(caption->isVisible());
    EXPECT_TRUE(caption->text().contains("after step 2 of 4"));
    QTest::keyClick(window->inputEditor(), Qt::Key_Escape);
    EXPECT_FALSE(caption->isVisible());
    EXPECT_EQ(window->resultEditor()->text(), QString::fromStdString(firstLines[3]));

    QTest::mouseClick(outcome(0), Qt::LeftButton);
    EXPECT_EQ(window->resultEditor()->text(), "PAb");
    QTest::mouseClick(outcome(0), Qt::LeftButton);
    EXPECT_FALSE(caption->isVisible()) << "the card again";
    QTest::keyClick(outcome(2), Qt::Key_Return);
    EXPECT_TRUE(caption->text().contains("after step 3 of 4")) << "Enter opens a card too";
    app->runSelected();
    settle();
    EXPECT_FALSE(caption->isVisible()) << "a new run";

    card(1)->findChild<QCheckBox*>("enabledCheckBox")->setChecked(false);
    EXPECT_FALSE(outcome(1)->isVisibleTo(card(1))) << "a switched-off step has none";
}

} // namespace
} // namespace lexorra::testing
