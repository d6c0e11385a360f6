#pragma once
// The widget tests need one QApplication for the whole test program; it is
// made on first use, on the offscreen platform. It is never destroyed: the
// input devices QTest creates are torn down at exit and must find the
// application still alive.

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QWidget>

#include <vector>

inline QApplication& ControlsTestApp() {
    static int argc = 1;
    static char name[] = "controls_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Lets posted events (updates, queued calls, deferred deletes) run.
inline void DrainEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// One run of same-coloured pixels along a line of an image.
struct TColourRun {
    int start;
    int length;
    QRgb colour;
};

// The runs of pixels along row y from x0 to x1 (inclusive) that differ from
// the background colour.
inline std::vector<TColourRun> RunsInRow(const QImage& image, int y, int x0, int x1, QRgb background) {
    std::vector<TColourRun> runs;
    for (int x = x0; x <= x1; ++x) {
        const QRgb c = image.pixel(x, y) | 0xFF000000;
        if (c == (background | 0xFF000000))
            continue;
        if (!runs.empty() && runs.back().colour == c && runs.back().start + runs.back().length == x)
            ++runs.back().length;
        else
            runs.push_back({x, 1, c});
    }
    return runs;
}

// The same down column x, from y1 (bottom) up to y0, so that runs come in
// the order of a vertical gauge's boxes.
inline std::vector<TColourRun> RunsInColumnUpwards(const QImage& image, int x, int y0, int y1, QRgb background) {
    std::vector<TColourRun> runs;
    for (int y = y1; y >= y0; --y) {
        const QRgb c = image.pixel(x, y) | 0xFF000000;
        if (c == (background | 0xFF000000))
            continue;
        if (!runs.empty() && runs.back().colour == c && runs.back().start - runs.back().length == y)
            ++runs.back().length;
        else
            runs.push_back({y, 1, c});
    }
    return runs;
}

// The widget painted into an image of its own size (one paint).
inline QImage Paint(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}
