#pragma once

#include "core/model/desktop.h"

#include <QStringList>
#include <QUrl>

namespace zelmora::test {

// Records what a command asked of the desktop, in order.
class RecordingDesktop : public Desktop {
public:
    struct Call {
        enum Kind { Information, Plain, Warning, Open, Question, ChooseFiles } kind;
        QString text; // message text, or the opened URL's local path
        bool operator==(const Call &) const = default;
    };

    void information(const QString &text) override { calls.push_back({Call::Information, text}); }
    void plainMessage(const QString &text) override { calls.push_back({Call::Plain, text}); }
    void warning(const QString &text) override { calls.push_back({Call::Warning, text}); }
    void openUrl(const QUrl &url) override
    {
        calls.push_back({Call::Open, url.isLocalFile() ? url.toLocalFile() : url.toString()});
    }

    bool question(const QString &text) override
    {
        calls.push_back({Call::Question, text});
        return asks ? asks->question(text) : answer;
    }

    QStringList choosePictureFiles() override
    {
        calls.push_back({Call::ChooseFiles, chosenFiles.join(u'\n')});
        return chosenFiles;
    }

    void setBusy(bool on) override { busy += on ? 1 : -1, wasBusy |= on; }

    QList<Call> calls;
    int busy = 0;         // calls of the wait cursor not yet ended
    bool wasBusy = false; // whether it was shown at all
    bool answer = false;     // what question() answers
    Desktop *asks = nullptr; // when set, its box answers instead (the real one)
    QStringList chosenFiles; // what choosePictureFiles() chooses
};

inline void PrintTo(const RecordingDesktop::Call &call, std::ostream *os)
{
    static const char *names[] = {"information", "plain", "warning", "open", "question", "choose files"};
    *os << names[call.kind] << "(" << call.text.toStdString() << ")";
}

} // namespace zelmora::test
