#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lexorra {

// The general clipboard as the engine sees it; the shell backs it with the desktop's.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // The plain-text content, or nullopt when the clipboard holds no text (an image only).
    virtual std::optional<std::string> text() = 0;
    virtual void clear() = 0;
    virtual void setText(const std::string& text) = 0;
    virtual void setPng(const std::vector<unsigned char>& png) = 0;
};

enum class NoticeStyle { plain, success, error };

// Transient heads-up notices.
class Notices {
public:
    virtual ~Notices() = default;
    virtual void show(const std::string& message, NoticeStyle style, double seconds) = 0;
};

// How long a notice stays: 0.06 s per character plus 0.5 s, within 2..5 s.
double noticeDuration(const std::string& message);

} // namespace lexorra
