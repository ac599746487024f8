#pragma once

#include "core/Clipboard.h"

#include <QLabel>
#include <QPointer>

namespace lexorra::shell {

// The desktop clipboard for the engine.
class DesktopClipboard : public Clipboard {
public:
    std::optional<std::string> text() override;
    void clear() override;
    void setText(const std::string& text) override;
    void setPng(const std::vector<unsigned char>& png) override;
};

// Heads-up notices: a frameless, translucent window near the top of the screen that
// hides by itself.
class NoticeWindow : public QLabel, public Notices {
public:
    NoticeWindow();
    void show(const std::string& message, NoticeStyle style, double seconds) override;

private:
    int m_generation = 0;
};

} // namespace lexorra::shell
