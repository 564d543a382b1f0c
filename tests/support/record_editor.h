#pragma once

#include "core/model/editor.h"

namespace zelmora {

// The editor as a plain PageSet, for the commands run without a window.
class RecordEditor : public Editor {
public:
    RecordEditor() = default;
    explicit RecordEditor(PageSet set) : m_set(std::move(set)) {}

    PageSet pageSet() const override { return m_set; }
    void showPageSet(const PageSet &set) override { m_set = set; }
    void setTitle(const QString &title) override { m_set.title = title; }
    void resetEditor() override { resetPageSet(m_set); }

    PageSet &set() { return m_set; }

private:
    PageSet m_set;
};

} // namespace zelmora
