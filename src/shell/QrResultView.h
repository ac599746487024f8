#pragma once

#include <QImage>
#include <QWidget>

#include <string>

class QLabel;
class QPushButton;

namespace lexorra::shell {

// Shows a QR-code result as its image instead of text, with Copy and Save buttons that ask
// for the same commands as the menu ("copy" and "Save result to file"). The modules are
// drawn square and sharp at a whole number of pixels each, never smoothed, so that what
// is on screen scans as well as the saved file.
class QrResultView : public QWidget {
    Q_OBJECT

public:
    explicit QrResultView(QWidget* parent = nullptr);

    // Takes a result: true when it is a QR result and is now shown (as an image, or as the
    // reason no image could be built); false for any other result.
    bool showResult(const std::string& result);
    // One pixel per module, quiet zone included; null when no image could be built.
    const QImage& modules() const { return m_modules; }
    // Pixels per module as last drawn.
    int modulePixels() const;

signals:
    void copyRequested();
    void saveRequested();

private:
    class Canvas;
    Canvas* m_canvas;
    QLabel* m_caption;
    QPushButton* m_copy;
    QPushButton* m_save;
    QImage m_modules;
};

} // namespace lexorra::shell
