#include "core/commands/commands.h"

#include "core/reopen/page_reader.h"
#include "core/reopen/set_name.h"

namespace zelmora {

void readPageSet(const CommandContext &context, const PageSet *previous)
{
    auto &[editor, state, paths, desktop, windows] = context;
    const BusyCursor busy(desktop);
    const PageSet start = editor.pageSet();
    const ReadOutcome outcome
        = readPageSetFiles(paths.outputFolder, start.title, state.readExtension, start);
    // Every file is closed by now, before any message is shown.
    if (outcome.pagesRead == 0) {
        if (previous)
            editor.showPageSet(*previous);
        if (outcome.refusal.isEmpty())
            desktop.plainMessage(fileNotFoundMessage());
        else
            desktop.warning(outcome.refusal);
        return;
    }
    editor.showPageSet(outcome.set);
    state.reopenedSet = start.title + state.readExtension;
    const QString report = readReportMessage(start.title, state.readExtension, outcome.pagesRead);
    desktop.information(outcome.refusal.isEmpty() ? report : report + u'\n' + outcome.refusal);
}

void openSet(const CommandContext &context)
{
    context.windows.pickSet([&context](const QString &fileName) {
        Editor &editor = context.editor;
        // Kept for a choice that reads nothing: the editor then gets it back.
        const PageSet previous = editor.pageSet();
        if (const std::optional<SetName> set = matchSetName(fileName)) {
            editor.setTitle(set->title);
            context.state.readExtension = set->ext;
        } else {
            // The reader then reports the file as not found; the extension
            // of the last set picked stays for the next choice.
            editor.setTitle(QString());
        }
        editor.resetEditor();
        readPageSet(context, &previous);
    });
}

} // namespace zelmora
