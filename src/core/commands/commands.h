#pragma once

#include "core/model/desktop.h"
#include "core/model/editor.h"
#include "core/places/program_paths.h"
#include "core/preview_protocol/preview_protocol.h"
#include "core/publish/publish_command.h"

#include <functional>
#include <memory>
#include <optional>

namespace zelmora {

// The program's own windows that the commands open, beside the desktop's
// boxes. The main window gives the real ones; tests give their own, so that
// every command runs its whole road without a display.
class CommandWindows {
public:
    virtual ~CommandWindows() = default;

    // The set picker (Form2), modal beside the main window. read is called
    // with the name of the file the user chose while the picker is still
    // open, which closes after it; returns once the picker has closed.
    virtual void pickSet(const std::function<void(const QString &fileName)> &read) = 0;

    // The preview window (Form3) over the pages request names, placed beside
    // the main window. Returns once it has closed, with the reason in the
    // user's language when it could not be shown or ended abnormally.
    virtual std::optional<QString> showPreview(PreviewRequest request) = 0;

    // The site settings dialog over the stored site: the site saved, with its
    // secrets kept in or removed from the keyring as the user ticked;
    // nullopt when cancelled or not saved.
    virtual std::optional<std::pair<PublishSite, SiteSecrets>> editPublishSite() = 0;
    // The secret site needs, from the keyring or asked of the user; false
    // when the user cancelled.
    virtual bool publishSecrets(const PublishSite &site, SiteSecrets *secrets) = 0;
    // What shows a publish under way and offers キャンセル.
    virtual std::unique_ptr<PublishProgress> publishProgress() = 0;
};

// What every command works on: the editor of one set, the window's state
// that outlives a command, the program's places, the desktop and the
// program's windows.
struct CommandContext {
    Editor &editor;
    EditorState &state;
    const ProgramPaths &paths;
    Desktop &desktop;
    CommandWindows &windows;
};

// The commands of the main window, each one function of this shape. A
// command reports what it did or why it could not; a command that fails
// leaves the editor as it was.
using Command = void (*)(const CommandContext &);

// 作成: writes popup pages 1..n of the editor's set and then its data page
// into the output folder, in the stored settings' page format, reports the
// pages and the data page in that order, and clears the editor. A title that
// would leave the output folder, a setting that is not a number, or a file
// that cannot be written is reported and ends the command with the editor
// unchanged.
void createSet(const CommandContext &context);

// 開く: the set picker; the set of the file chosen is read into the editor,
// which gets back what it held when nothing could be read.
void openSet(const CommandContext &context);

// プレビュー: writes the preview pages of the editor's set into the temporary
// folder and shows them in the preview window until it is closed. A title
// that would leave the temporary folder, a preview page that cannot be
// written, or a preview that fails is reported; the pages written are
// deleted in every case.
void previewSet(const CommandContext &context);

// 公開: the set shown in the editor, as 作成 last wrote it, goes to the site
// of the settings file: only the files changed since the last publish, or
// every file. Changes that 作成 has not written are offered to 作成 first;
// the site settings are asked for the first time.
void publishSet(const CommandContext &context);
void publishWholeSet(const CommandContext &context);
// 公開先の設定: only the site settings.
void editPublishSite(const CommandContext &context);

// The reading step of 開く: reads the set named by the editor's title and
// readExtension from the output folder, shows it in the editor when at least
// page 1 was read, and tells the user which pages were read or that the file
// was not found. When nothing was read and previous is given, the editor
// shows previous again before the message, so a failed open loses none of
// the user's work. A set read is recorded as the editor's reopened set.
void readPageSet(const CommandContext &context, const PageSet *previous = nullptr);

// A setting that must hold a 16-bit decimal integer; nullopt when it does not.
std::optional<int> settingAsInteger(const QString &value);

// "ポップリーフ [ abc_1.htm ] ～ [ abc_3.htm ] を作成しました｡" and the one-page form.
QString createdPagesMessage(const QString &title, const QString &ext, int n);

// The message for a temporary folder that is a symbolic link.
QString temporaryFolderLinkMessage(const QString &tempFolder);

} // namespace zelmora
