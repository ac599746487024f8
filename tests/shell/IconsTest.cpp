#include "shell/ShellFixture.h"

#include "shell/Icons.h"
#include "shell/Theme.h"

#include <QAction>
#include <QToolBar>
#include <QTreeWidget>

#include <set>
#include <string>

namespace lexorra::testing {
namespace {

using namespace lexorra::shell;

// The opaque pixels of an icon drawn at 32 px, and their average colour.
struct Ink {
    int pixels = 0;
    QColor average;
};

Ink inkOf(const QIcon& icon, QIcon::Mode mode = QIcon::Normal) {
    const QImage image = icon.pixmap(32, 32, mode).toImage().convertToFormat(QImage::Format_ARGB32);
    long r = 0, g = 0, b = 0;
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() < 250) continue;
            ++ink.pixels;
            r += c.red();
            g += c.green();
            b += c.blue();
        }
    if (ink.pixels) ink.average = QColor(int(r / ink.pixels), int(g / ink.pixels), int(b / ink.pixels));
    return ink;
}

bool near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 30;
}

// No icon theme at all, as on a bare X server: only what we bundle can show.
class NoIconTheme {
public:
    NoIconTheme() : m_name(QIcon::themeName()), m_paths(QIcon::themeSearchPaths()) {
        QIcon::setThemeSearchPaths({});
        QIcon::setThemeName("none-installed");
    }
    ~NoIconTheme() {
        QIcon::setThemeSearchPaths(m_paths);
        QIcon::setThemeName(m_name);
    }

private:
    QString m_name;
    QStringList m_paths;
};

TEST(Icons, EveryCatalogueSymbolHasAnEntryWithItsOwnGlyph) {
    std::set<std::string> glyphs;
    for (auto kind : allTextActionTypes()) {
        const IconEntry* entry = findIcon(icon(kind));
        ASSERT_NE(entry, nullptr) << icon(kind);
        glyphs.insert(entry->glyph);
    }
    EXPECT_EQ(glyphs.size(), size_t(textActionTypeCount)) << "two kinds would look alike";
    EXPECT_NE(findIcon("flowchart"), nullptr);
    EXPECT_EQ(findIcon("no.such.symbol"), nullptr);
    EXPECT_TRUE(iconFor("no.such.symbol").isNull());
}

// A theme name outside the naming rules is never found, so its entry would always fall back.
TEST(Icons, EveryGlyphDrawsWithoutAnyIconThemeAndThemeNamesFollowTheNamingRules) {
    NoIconTheme bare;
    const QRegularExpression themeName("^([a-z0-9]+(-[a-z0-9]+)*)?$");
    for (const auto& table : {symbolIcons(), commandIcons()})
        for (const auto& entry : table) {
            EXPECT_TRUE(themeName.match(QString::fromLatin1(entry.themeName)).hasMatch()) << entry.themeName;
            const QIcon icon = iconFor(entry.key);
            ASSERT_FALSE(icon.isNull()) << entry.key;
            const Ink ink = inkOf(icon);
            EXPECT_GT(ink.pixels, 10) << entry.key << " draws nothing";
            EXPECT_LT(ink.pixels, 32 * 32 / 2) << entry.key << " is a blot";
        }
    EXPECT_GT(inkOf(bundledIcon("drag-handle")).pixels, 10);
    EXPECT_TRUE(bundledIcon("no-such-glyph").isNull());
}

TEST(Icons, GlyphsTakeTheTextColourOfTheCurrentPalette) {
    const QPalette saved = QApplication::palette();
    const QIcon glyph = bundledIcon("sort");
    for (bool dark : {false, true}) {
        QApplication::setPalette(themePalette(dark));
        const QColor text = QApplication::palette().color(QPalette::WindowText);
        EXPECT_TRUE(near(inkOf(glyph).average, text))
            << (dark ? "dark" : "light") << ": " << inkOf(glyph).average.name().toStdString() << " for "
            << text.name().toStdString();
        const QColor disabled = QApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
        EXPECT_TRUE(near(inkOf(glyph, QIcon::Disabled).average, disabled)) << (dark ? "dark" : "light");
    }
    QApplication::setPalette(saved);
}

class IconsInWindow : public ShellFixture {};

TEST_F(IconsInWindow, SidebarRowsAndToolbarCommandsShowIcons) {
    NoIconTheme bare;
    restart(); // icons are chosen when the window is built
    auto* tree = find<QTreeWidget>("sidebarTreeWidget");
    int rows = 0;
    for (int top = 0; top < tree->topLevelItemCount(); ++top)
        for (int i = 0; i < tree->topLevelItem(top)->childCount(); ++i) {
            QTreeWidgetItem* item = tree->topLevelItem(top)->child(i);
            EXPECT_GT(inkOf(item->icon(0)).pixels, 10) << item->text(0).toStdString();
            ++rows;
        }
    EXPECT_GT(rows, 30);

    auto* toolbar = find<QToolBar>("mainToolBar");
    ASSERT_NE(toolbar, nullptr);
    int commands = 0;
    for (QAction* action : toolbar->actions()) {
        if (action->isSeparator()) continue;
        EXPECT_GT(inkOf(action->icon()).pixels, 10) << action->text().toStdString();
        ++commands;
    }
    EXPECT_GT(commands, 5);
}

} // namespace
} // namespace lexorra::testing
