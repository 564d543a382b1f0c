#pragma once

#include "core/commands/commands.h"

namespace zelmora::test {

// The program's windows as a test plays them: the picker chooses picked (it
// is closed without a choice when that is unset), the preview goes to
// preview (none can be shown without it), the site dialog is cancelled, no
// secret is given, and a publish runs without a window.
struct TestWindows : CommandWindows {
    std::optional<QString> picked;
    std::function<std::optional<QString>(const PreviewRequest &)> preview;

    void pickSet(const std::function<void(const QString &)> &read) override
    {
        if (picked)
            read(*picked);
    }
    std::optional<QString> showPreview(PreviewRequest request) override
    {
        return preview ? preview(request) : std::optional<QString>(QStringLiteral("no preview"));
    }
    std::optional<std::pair<PublishSite, SiteSecrets>> editPublishSite() override
    {
        return std::nullopt;
    }
    bool publishSecrets(const PublishSite &, SiteSecrets *) override { return false; }
    std::unique_ptr<PublishProgress> publishProgress() override
    {
        return std::make_unique<QuietProgress>();
    }
};

// The context of a command that opens none of the program's windows.
inline CommandContext commandContext(Editor &editor, EditorState &state, const ProgramPaths &paths,
                                     Desktop &desktop)
{
    static TestWindows none;
    return {editor, state, paths, desktop, none};
}

} // namespace zelmora::test
