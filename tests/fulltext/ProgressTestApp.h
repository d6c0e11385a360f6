#pragma once
// The progress window tests need one QApplication for the whole test
// program; it is made on first use, on the offscreen platform, and never
// destroyed (the input devices QTest creates are torn down at exit and must
// find it alive). Tests that need no widgets never make it.

#include <QApplication>
#include <QCoreApplication>

inline QApplication& ProgressTestApp() {
    static int argc = 1;
    static char name[] = "fulltext_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Lets posted events (queued calls, deferred deletes) run.
inline void DrainProgressEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}
