#pragma once

#include "ui/preview_guest/preview_browser.h"

#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

namespace zelmora::test {

// A preview browser that loads nothing and records every navigation.
class RecordingBrowser : public PreviewBrowser {
public:
    RecordingBrowser(QWidget *parent, QStringList *log) : m_widget(new QWidget(parent)), m_log(log) {}
    QWidget *widget() override { return m_widget; }
    void navigate(const QString &path) override { *m_log << path; }

private:
    QWidget *m_widget;
    QStringList *m_log;
};

// Stands in for the web engine module: counts the browsers it makes and
// collects their navigations in one log.
class RecordingBrowserFactory : public PreviewBrowserFactory {
public:
    PreviewBrowser *createBrowser(QWidget *parent) override
    {
        ++created;
        m_browsers.push_back(std::make_unique<RecordingBrowser>(parent, &log));
        return m_browsers.back().get();
    }

    QStringList log;
    int created = 0;

private:
    std::vector<std::unique_ptr<RecordingBrowser>> m_browsers;
};

} // namespace zelmora::test
