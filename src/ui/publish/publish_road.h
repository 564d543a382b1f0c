#pragma once

#include "core/model/desktop.h"
#include "core/model/editor.h"
#include "core/places/program_paths.h"

#include <functional>

class QWidget;

namespace zelmora {

enum class PublishStart {
    Publish, // the changed files
    SendAll, // every file of the set
    EditSite // only the site settings
};

// The 公開 command of the main window: the set shown in the editor, as 作成
// last wrote it, goes to the site of the settings file. Changes the editor
// holds that 作成 has not written are offered to 作成 first; the site
// settings are asked for the first time; a secret comes from the keyring or
// from the user. Every box is owned by parent.
void runPublishRoad(QWidget *parent, Editor &editor, EditorState &state, const ProgramPaths &paths,
                    Desktop &desktop, PublishStart start);

// The 公開 button's context menu: 公開先の設定… and すべてのファイルを公開.
void addPublishMenu(QWidget *button, const std::function<void(PublishStart)> &run);

} // namespace zelmora
