#pragma once
// The help window: the shipped HTML help pages, opened at a topic.

#include <QTextBrowser>

class THelpWindow : public QTextBrowser {
    Q_OBJECT

public:
    explicit THelpWindow(QWidget* parent = nullptr);

    // The folder of the shipped help pages: beside the executable (build
    // tree) or in share/movarix/ of an installation.
    static QString HelpFolder();
    // Shows the page of the help file at the topic's anchor ("Hlp_Movarix").
    // False when the help file is missing.
    bool ShowTopic(const QString& helpFile, const QString& topic);
    // The topic of a window's help context number: 10 the main window,
    // 20 the tips; any other number the main topic.
    static QString TopicOfContext(int helpContext);
    const QString& CurrentTopic() const { return topic_; }

private:
    QString topic_;
};
